// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/JpegFile.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"
#include "support/TempDir.h"

using imaging_test::FileBytes;
using imaging_test::NearColor;
using imaging_test::Rgb;

namespace {

constexpr std::uint32_t Red = Rgb(220, 30, 30);
constexpr std::uint32_t Green = Rgb(30, 200, 30);
constexpr std::uint32_t Blue = Rgb(30, 30, 220);
constexpr std::uint32_t Yellow = Rgb(230, 220, 40);

// A picture whose four quadrants have their own colour, so that every turn and mirror shows.
TBM_Bitmap Quadrants(int width, int height) {
    TBM_Bitmap b;
    b.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y,
                       y < height / 2 ? (x < width / 2 ? Red : Green)
                                      : (x < width / 2 ? Blue : Yellow));
    return b;
}

// A smooth picture that JPEG keeps close to the original.
TBM_Bitmap Gradient(int width, int height) {
    TBM_Bitmap b;
    b.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y,
                       Rgb(static_cast<std::uint8_t>(x * 255 / width),
                           static_cast<std::uint8_t>(y * 255 / height), 128));
    return b;
}

// An APP1 segment with a minimal EXIF block holding only the orientation tag.
std::string ExifSegment(int orientation, bool bigEndian) {
    std::string tiff;
    const auto u16 = [&](unsigned v) {
        const char hi = static_cast<char>(v >> 8), lo = static_cast<char>(v & 0xFF);
        tiff += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    };
    const auto u32 = [&](unsigned v) {
        bigEndian ? (u16(v >> 16), u16(v & 0xFFFF)) : (u16(v & 0xFFFF), u16(v >> 16));
    };
    tiff += bigEndian ? "MM" : "II";
    u16(42), u32(8);                                       // header, first IFD at 8
    u16(1);                                                // one entry
    u16(0x0112), u16(3), u32(1), u16(orientation), u16(0); // orientation, SHORT, count 1
    u32(0);                                                // no next IFD
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const std::size_t length = payload.size() + 2;
    return std::string{'\xFF', '\xE1', static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xFF)} +
           payload;
}

// Saves a bitmap as JPEG with an EXIF orientation inserted after the start marker.
std::string SaveWithOrientation(const TempDir& tmp, const TBM_Bitmap& b, int orientation,
                                bool bigEndian = false) {
    const std::string fileName = tmp.dir() + "o" + std::to_string(orientation) + ".jpg";
    SaveJpegFile(fileName, b, 95);
    return tmp.write("o" + std::to_string(orientation) + ".jpg",
                     FileBytes(fileName).insert(2, ExifSegment(orientation, bigEndian)));
}

// Writes the kinds of JPEG our encoder does not: greyscale, CMYK, YCCK, RGB, progressive.
// components bytes per pixel in samples, row by row.
void WriteLibjpeg(const std::string& fileName, int width, int height, J_COLOR_SPACE input,
                  J_COLOR_SPACE stored, int components, const std::vector<std::uint8_t>& samples,
                  bool progressive) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    std::FILE* f = std::fopen(fileName.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_stdio_dest(&c, f);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = input;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, stored);
    jpeg_set_quality(&c, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data()) +
                       static_cast<std::size_t>(c.next_scanline) * width * components;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

struct TOrientationCase {
    const char* Name;
    int Orientation;
    // Colours at the displayed corners: top left, top right, bottom left, bottom right.
    std::uint32_t Corners[4];
    bool BigEndian = false;
};

class JpegOrientation : public ::testing::TestWithParam<TOrientationCase> {};

} // namespace

// Catches a picture that is not upright: each EXIF orientation names where the stored
// picture's first row and column belong; sideways portraits or mirrored pictures would show
// other colours in the corners, or the wrong width and height.
TEST_P(JpegOrientation, LoadsUpright) {
    const TOrientationCase& c = GetParam();
    TempDir tmp;
    const std::string file =
        SaveWithOrientation(tmp, Quadrants(128, 64), c.Orientation, c.BigEndian);
    const bool turned = c.Orientation >= 5 && c.Orientation <= 8;
    const TJpegInfo info = ReadJpegInfo(file);
    EXPECT_EQ(info.Orientation, c.Orientation <= 8 ? c.Orientation : 1);
    EXPECT_EQ(info.Width, turned ? 64 : 128);
    EXPECT_EQ(info.Height, turned ? 128 : 64);
    for (const int denom : {1, 8}) {
        SCOPED_TRACE("scale 1/" + std::to_string(denom));
        TBM_Bitmap b;
        LoadJpegFile(file, b, denom);
        ASSERT_EQ(b.Width(), info.Width / denom);
        ASSERT_EQ(b.Height(), info.Height / denom);
        const int r = b.Width() - 1, bottom = b.Height() - 1;
        EXPECT_TRUE(NearColor(b, 0, 0, c.Corners[0], 16));
        EXPECT_TRUE(NearColor(b, r, 0, c.Corners[1], 16));
        EXPECT_TRUE(NearColor(b, 0, bottom, c.Corners[2], 16));
        EXPECT_TRUE(NearColor(b, r, bottom, c.Corners[3], 16));
    }
}

