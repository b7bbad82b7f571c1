// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/JpegFile.h"

#include <cstdio>

#include <jpeglib.h>

#include "ImagingTestSupport.h"

using namespace imaging_test;

namespace {

constexpr std::uint32_t Red = Rgb(220, 30, 30), Green = Rgb(30, 200, 30);
constexpr std::uint32_t Blue = Rgb(30, 30, 220), Yellow = Rgb(230, 220, 40);

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

// Writes what our encoder does not (greyscale, CMYK, YCCK, RGB, progressive), samples repeated.
void WriteLibjpeg(const std::string& fileName, int width, int height, J_COLOR_SPACE input,
                  J_COLOR_SPACE stored, int components, const std::vector<std::uint8_t>& samples,
                  bool progressive, bool adobeMarker = true) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    std::FILE* f = std::fopen(fileName.c_str(), "wb");
    jpeg_stdio_dest(&c, f);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = input;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, stored);
    c.write_Adobe_marker = c.write_Adobe_marker && adobeMarker;
    jpeg_set_quality(&c, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * components);
    while (c.next_scanline < c.image_height) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = samples[(c.next_scanline * row.size() + i) % samples.size()];
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

} // namespace

// Each EXIF orientation gives its own corner colours and width and height.
TEST(JpegFile, OrientationLoadsUpright) {
    const struct {
        const char* Name;
        int Orientation;
        std::uint32_t Corners[4]; // displayed top left, top right, bottom left, bottom right
        bool BigEndian;
    } cases[] = {{"AsStored", 1, {Red, Green, Blue, Yellow}, false},
                 {"MirroredLeftRight", 2, {Green, Red, Yellow, Blue}, false},
                 {"UpsideDown", 3, {Yellow, Blue, Green, Red}, false},
                 {"MirroredTopBottom", 4, {Blue, Yellow, Red, Green}, false},
                 {"Transposed", 5, {Red, Blue, Green, Yellow}, false},
                 {"TurnClockwise", 6, {Blue, Red, Yellow, Green}, false},
                 {"Transversed", 7, {Yellow, Green, Blue, Red}, false},
                 {"TurnCounterClockwise", 8, {Green, Yellow, Red, Blue}, false},
                 // Motorola byte order is as common as Intel's in camera files.
                 {"BigEndianTurnClockwise", 6, {Blue, Red, Yellow, Green}, true},
                 // A value outside 1 to 8 is ignored rather than refused.
                 {"OutOfRangeIsAsStored", 9, {Red, Green, Blue, Yellow}, false}};
    TempDir tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = SaveOriented(tmp, Quadrants(128, 64), c.Orientation, c.BigEndian);
        const bool turned = c.Orientation >= 5 && c.Orientation <= 8;
        const TJpegInfo info = ReadJpegInfo(file);
        EXPECT_EQ(info.Orientation, c.Orientation <= 8 ? c.Orientation : 1);
        EXPECT_EQ(std::pair(info.Width, info.Height),
                  turned ? std::pair(64, 128) : std::pair(128, 64));
        for (const int denom : {1, 8}) {
            TBM_Bitmap b;
            LoadJpegFile(file, b, denom);
            ASSERT_EQ(std::pair(b.Width(), b.Height()),
                      std::pair(info.Width / denom, info.Height / denom));
            for (int corner = 0; corner < 4; ++corner)
                EXPECT_TRUE(NearColor(b, corner % 2 * (b.Width() - 1),
                                      corner / 2 * (b.Height() - 1), c.Corners[corner], 16))
                    << "scale 1/" << denom;
        }
    }
}

// Baseline, close to the original, and the reduced decodes are the sizes divided, rounded up.
TEST(JpegFile, RoundTripIsBaselineAndCloseAtEveryScale) {
    TempDir tmp;
    const std::string file = tmp.dir() + "g.jpg";
    TBM_Bitmap original; // a smooth gradient, which JPEG keeps close
    original.SetSize(97, 61);
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 97; ++x)
            original.SetPixel(x, y, Rgb(x * 255 / 97, y * 255 / 61, 128));
    SaveJpegFile(file, original, 95);
    const std::string bytes = ReadFileBytes(file);
    EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos) << "no baseline frame";
    EXPECT_EQ(bytes.find("\xFF\xC2"), std::string::npos) << "progressive frame";
    TBM_Bitmap loaded;
    for (const auto& [denom, w, h] :
         {std::tuple{2, 49, 31}, {4, 25, 16}, {8, 13, 8}, {1, 97, 61}}) {
        LoadJpegFile(file, loaded, denom);
        ASSERT_EQ(std::pair(loaded.Width(), loaded.Height()), std::pair(w, h)) << denom;
    }
    for (int y = 2; y < 61; y += 7)
        for (int x = 2; x < 97; x += 7) {
            const TBM_Pixel p = original.GetPixel(x, y);
            ASSERT_TRUE(NearColor(loaded, x, y, Rgb(p.R, p.G, p.B), 8));
        }
    EXPECT_THROW(LoadJpegFile(file, loaded, 3), EImageError);
}

