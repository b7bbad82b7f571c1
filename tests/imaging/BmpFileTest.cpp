// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BmpFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"
#include "support/TempDir.h"

using imaging_test::FileBytes;
using imaging_test::Rgb;
using imaging_test::SamePixels;

namespace {

constexpr std::uint32_t Black = 0, White = 0xFFFFFF;
// Channels only 0 or 255, so that every pixel format holds them exactly; all different, so
// that swapped channels or indices show.
const std::vector<std::uint32_t> Colours = {Black,    0x0000FF, 0x00FF00, 0xFF0000,
                                            0x00FFFF, 0xFFFF00, 0xFF00FF, White};

void Put(std::string& s, std::size_t pos, std::uint32_t v, int bytes) {
    if (s.size() < pos + bytes)
        s.resize(pos + bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        s[pos + i] = static_cast<char>(v >> (8 * i));
}

// What a writer put in the headers; Height < 0 means top-down rows.
struct TBmpLayout {
    std::uint32_t HeaderSize = 40;
    int Width = 5;
    int Height = 3;
    int BitCount = 24;
    std::uint32_t Compression = 0;
    std::uint32_t ColoursUsed = 0;
    std::vector<std::uint32_t> Palette;
    std::vector<std::uint32_t> Masks; // red, green, blue (and alpha)
};

std::string BuildBmp(const TBmpLayout& s, const std::string& pixels) {
    const int n = s.HeaderSize == 12 ? 2 : 4; // the OS/2 1.x header has 16-bit sizes
    std::string info;
    Put(info, 0, s.HeaderSize, 4);
    Put(info, 4, static_cast<std::uint32_t>(s.Width), n);
    Put(info, 4 + n, static_cast<std::uint32_t>(s.Height), n);
    Put(info, 4 + 2 * n, 1, 2);
    Put(info, 6 + 2 * n, static_cast<std::uint32_t>(s.BitCount), 2);
    Put(info, 16, n == 4 && s.HeaderSize >= 20 ? s.Compression : 0, 4);
    Put(info, 32, n == 4 && s.HeaderSize >= 36 ? s.ColoursUsed : 0, 4);
    info.resize(s.HeaderSize, '\0');
    std::string masks;
    for (std::size_t i = 0; i < s.Masks.size(); ++i)
        Put(s.HeaderSize > 40 ? info : masks, (s.HeaderSize > 40 ? 40 : 0) + 4 * i, s.Masks[i], 4);
    std::string palette;
    const std::size_t entry = s.HeaderSize == 12 ? 3 : 4;
    for (std::size_t i = 0; i < s.Palette.size(); ++i)
        Put(palette, i * entry,
            (s.Palette[i] >> 16 & 0xFF) | (s.Palette[i] & 0xFF00) | (s.Palette[i] & 0xFF) << 16,
            static_cast<int>(entry));
    std::string file = "BM";
    const std::size_t offBits = 14 + info.size() + masks.size() + palette.size();
    Put(file, 2, static_cast<std::uint32_t>(offBits + pixels.size()), 4);
    Put(file, 10, static_cast<std::uint32_t>(offBits), 4);
    return file + info + masks + palette + pixels;
}

// The test picture: palette index (x + 2 y) mod n, n colours of Colours (as many as the
// palette has, at most 8; all 8 in direct colour).
int IndexAt(int x, int y, int n) {
    return (x + 2 * y) % n;
}

// Uncompressed pixel rows in file order, each padded to four bytes.
std::string PackPixels(const TBmpLayout& s, int colours) {
    const int height = s.Height < 0 ? -s.Height : s.Height;
    std::vector<std::uint32_t> masks = s.Masks;
    if (masks.empty() && s.BitCount == 16)
        masks = {0x7C00, 0x03E0, 0x001F};
    if (masks.empty() && s.BitCount == 32)
        masks = {0xFF0000, 0xFF00, 0xFF};
    std::string data;
    const std::size_t stride = (static_cast<std::size_t>(s.Width) * s.BitCount + 31) / 32 * 4;
    for (int row = 0; row < height; ++row) {
        const int y = s.Height < 0 ? row : height - 1 - row;
        std::string line(stride, '\0');
        for (int x = 0; x < s.Width; ++x) {
            const int index = IndexAt(x, y, colours);
            const std::uint32_t c = Colours[index];
            if (s.BitCount <= 8) {
                const int bit = x * s.BitCount;
                line[bit / 8] =
                    static_cast<char>(line[bit / 8] | index << (8 - s.BitCount - bit % 8));
            } else if (s.BitCount == 24) {
                Put(line, 3 * x, (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16, 3);
            } else {
                std::uint32_t word = 0;
                for (int ch = 0; ch < 3; ++ch)
                    word |= (c >> (8 * ch) & 0xFF) ? masks[ch] : 0;
                Put(line, static_cast<std::size_t>(x) * s.BitCount / 8, word, s.BitCount / 8);
            }
        }
        data += line;
    }
    return data;
}

// A whole file of the test picture.
std::string Picture(const TBmpLayout& s) {
    return BuildBmp(s, PackPixels(s, s.Palette.empty() ? 8 : std::min<int>(s.Palette.size(), 8)));
}

struct TVariantCase {
    const char* Name;
    TBmpLayout Layout;
};

TBmpLayout Indexed(std::uint32_t headerSize, int bits, int height, int paletteSize,
                   std::uint32_t coloursUsed) {
    TBmpLayout s;
    s.HeaderSize = headerSize, s.BitCount = bits, s.Height = height, s.ColoursUsed = coloursUsed;
    s.Palette.assign(Colours.begin(), Colours.begin() + std::min(paletteSize, 8));
    s.Palette.resize(paletteSize, Rgb(9, 9, 9));
    return s;
}

TBmpLayout Direct(std::uint32_t headerSize, int bits, int height, std::uint32_t compression = 0,
                  std::vector<std::uint32_t> masks = {}) {
    TBmpLayout s;
    s.HeaderSize = headerSize, s.BitCount = bits, s.Height = height, s.Compression = compression;
    s.Masks = std::move(masks);
    return s;
}

class BmpVariants : public ::testing::TestWithParam<TVariantCase> {};

} // namespace

// Catches each way a reader goes wrong on what Windows programs write: rows upside down,
// red and blue swapped, bits of a byte taken in the wrong order, padding not skipped (the
// width of 5 needs it at every depth), masks or palettes read from the wrong place.
TEST_P(BmpVariants, DecodesThePicture) {
    const TBmpLayout& layout = GetParam().Layout;
    const int colours = layout.Palette.empty() ? 8 : std::min<int>(layout.Palette.size(), 8);
    TempDir tmp;
    TBM_Bitmap b;
    LoadBmpFile(tmp.write("v.bmp", Picture(layout)), b);
    TBM_Bitmap expected;
    expected.SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            expected.SetPixel(x, y, Colours[IndexAt(x, y, colours)]);
    EXPECT_TRUE(SamePixels(expected, b));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BmpVariants,
    ::testing::ValuesIn(std::vector<TVariantCase>{
        {"Indexed1Bit", Indexed(40, 1, 3, 2, 2)},
        {"Indexed4Bit", Indexed(40, 4, 3, 8, 8)},
        {"Indexed8Bit", Indexed(40, 8, 3, 8, 8)},
        {"Indexed8BitTopDown", Indexed(40, 8, -3, 8, 8)},
        {"Indexed8BitPaletteSizeUnstated", Indexed(40, 8, 3, 256, 0)},
        {"Rgb16Default555", Direct(40, 16, 3)},
        {"Rgb16BitFields565", Direct(40, 16, 3, 3, {0xF800, 0x07E0, 0x001F})},
        {"Rgb24", Direct(40, 24, 3)},
        {"Rgb24TopDown", Direct(40, 24, -3)},
        {"Rgb32Default", Direct(40, 32, 3)},
        {"Rgb32BitFieldsRgbaOrder", Direct(40, 32, 3, 3, {0x000000FF, 0x0000FF00, 0x00FF0000})},
        {"Rgb32AlphaBitFields",
         Direct(40, 32, 3, 6, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000})},
        {"V3HeaderBitFields", Direct(56, 32, 3, 3, {0x00FF0000, 0x0000FF00, 0x000000FF, 0})},
        {"V4HeaderRgb24", Direct(108, 24, 3)},
        {"V5HeaderBitFields16", Direct(124, 16, -3, 3, {0xF800, 0x07E0, 0x001F})},
        {"Os2CoreIndexed8", Indexed(12, 8, 3, 8, 0)},
        {"Os2CoreRgb24", Direct(12, 24, 3)},
        {"Os2v2Indexed4", Indexed(64, 4, 3, 16, 0)},
        {"Os2v2ShortHeaderRgb24", Direct(16, 24, 3)}}),
    [](const auto& info) { return std::string(info.param.Name); });

// Channels narrower or wider than 8 bits are scaled to the full range, not shifted: a 5-bit
// 31 is 255, a 5-bit 16 is 132, a 10-bit 512 is 128.
TEST(BmpFile, ScalesMaskedChannels) {
    TempDir tmp;
    TBmpLayout s = Direct(40, 16, 1, 3, {0xF800, 0x07E0, 0x001F});
    s.Width = 2;
    std::string pixels;
    Put(pixels, 0, 16u << 11 | 63u << 5 | 1u, 2);
    Put(pixels, 2, 31u << 11, 2);
    TBM_Bitmap b;
    LoadBmpFile(tmp.write("a.bmp", BuildBmp(s, pixels)), b);
    EXPECT_EQ(b.GetPixel(0, 0), (TBM_Pixel{132, 255, 8}));
    EXPECT_EQ(b.GetPixel(1, 0), (TBM_Pixel{255, 0, 0}));

    s = Direct(40, 32, 1, 3, {0x3FF00000, 0x000FFC00, 0x000003FF});
    s.Width = 1;
    pixels.clear();
    Put(pixels, 0, 512u << 20 | 1023u << 10 | 0u, 4);
    LoadBmpFile(tmp.write("b.bmp", BuildBmp(s, pixels)), b);
    EXPECT_EQ(b.GetPixel(0, 0), (TBM_Pixel{128, 255, 0}));
}

namespace {
// For the RLE pictures index 0 is white, so that skipped pixels (black) are told apart from
// pixels of index 0.
TBmpLayout Rle(int bits) {
    TBmpLayout s = Indexed(40, bits, 3, 8, 8);
    s.Palette[0] = White;
    s.Compression = bits == 8 ? 1 : 2;
    return s;
}

TBM_Bitmap Grid(const std::vector<std::vector<int>>& rows, const std::vector<std::uint32_t>& pal) {
    TBM_Bitmap b;
    b.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            b.SetPixel(static_cast<int>(x), static_cast<int>(y),
                       rows[y][x] < 0 ? Black : pal[rows[y][x]]);
    return b;
}

// RLE8: two of index 1; absolute 2, 3, 4 padded to 16 bits; end of line; move one right; four
// of index 5; end of line; three of index 0; end of picture. RLE4: nibble runs 1, 2, 1, 2, 1;
// end of line; move two right and one row up (over a whole row); absolute 3, 4, 5; end.
const std::string Rle8File =
    BuildBmp(Rle(8), std::string("\2\1\0\3\2\3\4\0\0\0\0\2\1\0\4\5\0\0\3\0\0\1", 22));
const std::string Rle4File =
    BuildBmp(Rle(4), std::string("\5\x12\0\0\0\2\2\1\0\3\x34\x50\0\1", 14));
} // namespace

// Runs, absolute runs with their padding, ends of line, moves and an early end of the picture,
// bottom row first. -1 marks pixels the file skips (black).
TEST(BmpFile, RunLengthEncoded) {
    TempDir tmp;
    TBM_Bitmap b;
    LoadBmpFile(tmp.write("r8.bmp", Rle8File), b);
    EXPECT_TRUE(SamePixels(
        Grid({{0, 0, 0, -1, -1}, {-1, 5, 5, 5, 5}, {1, 1, 2, 3, 4}}, Rle(8).Palette), b));
    LoadBmpFile(tmp.write("r4.bmp", Rle4File), b);
    EXPECT_TRUE(SamePixels(
        Grid({{-1, -1, 3, 4, 5}, {-1, -1, -1, -1, -1}, {1, 2, 1, 2, 1}}, Rle(4).Palette), b));
}

namespace {
struct TBadCase {
    const char* Name;
    std::string Bytes;
};
class BmpDamaged : public ::testing::TestWithParam<TBadCase> {};

std::string Rgb24(int width, int height, std::size_t pixelBytes) {
    TBmpLayout s = Direct(40, 24, height);
    s.Width = width;
    return BuildBmp(s, std::string(pixelBytes, '\x7F'));
}
std::string WithHeader(const TBmpLayout& s) {
    return BuildBmp(s, std::string(64, '\0'));
}
} // namespace

// Each must raise EImageError naming the file, before allocating for a size the file cannot
// hold, rather than crash, hang or return a half picture.
TEST_P(BmpDamaged, Raises) {
    TempDir tmp;
    TBM_Bitmap b;
    try {
        LoadBmpFile(tmp.write("bad.bmp", GetParam().Bytes), b);
        ADD_FAILURE() << "loaded";
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("bad.bmp"), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpDamaged,
                         ::testing::ValuesIn(std::vector<TBadCase>{
                             {"Empty", ""},
                             {"NotABitmap", "GIF89a and then some more bytes"},
                             {"HeaderCut", Rgb24(5, 3, 60).substr(0, 30)},
                             {"PixelsCut", Rgb24(5, 3, 40)},
                             {"HugeClaimTinyFile", Rgb24(20000, 20000, 10)},
                             {"BeyondMegapixelLimit", Rgb24(60000, 60000, 10)},
                             {"ZeroWidth", Rgb24(0, 3, 60)},
                             {"JpegCompression", WithHeader(Direct(40, 24, 3, 4))},
                             {"TwoBitsPerPixel", WithHeader(Indexed(40, 2, 3, 4, 4))},
                             {"UnknownHeaderSize", WithHeader(Direct(13, 24, 3))},
                             {"Rle8WithWrongDepth", WithHeader(Direct(40, 24, 3, 1))},
                             {"Os2HuffmanCompression", WithHeader(Direct(64, 24, 3, 3))},
                             {"RleCutInsideRun", BuildBmp(Rle(8), std::string("\0\5\1\2", 4))}}),
                         [](const auto& info) { return std::string(info.param.Name); });

// 32 bits per pixel, bottom-up, blue first: catches a writer whose files other programs read
// upside down or with red and blue swapped, and one that loses pixels on the way back.
TEST(BmpFile, Save32RoundTrip) {
    TempDir tmp;
    const std::string file = tmp.dir() + "s.bmp";
    const TBM_Bitmap original = imaging_test::RandomBitmap(7, 5, 4);
    SaveBmpFile(file, original);
    const std::string bytes = FileBytes(file);
    ASSERT_EQ(bytes.size(), 54u + 7 * 5 * 4);
    const TBM_Pixel bottomLeft = original.GetPixel(0, 4);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[54]), bottomLeft.B);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[56]), bottomLeft.R);
    EXPECT_EQ(bytes[57], '\0');
    TBM_Bitmap loaded;
    LoadBmpFile(file, loaded);
    EXPECT_TRUE(SamePixels(original, loaded));

    EXPECT_THROW(SaveBmpFile(tmp.dir() + "e.bmp", TBM_Bitmap()), EImageError);
    EXPECT_THROW(SaveBmpFile(tmp.dir() + "no/folder/e.bmp", original), EFileError);
    // A file that cannot be opened is a file error, not a damaged picture.
    EXPECT_THROW(LoadBmpFile(tmp.dir() + "missing.bmp", loaded), EFileError);
}

