// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BM_Resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "ImagingTestSupport.h"
#include "imaging/LoadPicture.h"
#include "imaging/TPictureReader.h"

using namespace imaging_test;

namespace {

// The resampler written the plain way, pixel by pixel through the bounds-checked accessors; this
// file is compiled with -ffp-contract=off like the resampler, so both round alike.
TBM_Bitmap ReferenceResample(const TBM_Bitmap& source, int newWidth, int newHeight) {
    TBM_Bitmap dest;
    dest.SetSize(newWidth, newHeight);
    const double scaleX = static_cast<double>(source.Width()) / newWidth;
    const double scaleY = static_cast<double>(source.Height()) / newHeight;
    const double norm = 1 / scaleX / scaleY;
    for (int x = 0; x < newWidth; ++x) {
        for (int y = 0; y < newHeight; ++y) {
            const double x1 = x * scaleX, x2 = (x + 1) * scaleX;
            const double y1 = y * scaleY, y2 = (y + 1) * scaleY;
            double r = 0, g = 0, b = 0;
            for (int sx = static_cast<int>(x1); sx < std::ceil(x2); ++sx) {
                for (int sy = static_cast<int>(y1); sy < std::ceil(y2); ++sy) {
                    const double area = (std::min(sx + 1.0, x2) - std::max<double>(sx, x1)) *
                                        (std::min(sy + 1.0, y2) - std::max<double>(sy, y1));
                    const double weight = area * norm;
                    const TBM_Pixel p = source.GetPixel(sx, sy);
                    r += p.R * weight;
                    g += p.G * weight;
                    b += p.B * weight;
                }
            }
            dest.SetPixel(x, y,
                          Rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                              static_cast<std::uint8_t>(b)));
        }
    }
    return dest;
}

} // namespace

// Every kernel and thread split gives the reference's bytes: no other summation order, fused
// multiply-add, weight, missed box edge, lane reading its neighbour, rounding or shifted box.
TEST(Resample, MatchesReferenceByteForByte) {
    // Reductions, enlargements, one-pixel sides, widths off the lanes, scale 1, boxes of more
    // rows than the kernel weighs at a time; then random ones.
    std::vector<std::array<int, 4>> sizes = {
        {4, 4, 2, 2},     {1000, 750, 640, 480}, {1200, 800, 140, 94}, {101, 67, 53, 31},
        {7, 5, 480, 320}, {13, 11, 40, 29},      {50, 10, 20, 40},     {1, 1, 13, 7},
        {1, 40, 9, 9},    {37, 23, 37, 1},       {37, 23, 1, 1},       {29, 9, 7, 5},
        {16, 30, 16, 7},  {8, 6, 16, 12},        {9, 7, 9, 7},         {5, 100, 3, 2}};
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> side(1, 60);
    for (int i = 0; i < 250; ++i)
        sizes.push_back({side(random), side(random), side(random), side(random)});
    for (std::size_t i = 0; i < sizes.size() && !HasFailure(); ++i) {
        const auto [sw, sh, dw, dh] = sizes[i];
        SCOPED_TRACE(::testing::Message() << sw << " x " << sh << " -> " << dw << " x " << dh);
        const TBM_Bitmap source = RandomBitmap(sw, sh, static_cast<std::uint32_t>(i));
        const TBM_Bitmap expected = ReferenceResample(source, dw, dh);
        TBM_Bitmap dest;
        Resample(source, dest, dw, dh);
        EXPECT_TRUE(SamePixels(expected, dest)) << "default kernel";
        BM_ResampleDetail::ResamplePortable(source, dest, dw, dh);
        EXPECT_TRUE(SamePixels(expected, dest)) << "portable kernel";
        Resample(source, dest, dw, dh, 3);
        EXPECT_TRUE(SamePixels(expected, dest)) << "three threads";
    }
}

// Resampling a bitmap into itself must read the whole source before it is resized.
TEST(Resample, IntoItself) {
    TBM_Bitmap source = RandomBitmap(8, 6, 3);
    TBM_Bitmap dest;
    Resample(source, dest, 5, 7);
    Resample(source, source, 5, 7);
    EXPECT_TRUE(SamePixels(dest, source));
}