INSTANTIATE_TEST_SUITE_P(Exif, JpegOrientation,
                         ::testing::ValuesIn(std::vector<TOrientationCase>{
                             {"AsStored", 1, {Red, Green, Blue, Yellow}},
                             {"MirroredLeftRight", 2, {Green, Red, Yellow, Blue}},
                             {"UpsideDown", 3, {Yellow, Blue, Green, Red}},
                             {"MirroredTopBottom", 4, {Blue, Yellow, Red, Green}},
                             {"Transposed", 5, {Red, Blue, Green, Yellow}},
                             {"TurnClockwise", 6, {Blue, Red, Yellow, Green}},
                             {"Transversed", 7, {Yellow, Green, Blue, Red}},
                             {"TurnCounterClockwise", 8, {Green, Yellow, Red, Blue}},
                             // Motorola byte order is as common as Intel's in camera files.
                             {"BigEndianTurnClockwise", 6, {Blue, Red, Yellow, Green}, true},
                             // A value outside 1 to 8 is ignored rather than refused.
                             {"OutOfRangeIsAsStored", 9, {Red, Green, Blue, Yellow}}}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Catches swapped channels, a wrong size or a progressive file where the gallery needs
// baseline ones. The reduced decode, which makes thumbnails of large photos fast, gives the
// full size divided and rounded up.
TEST(JpegFile, RoundTripIsBaselineAndCloseAtEveryScale) {
    TempDir tmp;
    const std::string file = tmp.dir() + "g.jpg";
    const TBM_Bitmap original = Gradient(97, 61);
    SaveJpegFile(file, original, 95);
    const std::string bytes = FileBytes(file);
    EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos) << "no baseline frame";
    EXPECT_EQ(bytes.find("\xFF\xC2"), std::string::npos) << "progressive frame";
    TBM_Bitmap loaded;
    LoadJpegFile(file, loaded);
    ASSERT_EQ(loaded.Width(), 97);
    ASSERT_EQ(loaded.Height(), 61);
    for (int y = 2; y < 61; y += 7)
        for (int x = 2; x < 97; x += 7) {
            const TBM_Pixel p = original.GetPixel(x, y);
            ASSERT_TRUE(NearColor(loaded, x, y, Rgb(p.R, p.G, p.B), 8));
        }
    for (const auto& [denom, w, h] : {std::tuple{2, 49, 31}, {4, 25, 16}, {8, 13, 8}}) {
        LoadJpegFile(file, loaded, denom);
        EXPECT_EQ(loaded.Width(), w) << denom;
        EXPECT_EQ(loaded.Height(), h) << denom;
    }
    EXPECT_THROW(LoadJpegFile(file, loaded, 3), EImageError);
}

namespace {
struct TColourSpaceCase {
    const char* Name;
    J_COLOR_SPACE Input;
    J_COLOR_SPACE Stored;
    std::vector<std::uint8_t> Sample; // one pixel, repeated over the picture
    bool Progressive;
    std::uint32_t Expected;
};
class JpegColourSpaces : public ::testing::TestWithParam<TColourSpaceCase> {};
} // namespace

// Catches colour spaces that come out wrong or refused: greyscale must become grey RGB, and
// CMYK from Adobe programs stores the inks inverted (full red is C=0 M=Y=255 K=0, stored as
// 255, 0, 0, 255).
TEST_P(JpegColourSpaces, DecodeToRgb) {
    const TColourSpaceCase& c = GetParam();
    TempDir tmp;
    const std::string file = tmp.dir() + "c.jpg";
    const int w = 24, h = 16, n = static_cast<int>(c.Sample.size());
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < w * h; ++i)
        samples.insert(samples.end(), c.Sample.begin(), c.Sample.end());
    WriteLibjpeg(file, w, h, c.Input, c.Stored, n, samples, c.Progressive);
    for (const int denom : {1, 8}) {
        TBM_Bitmap b;
        LoadJpegFile(file, b, denom);
        ASSERT_EQ(b.Width(), w / denom);
        EXPECT_TRUE(NearColor(b, b.Width() / 2, b.Height() / 2, c.Expected, 4)) << denom;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegColourSpaces,
    ::testing::ValuesIn(std::vector<TColourSpaceCase>{
        {"Greyscale", JCS_GRAYSCALE, JCS_GRAYSCALE, {100}, false, Rgb(100, 100, 100)},
        {"AdobeCmyk", JCS_CMYK, JCS_CMYK, {255, 0, 0, 255}, false, Rgb(255, 0, 0)},
        {"AdobeCmykHalfBlack", JCS_CMYK, JCS_CMYK, {255, 255, 0, 128}, false, Rgb(128, 128, 0)},
        {"Ycck", JCS_CMYK, JCS_YCCK, {0, 255, 255, 255}, false, Rgb(0, 255, 255)},
        {"StoredAsRgb", JCS_RGB, JCS_RGB, {10, 200, 90}, false, Rgb(10, 200, 90)},
        {"Progressive", JCS_RGB, JCS_YCbCr, {200, 100, 50}, true, Rgb(200, 100, 50)}}),
    [](const auto& info) { return std::string(info.param.Name); });

// Failures must be exceptions naming the file, never a grey half picture or a message on
// the console. A file that lacks only its end marker is complete and loads.
TEST(JpegFile, DamagedFilesAndFailedSavesRaise) {
    TempDir tmp;
    TBM_Bitmap b;
    EXPECT_THROW(LoadJpegFile(tmp.dir() + "missing.jpg", b), EFileError);
    EXPECT_THROW(LoadJpegFile(tmp.write("empty.jpg", ""), b), EImageError);
    EXPECT_THROW(LoadJpegFile(tmp.write("text.jpg", "not a picture"), b), EImageError);

    const std::string good = tmp.dir() + "good.jpg";
    SaveJpegFile(good, imaging_test::RandomBitmap(64, 64, 5), 90);
    const std::string bytes = FileBytes(good);
    try {
        LoadJpegFile(tmp.write("half.jpg", bytes.substr(0, bytes.size() / 2)), b);
        ADD_FAILURE() << "a file cut in half loaded";
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("half.jpg"), std::string::npos) << e.what();
    }
    LoadJpegFile(tmp.write("noend.jpg", bytes.substr(0, bytes.size() - 2)), b);
    EXPECT_EQ(b.Width(), 64);

    // A progressive file cut cleanly before its third scan would decode blurred and
    // incomplete without any data error; it must raise too.
    std::vector<std::uint8_t> samples(64 * 64 * 3, 90);
    WriteLibjpeg(tmp.dir() + "p.jpg", 64, 64, JCS_RGB, JCS_YCbCr, 3, samples, true);
    const std::string progressive = FileBytes(tmp.dir() + "p.jpg");
    std::size_t cut = 0;
    for (int scan = 0; scan < 3; ++scan)
        cut = progressive.find("\xFF\xDA", cut + 1);
    ASSERT_NE(cut, std::string::npos);
    EXPECT_THROW(LoadJpegFile(tmp.write("cut.jpg", progressive.substr(0, cut)), b), EImageError);

    // Saving nothing, or into a folder that does not exist, raises instead of writing a broken
    // file.
    EXPECT_THROW(SaveJpegFile(tmp.dir() + "e.jpg", TBM_Bitmap(), 80), EImageError);
    EXPECT_THROW(SaveJpegFile(tmp.dir() + "no/such/folder/x.jpg", Gradient(8, 8), 80), EFileError);
}