// The preview placeholder's format: 8 bits per pixel, the palette as given, rows padded.
// Bad arguments must raise and write nothing.
TEST(BmpFile, Save8WithPalette) {
    TempDir tmp;
    const std::string file = tmp.dir() + "p.bmp";
    const std::vector<std::uint32_t> palette = {Rgb(240, 240, 240), Rgb(160, 160, 160),
                                                Rgb(1, 2, 3)};
    const std::vector<std::uint8_t> indices = {1, 1, 1, 1, 1, 1, 0, 2, 0, 1, 1, 1, 1, 1, 1};
    SaveBmp8File(file, 5, 3, palette, indices);
    const std::string bytes = FileBytes(file);
    ASSERT_EQ(bytes.size(), 54u + 3 * 4 + 8 * 3);
    EXPECT_EQ(bytes[28], 8);
    EXPECT_EQ(bytes[46], 3); // colours used
    TBM_Bitmap b;
    LoadBmpFile(file, b);
    EXPECT_TRUE(SamePixels(Grid({{1, 1, 1, 1, 1}, {1, 0, 2, 0, 1}, {1, 1, 1, 1, 1}}, palette), b));

    const std::string bad = tmp.dir() + "bad.bmp";
    EXPECT_THROW(SaveBmp8File(bad, 0, 3, palette, {}), EImageError);
    EXPECT_THROW(SaveBmp8File(bad, 5, 3, {}, indices), EImageError);
    EXPECT_THROW(SaveBmp8File(bad, 5, 3, std::vector<std::uint32_t>(257), indices), EImageError);
    EXPECT_THROW(SaveBmp8File(bad, 5, 2, palette, indices), EImageError);
    std::vector<std::uint8_t> beyond = indices;
    beyond[3] = 3;
    EXPECT_THROW(SaveBmp8File(bad, 5, 3, palette, beyond), EImageError);
    EXPECT_FALSE(std::filesystem::exists(bad));
}