// Adobe CMYK stores the inks inverted: full red, C=0 M=Y=255 K=0, is stored as 255, 0, 0, 255;
// without the marker they are stored as they are.
TEST(JpegFile, ColourSpacesDecodeToRgb) {
    const struct {
        const char* Name;
        J_COLOR_SPACE Input, Stored;
        std::vector<std::uint8_t> Sample; // one pixel
        bool Progressive;
        std::uint32_t Expected;
        bool AdobeMarker = true;
    } cases[] = {
        {"Greyscale", JCS_GRAYSCALE, JCS_GRAYSCALE, {100}, false, Rgb(100, 100, 100)},
        {"AdobeCmyk", JCS_CMYK, JCS_CMYK, {255, 0, 0, 255}, false, Rgb(255, 0, 0)},
        {"AdobeCmykHalfBlack", JCS_CMYK, JCS_CMYK, {255, 255, 0, 128}, false, Rgb(128, 128, 0)},
        {"Ycck", JCS_CMYK, JCS_YCCK, {0, 255, 255, 255}, false, Rgb(0, 255, 255)},
        {"PlainCmyk", JCS_CMYK, JCS_CMYK, {0, 255, 255, 0}, false, Rgb(255, 0, 0), false},
        {"StoredAsRgb", JCS_RGB, JCS_RGB, {10, 200, 90}, false, Rgb(10, 200, 90)},
        {"Progressive", JCS_RGB, JCS_YCbCr, {200, 100, 50}, true, Rgb(200, 100, 50)}};
    TempDir tmp;
    const std::string file = tmp.dir() + "c.jpg";
    for (const auto& c : cases) {
        WriteLibjpeg(file, 24, 16, c.Input, c.Stored, static_cast<int>(c.Sample.size()), c.Sample,
                     c.Progressive, c.AdobeMarker);
        for (const int denom : {1, 8}) {
            TBM_Bitmap b;
            LoadJpegFile(file, b, denom);
            ASSERT_EQ(b.Width(), 24 / denom) << c.Name;
            EXPECT_TRUE(NearColor(b, b.Width() / 2, b.Height() / 2, c.Expected, 4))
                << c.Name << ", scale 1/" << denom;
        }
    }
}

// Exceptions naming the file, never a grey half picture; a file lacking only its end loads.
TEST(JpegFile, DamagedFilesAndFailedSavesRaise) {
    TempDir tmp;
    TBM_Bitmap b;
    EXPECT_THROW(LoadJpegFile(tmp.dir() + "missing.jpg", b), EFileError);
    EXPECT_THROW(LoadJpegFile(tmp.write("empty.jpg", ""), b), EImageError);
    EXPECT_THROW(LoadJpegFile(tmp.write("text.jpg", "not a picture"), b), EImageError);

    const std::string good = tmp.dir() + "good.jpg";
    SaveJpegFile(good, RandomBitmap(64, 64, 5), 90);
    const std::string bytes = ReadFileBytes(good);
    try {
        LoadJpegFile(tmp.write("half.jpg", bytes.substr(0, bytes.size() / 2)), b);
        ADD_FAILURE() << "a file cut in half loaded";
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("half.jpg"), std::string::npos) << e.what();
    }
    LoadJpegFile(tmp.write("noend.jpg", bytes.substr(0, bytes.size() - 2)), b);
    EXPECT_EQ(b.Width(), 64);

    // Cut cleanly before its third scan, a progressive file has no data error but is incomplete.
    WriteLibjpeg(tmp.dir() + "p.jpg", 64, 64, JCS_RGB, JCS_YCbCr, 3, {90}, true);
    const std::string progressive = ReadFileBytes(tmp.dir() + "p.jpg");
    std::size_t cut = 0;
    for (int scan = 0; scan < 3; ++scan)
        cut = progressive.find("\xFF\xDA", cut + 1);
    ASSERT_NE(cut, std::string::npos);
    EXPECT_THROW(LoadJpegFile(tmp.write("cut.jpg", progressive.substr(0, cut)), b), EImageError);

    // Saving nothing, or into a missing folder, raises instead of writing a broken file.
    EXPECT_THROW(SaveJpegFile(tmp.dir() + "e.jpg", TBM_Bitmap(), 80), EImageError);
    EXPECT_THROW(SaveJpegFile(tmp.dir() + "no/such/folder/x.jpg", Quadrants(8, 8), 80), EFileError);
}

// Truncated and bit-flipped baseline, progressive and EXIF files never crash or leak.
TEST(JpegFile, TruncatedAndBitFlippedFilesNeverCrash) {
    TempDir tmp;
    std::vector<std::uint8_t> samples(40 * 24 * 3);
    std::mt19937 random(11);
    for (std::uint8_t& s : samples)
        s = static_cast<std::uint8_t>(random());
    WriteLibjpeg(tmp.dir() + "p.jpg", 40, 24, JCS_RGB, JCS_YCbCr, 3, samples, true);
    const std::vector<std::string> seeds = {ReadFileBytes(SaveOriented(tmp, Quadrants(40, 24), 6)),
                                            ReadFileBytes(tmp.dir() + "p.jpg")};
    TBM_Bitmap b;
    LoadDamagedCopies(seeds, 3, 600, 4, random, [&](const std::string& bytes) {
        for (const int denom : {1, 8}) {
            LoadJpegFile(tmp.write("fuzz.jpg", bytes), b, denom);
            ASSERT_LE(b.Width(), TBM_Bitmap::MaxDimension);
        }
    });
}