// Fuzz-style: every truncation and many bit flips of small baseline, progressive and EXIF
// files. Run under the sanitizers this catches reads past buffers, leaks of the decompressor
// and C++ exceptions thrown through libjpeg; any outcome but a picture or EImageError fails.
TEST(JpegFile, TruncatedAndBitFlippedFilesNeverCrash) {
    TempDir tmp;
    std::vector<std::string> seeds;
    seeds.push_back(FileBytes(SaveWithOrientation(tmp, Quadrants(40, 24), 6)));
    std::vector<std::uint8_t> samples(40 * 24 * 3);
    std::mt19937 random(11);
    for (std::uint8_t& s : samples)
        s = static_cast<std::uint8_t>(random());
    WriteLibjpeg(tmp.dir() + "p.jpg", 40, 24, JCS_RGB, JCS_YCbCr, 3, samples, true);
    seeds.push_back(FileBytes(tmp.dir() + "p.jpg"));

    const std::string file = tmp.dir() + "fuzz.jpg";
    TBM_Bitmap b;
    const auto tryLoad = [&](const std::string& bytes) {
        tmp.write("fuzz.jpg", bytes);
        for (const int denom : {1, 8}) {
            try {
                LoadJpegFile(file, b, denom);
                ASSERT_LE(b.Width(), TBM_Bitmap::MaxDimension);
            } catch (const EImageError&) {
            }
        }
    };
    for (const std::string& seed : seeds) {
        for (std::size_t n = 0; n < seed.size(); n += 3)
            tryLoad(seed.substr(0, n));
        for (int i = 0; i < 600; ++i) {
            std::string bytes = seed;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int f = 0; f < flips; ++f)
                bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
            tryLoad(bytes);
        }
    }
}