// An empty source raises rather than giving a black picture; bad new sizes are empty or refused.
TEST(Resample, EmptySourceAndBadSizes) {
    const TBM_Bitmap previous = RandomBitmap(3, 3, 1);
    TBM_Bitmap dest = previous;
    TBM_Bitmap empty;
    EXPECT_THROW(Resample(empty, dest, 10, 10), EMathError);
    empty.SetSize(5, 0);
    EXPECT_THROW(Resample(empty, dest, 10, 10), EMathError);
    EXPECT_THROW(Resample(previous, dest, 70000, 10), EImageError);
    EXPECT_TRUE(SamePixels(previous, dest));
    Resample(previous, dest, 0, 5);
    EXPECT_EQ(std::pair(dest.Width(), dest.Height()), std::pair(0, 5));
    Resample(previous, dest, 4, -2);
    EXPECT_EQ(std::pair(dest.Width(), dest.Height()), std::pair(4, 0));
}

// The intersection of a unit pixel with a box: partial, whole and disjoint cases.
TEST(Resample, CoveredArea) {
    EXPECT_DOUBLE_EQ(CoveredArea(2, 3, 1.5, 2.5, 2.25, 3.75), 0.25 * 0.75);
    EXPECT_DOUBLE_EQ(CoveredArea(2, 3, 0, 0, 10, 10), 1.0);
    EXPECT_LT(CoveredArea(5, 0, 0, 0, 2, 2), 0.0);
}

// Same bytes as decoding the whole picture and resampling it, in all eight orientations with
// several destinations at once: no band turned wrong, row dropped early or box computed early.
TEST(BandedResample, MatchesFullDecodeInEveryOrientation) {
    const struct {
        const char* Name;
        int Width, Height;
        std::vector<std::pair<int, int>> Sizes; // resampled in one pass, as a picture's layers are
        int ScaleDenom;
    } cases[] = {{"ReduceToOddSizes", 301, 203, {{53, 31}, {7, 5}, {140, 94}, {31, 53}}, 1},
                 {"EnlargeCopyAndShrinkTogether", 37, 23, {{480, 320}, {9, 6}, {37, 23}}, 1},
                 {"OnePixelFrames", 61, 47, {{1, 1}, {1, 47}, {61, 1}, {2, 3}}, 1},
                 {"TallPictureTurnsTheRingOften", 24, 700, {{3, 50}, {24, 699}, {5, 7}}, 1},
                 {"ReducedDecode", 203, 301, {{40, 61}, {13, 9}}, 4}};
    const TempDir tmp;
    for (const auto& c : cases) {
        const TBM_Bitmap source = RandomBitmap(c.Width, c.Height, 11);
        for (int orientation = 1; orientation <= 8; ++orientation) {
            SCOPED_TRACE(std::string(c.Name) + ", orientation " + std::to_string(orientation));
            const std::string file = SaveOriented(tmp, source, orientation);
            TBM_Bitmap full;
            LoadJpegFile(file, full, c.ScaleDenom);
            std::vector<TBM_Bitmap> banded(c.Sizes.size());
            std::vector<TBM_Bitmap*> dests;
            for (std::size_t i = 0; i < banded.size(); ++i) {
                banded[i].SetSize(c.Sizes[i].first, c.Sizes[i].second);
                dests.push_back(&banded[i]);
            }
            ResamplePicture(*OpenJpegPicture(file, c.ScaleDenom), dests);
            for (const TBM_Bitmap* b : dests) {
                TBM_Bitmap expected;
                Resample(full, expected, b->Width(), b->Height());
                EXPECT_TRUE(SamePixels(expected, *b)) << b->Width() << " x " << b->Height();
            }
        }
    }
}

// A cut-off file must raise, not hang in the row loop or leave half-grey pictures behind.
TEST(BandedResample, TruncatedFilesRaise) {
    const TempDir tmp;
    const std::string file = SaveOriented(tmp, RandomBitmap(64, 48, 3), 6);
    const std::string bytes = ReadFileBytes(file);
    TBM_Bitmap dest;
    dest.SetSize(20, 30);
    for (std::size_t cut = 20; cut + 16 < bytes.size(); cut += bytes.size() / 23) {
        tmp.write("o6.jpg", bytes.substr(0, cut));
        EXPECT_THROW(ResamplePicture(*OpenJpegPicture(file), {&dest}), EImageError) << cut;
    }
}

// A 20-megapixel photo stores a few dozen rows, not thousands; bad orientations are refused.
TEST(BandedResample, BandIsAFewRows) {
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

// The largest reduction keeping both sides at least the minimum, odd sides rounded up.
TEST(BandedResample, ReducedScaleDenom) {
    EXPECT_EQ(ReducedScaleDenom(4000, 3000, 1280, 854), 2);
    EXPECT_EQ(ReducedScaleDenom(4000, 3000, 280, 188), 8);
    EXPECT_EQ(ReducedScaleDenom(1281, 961, 321, 241), 4);
    EXPECT_EQ(ReducedScaleDenom(100, 100, 200, 200), 1);
}
