// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "base/KelErrors.h"
#include "imaging/BM_Resample.h"
#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"
#include "support/TempDir.h"

using imaging_test::FileBytes;
using imaging_test::RandomBitmap;
using imaging_test::SamePixels;

namespace {

// Saves bitmap as a JPEG whose EXIF block (little-endian, one tag) holds orientation.
std::string SaveOriented(const TempDir& tmp, const TBM_Bitmap& bitmap, int orientation) {
    const std::string name = "o" + std::to_string(orientation) + ".jpg";
    const std::string fileName = tmp.dir() + name;
    SaveJpegFile(fileName, bitmap, 90);
    const std::string tiff = std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18) +
                             static_cast<char>(orientation) + std::string(7, '\0');
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    std::string bytes = FileBytes(fileName);
    bytes.insert(2, std::string{'\xFF', '\xE1', '\0', static_cast<char>(payload.size() + 2)} +
                        payload);
    return tmp.write(name, bytes);
}

struct TBandCase {
    const char* Name;
    int Width, Height;
    std::vector<std::pair<int, int>> Sizes; // resampled in one pass, as a picture's layers are
    int ScaleDenom = 1;
};
// Names the case in test output instead of dumping its bytes.
void PrintTo(const TBandCase& c, std::ostream* os) {
    *os << c.Name;
}

class BandedResample : public ::testing::TestWithParam<TBandCase> {};

} // namespace

// Catches any difference from decoding the whole picture and resampling it: a band turned or
// mirrored the wrong way, rows dropped from the ring before a box used them, a box computed
// before its last row arrived, a group of columns reading past its band, sums in another
// order. Every case runs all eight orientations with several destinations at once.
TEST_P(BandedResample, MatchesFullDecodeInEveryOrientation) {
    const TBandCase& c = GetParam();
    const TempDir tmp;
    const TBM_Bitmap source = RandomBitmap(c.Width, c.Height, 11);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE("orientation " + std::to_string(orientation));
        const std::string file = SaveOriented(tmp, source, orientation);
        TBM_Bitmap full;
        LoadJpegFile(file, full, c.ScaleDenom);
        std::vector<TBM_Bitmap> banded(c.Sizes.size());
        std::vector<TBM_Bitmap*> dests;
        for (std::size_t i = 0; i < c.Sizes.size(); ++i) {
            banded[i].SetSize(c.Sizes[i].first, c.Sizes[i].second);
            dests.push_back(&banded[i]);
        }
        LoadJpegFileResampled(file, dests, c.ScaleDenom);
        for (std::size_t i = 0; i < c.Sizes.size(); ++i) {
            TBM_Bitmap expected;
            Resample(full, expected, c.Sizes[i].first, c.Sizes[i].second);
            EXPECT_TRUE(SamePixels(expected, banded[i]))
                << c.Sizes[i].first << " x " << c.Sizes[i].second;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BandedResample,
    ::testing::Values(
        TBandCase{"ReduceToOddSizes", 301, 203, {{53, 31}, {7, 5}, {140, 94}, {31, 53}}},
        TBandCase{"EnlargeCopyAndShrinkTogether", 37, 23, {{480, 320}, {9, 6}, {37, 23}}},
        TBandCase{"OnePixelFrames", 61, 47, {{1, 1}, {1, 47}, {61, 1}, {2, 3}}},
        TBandCase{"TallPictureTurnsTheRingOften", 24, 700, {{3, 50}, {24, 699}, {5, 7}}},
        TBandCase{"ReducedDecode", 203, 301, {{40, 61}, {13, 9}}, 4}),
    [](const ::testing::TestParamInfo<TBandCase>& info) { return std::string(info.param.Name); });

// A cut-off file must raise, not hang in the row loop or leave half-grey pictures behind.
TEST(BandedResampleFailures, TruncatedFilesRaise) {
    const TempDir tmp;
    const std::string file = SaveOriented(tmp, RandomBitmap(64, 48, 3), 6);
    const std::string bytes = FileBytes(file);
    TBM_Bitmap dest;
    dest.SetSize(20, 30);
    for (std::size_t cut = 20; cut + 16 < bytes.size(); cut += bytes.size() / 23) {
        tmp.write("o6.jpg", bytes.substr(0, cut));
        EXPECT_THROW(LoadJpegFileResampled(file, {&dest}), EImageError) << cut;
    }
}

// Catches a band that grows with the picture: a 20-megapixel photo for a thumbnail and a
// 640-pixel layer needs a few dozen stored rows, upright or turned, not thousands. Bad
// orientations and empty pictures are refused.
TEST(BandedResampleLimits, BandIsAFewRows) {
    const std::size_t row = 5472 * TBM_Bitmap::BytesPerPixel;
    for (const int orientation : {1, 3, 6, 8}) {
        const bool turned = orientation >= 5;
        TBM_Bitmap thumb, frame;
        thumb.SetSize(turned ? 93 : 140, turned ? 140 : 93);
        frame.SetSize(turned ? 320 : 640, turned ? 480 : 427);
        const TBM_BandResampler band(5472, 3648, orientation, {&thumb, &frame});
        EXPECT_LT(band.BufferBytes(), 200 * row) << orientation;
    }
    TBM_Bitmap dest;
    dest.SetSize(4, 4);
    EXPECT_THROW(TBM_BandResampler(10, 10, 9, {&dest}), EImageError);
    EXPECT_THROW(TBM_BandResampler(0, 10, 1, {&dest}), EMathError);
}

// The fast mode's scale: the largest reduction that keeps both sides at least the minimum,
// with the decoder's rounding up of odd sides.
TEST(BandedResampleLimits, ReducedScaleDenom) {
    EXPECT_EQ(ReducedScaleDenom(4000, 3000, 1280, 854), 2);
    EXPECT_EQ(ReducedScaleDenom(4000, 3000, 280, 188), 8);
    EXPECT_EQ(ReducedScaleDenom(1281, 961, 321, 241), 4);
    EXPECT_EQ(ReducedScaleDenom(100, 100, 200, 200), 1);
}