// Fuzz-style: every truncation and many bit flips of RLE, bit-field, palette and OS/2 files.
// Under the sanitizers this catches reads past the data and writes past the picture; any
// outcome but a picture or EImageError fails.
TEST(BmpFile, TruncatedAndBitFlippedFilesNeverCrash) {
    TempDir tmp;
    const std::vector<std::string> seeds = {
        Rle8File, Rle4File, Picture(Direct(40, 16, 3, 3, {0xF800, 0x07E0, 0x001F})),
        Picture(Indexed(40, 8, -3, 8, 8)), Picture(Indexed(12, 4, 3, 16, 0))};
    std::mt19937 random(5);
    TBM_Bitmap b;
    const std::string file = tmp.dir() + "f.bmp";
    const auto tryLoad = [&](const std::string& bytes) {
        tmp.write("f.bmp", bytes);
        try {
            LoadBmpFile(file, b);
        } catch (const EImageError&) {
        }
    };
    for (const std::string& seed : seeds) {
        for (std::size_t n = 0; n < seed.size(); ++n)
            tryLoad(seed.substr(0, n));
        for (int i = 0; i < 400; ++i) {
            std::string bytes = seed;
            for (int f = 0; f < 1 + static_cast<int>(random() % 3); ++f)
                bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
            tryLoad(bytes);
        }
    }
}
