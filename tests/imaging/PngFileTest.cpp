// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PngFile.h"

#include <random>

#include "ImagingTestSupport.h"
#include "PictureFixtures.h"
#include "imaging/LoadPicture.h"
#include "imaging/TPictureReader.h"

using namespace imaging_test;

namespace {

// An eXIf chunk: a big-endian TIFF structure with one Orientation entry.
std::vector<std::uint8_t> ExifWithOrientation(std::uint8_t orientation) {
    return {'M', 'M', 0, 42, 0, 0, 0,           8, 0, 1, 0x01, 0x12, 0,
            3,   0,   0, 0,  1, 0, orientation, 0, 0, 0, 0,    0,    0};
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<std::uint8_t>(c);
        for (int k = 0; k < 8; ++k)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

} // namespace

// Every kind of PNG gives its stored size and pixels: no bit depth scaled wrong, no palette
// entry or grey level misread, transparency over white, interlaced passes put together, the
// eXIf orientation applied.
TEST(PngFile, EveryKindGivesTheStoredPixels) {
    const auto rgb = [](std::uint8_t r, std::uint8_t g, std::uint8_t b) { return Rgb(r, g, b); };
    TPngFixture interlaced = Png(5, 3, PNG_COLOR_TYPE_RGB, 8);
    std::vector<std::uint32_t> interlacedPixels;
    for (int i = 0; i < 15; ++i) {
        interlaced.Samples.insert(interlaced.Samples.end(),
                                  {std::uint16_t(i * 17), std::uint16_t(255 - i), 7});
        interlacedPixels.push_back(rgb(std::uint8_t(i * 17), std::uint8_t(255 - i), 7));
    }
    interlaced.Interlaced = true;
    TPngFixture turned = Png(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60});
    turned.Exif = ExifWithOrientation(6);
    TPngFixture palette = Png(2, 1, PNG_COLOR_TYPE_PALETTE, 4, {0, 1});
    palette.Palette = {{255, 0, 0}, {0, 0, 255}};
    palette.PaletteAlpha = {128, 255};
    const struct {
        const char* Name;
        TPngFixture File;
        int Width, Height;
        std::vector<std::uint32_t> Pixels; // row by row, upright
    } cases[] = {
        {"Rgb8",
         Png(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 128, 0}),
         2,
         1,
         {rgb(1, 2, 3), rgb(250, 128, 0)}},
        {"Rgb16RoundsToEightBits",
         Png(2, 1, PNG_COLOR_TYPE_RGB, 16, {0, 65535, 32896, 257, 1000, 65000}),
         2,
         1,
         {rgb(0, 255, 128), rgb(1, 4, 253)}},
        {"Rgba16OverWhite",
         Png(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {65535, 0, 0, 32768}),
         1,
         1,
         {rgb(255, 127, 127)}},
        {"Palette4WithAlpha", palette, 2, 1, {rgb(255, 127, 127), rgb(0, 0, 255)}},
        {"GreyAlpha8",
         Png(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {100, 255, 0, 0}),
         2,
         1,
         {rgb(100, 100, 100), rgb(255, 255, 255)}},
        {"Grey1",
         Png(3, 1, PNG_COLOR_TYPE_GRAY, 1, {1, 0, 1}),
         3,
         1,
         {rgb(255, 255, 255), rgb(0, 0, 0), rgb(255, 255, 255)}},
        {"Interlaced", interlaced, 5, 3, interlacedPixels},
        {"ExifTurnsUpright", turned, 1, 2, {rgb(10, 20, 30), rgb(40, 50, 60)}},
    };
    const TempDir tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBM_Bitmap b;
        EXPECT_EQ(LoadPicture(tmp.write("p.png", PngBytes(c.File)), b), "");
        ASSERT_EQ(std::pair(b.Width(), b.Height()), std::pair(c.Width, c.Height));
        for (int i = 0; i < c.Width * c.Height; ++i)
            EXPECT_TRUE(NearColor(b, i % c.Width, i / c.Width, c.Pixels[i], 0));
    }
}

// Damaged, cut-off and hostile files raise EImageError: no crash, no hang, and a few bytes
// that declare a giant picture are refused before its pixels are allocated.
TEST(PngFile, DamagedFilesRaise) {
    const TempDir tmp;
    std::vector<std::string> seeds;
    TPngFixture palette = Png(9, 7, PNG_COLOR_TYPE_PALETTE, 8);
    palette.Palette = {{1, 2, 3}, {4, 5, 6}};
    palette.PaletteAlpha = {10};
    for (int i = 0; i < 63; ++i)
        palette.Samples.push_back(static_cast<std::uint16_t>(i % 2));
    seeds.push_back(PngBytes(palette));
    seeds.push_back(PngOf(RandomBitmap(12, 10, 4)));
    TPngFixture wide =
        Png(6, 5, PNG_COLOR_TYPE_RGB_ALPHA, 16, std::vector<std::uint16_t>(120, 40000));
    wide.Interlaced = true;
    seeds.push_back(PngBytes(wide));
    std::mt19937 random(7);
    LoadDamagedCopies(seeds, 5, 60, 4, random, [&](const std::string& bytes) {
        TBM_Bitmap b;
        LoadPicture(tmp.write("bad.png", bytes), b);
    });

    // A chunk that claims 800 MB is refused before libpng allocates it.
    const std::string huge = seeds[1].substr(0, 33) + std::string("\x30\0\0\0eXIfMM\0*", 12);
    try {
        OpenPngPicture(tmp.write("huge.png", huge));
        ADD_FAILURE() << "an 800 MB chunk was accepted";
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }

    // 20000 x 20000 in a file of a few hundred bytes: IHDR rewritten, its CRC made right.
    std::string bomb = seeds[1];
    const std::string size("\0\0\x4E\x20\0\0\x4E\x20", 8);
    bomb.replace(16, 8, size);
    const std::uint32_t crc = Crc32(bomb.substr(12, 17));
    for (int i = 0; i < 4; ++i)
        bomb[29 + i] = static_cast<char>(crc >> (24 - 8 * i));
    try {
        OpenPngPicture(tmp.write("bomb.png", bomb));
        ADD_FAILURE() << "a giant picture from a small file was accepted";
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot come from"), std::string::npos) << e.what();
    }
}
