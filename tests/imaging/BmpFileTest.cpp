// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BmpFile.h"

#include <filesystem>
#include <utility>

#include "ImagingTestSupport.h"

using namespace imaging_test;

namespace {

constexpr std::uint32_t Black = 0, White = 0xFFFFFF;
// Exact in every pixel format and all different; index 0 is not the black of skipped RLE pixels.
const std::vector<std::uint32_t> Colours = {White,    0x0000FF, 0x00FF00, 0xFF0000,
                                            0x00FFFF, 0xFFFF00, 0xFF00FF, Black};

void Put(std::string& s, std::size_t pos, std::uint32_t v, int bytes) {
    s.resize(std::max(s.size(), pos + bytes), '\0');
    for (int i = 0; i < bytes; ++i)
        s[pos + i] = static_cast<char>(v >> (8 * i));
}

// Red and blue swapped, as BMP files store them.
constexpr std::uint32_t Bgr(std::uint32_t c) {
    return (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
}

// The headers; Height < 0 is top-down, the palette the first PaletteSize Colours (grey past 8).
struct TBmpLayout {
    std::uint32_t HeaderSize = 40;
    int BitCount = 24;
    int Height = 3;
    std::uint32_t Compression = 0;
    int PaletteSize = 0;
    std::uint32_t ColoursUsed = 0;
    std::vector<std::uint32_t> Masks = {}; // red, green, blue (and alpha)
    int Width = 5;
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
    std::string extra; // masks after a 40-byte header, then the palette
    for (std::size_t i = 0; i < s.Masks.size(); ++i)
        Put(s.HeaderSize > 40 ? info : extra, (s.HeaderSize > 40 ? 40 : 0) + 4 * i, s.Masks[i], 4);
    const std::size_t entry = s.HeaderSize == 12 ? 3 : 4, start = extra.size();
    for (int i = 0; i < s.PaletteSize; ++i)
        Put(extra, start + i * entry, Bgr(i < 8 ? Colours[i] : Rgb(9, 9, 9)),
            static_cast<int>(entry));
    std::string file = "BM";
    Put(file, 2, static_cast<std::uint32_t>(14 + info.size() + extra.size() + pixels.size()), 4);
    Put(file, 10, static_cast<std::uint32_t>(14 + info.size() + extra.size()), 4);
    return file + info + extra + pixels;
}

// The test picture: pixel (x, y) is Colours[(x + 2 y) mod n], n the palette size up to 8.
int IndexAt(const TBmpLayout& s, int x, int y) {
    return (x + 2 * y) % (s.PaletteSize == 0 ? 8 : std::min(s.PaletteSize, 8));
}

// A whole uncompressed file of the test picture, each row padded to four bytes.
std::string Picture(const TBmpLayout& s) {
    const int height = std::abs(s.Height);
    const std::size_t stride = (static_cast<std::size_t>(s.Width) * s.BitCount + 31) / 32 * 4;
    std::string data(stride * height, '\0');
    for (int row = 0; row < height; ++row) {
        const int y = s.Height < 0 ? row : height - 1 - row;
        for (int x = 0; x < s.Width; ++x) {
            const int index = IndexAt(s, x, y);
            const std::size_t bit = row * stride * 8 + x * s.BitCount, at = bit / 8;
            std::uint32_t word = 0; // without masks, 16 bits are 5-5-5
            for (std::uint32_t ch = 0; ch < 3; ++ch)
                if (Colours[index] >> (8 * ch) & 0xFF)
                    word |= s.Masks.empty() ? 0x1Fu << (10 - 5 * ch) : s.Masks[ch];
            if (s.BitCount <= 8)
                data[at] = static_cast<char>(data[at] | index << (8 - s.BitCount - bit % 8));
            else
                Put(data, at, s.Masks.empty() && s.BitCount != 16 ? Bgr(Colours[index]) : word,
                    s.BitCount / 8);
        }
    }
    return BuildBmp(s, data);
}

// Rows of palette indices, '.' for pixels left black.
TBM_Bitmap Grid(const std::vector<std::string>& rows, const std::vector<std::uint32_t>& pal) {
    TBM_Bitmap b;
    b.SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            b.SetPixel(static_cast<int>(x), static_cast<int>(y),
                       rows[y][x] == '.' ? Black : pal[rows[y][x] - '0']);
    return b;
}

// RLE8: two of index 1; absolute 2, 3, 4 padded to 16 bits; end of line; two of index 5; move
// one right; two of index 5; end of line; three of index 0; end of picture. RLE4: nibble runs 1, 2,
// 1, 2, 1; end of line; move two right and one row up (over a whole row); absolute 3, 4, 5; end.
const TBmpLayout Rle8{40, 8, 3, 1, 8, 8}, Rle4{40, 4, 3, 2, 8, 8};
const std::string Rle8File =
    BuildBmp(Rle8, std::string("\2\1\0\3\2\3\4\0\0\0\2\5\0\2\1\0\2\5\0\0\3\0\0\1", 24));
const std::string Rle4File = BuildBmp(Rle4, std::string("\5\x12\0\0\0\2\2\1\0\3\x34\x50\0\1", 14));

} // namespace

// No rows upside down, red and blue swapped, bits of a byte misordered, padding unskipped (5
// pixels need it at every depth), masks or palettes read from the wrong place.
TEST(BmpFile, DecodesEveryVariant) {
    const std::pair<const char*, TBmpLayout> cases[] = {
        // header size, bits, height, compression, palette size, colours used, masks
        {"Indexed1Bit", {40, 1, 3, 0, 2, 2}},
        {"Indexed4Bit", {40, 4, 3, 0, 8, 8}},
        {"Indexed8Bit", {40, 8, 3, 0, 8, 8}},
        {"Indexed8BitPaletteSizeUnstated", {40, 8, 3, 0, 256, 0}},
        {"Rgb16Default555", {40, 16, 3}},
        {"Rgb16BitFields565", {40, 16, 3, 3, 0, 0, {0xF800, 0x07E0, 0x001F}}},
        {"Rgb24", {40, 24, 3}},
        {"Rgb24TopDown", {40, 24, -3}},
        {"Rgb32Default", {40, 32, 3}},
        {"Rgb32BitFieldsRgbaOrder", {40, 32, 3, 3, 0, 0, {0xFF, 0xFF00, 0xFF0000}}},
        {"Rgb32AlphaBitFields", {40, 32, 3, 6, 0, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}}},
        {"V3HeaderBitFields", {56, 32, 3, 3, 0, 0, {0xFF0000, 0xFF00, 0xFF, 0}}},
        {"V4HeaderRgb24", {108, 24, 3}},
        {"V5HeaderBitFields16", {124, 16, -3, 3, 0, 0, {0xF800, 0x07E0, 0x001F}}},
        {"Os2CoreIndexed8", {12, 8, 3, 0, 8, 0}},
        {"Os2CoreRgb24", {12, 24, 3}},
        {"Os2v2Indexed4", {64, 4, 3, 0, 16, 0}},
        {"Os2v2ShortHeaderRgb24", {16, 24, 3}}};
    TempDir tmp;
    for (const auto& [name, layout] : cases) {
        TBM_Bitmap b, expected;
        LoadBmpFile(tmp.write("v.bmp", Picture(layout)), b);
        expected.SetSize(5, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                expected.SetPixel(x, y, Colours[IndexAt(layout, x, y)]);
        EXPECT_TRUE(SamePixels(expected, b)) << name;
    }
}

// Channels are scaled, not shifted: 5-bit 31 is 255, 5-bit 16 is 132, 10-bit 512 is 128.
TEST(BmpFile, ScalesMaskedChannels) {
    const TBmpLayout narrow{40, 16, 1, 3, 0, 0, {0xF800, 0x07E0, 0x001F}, 2};
    const TBmpLayout wide{40, 32, 1, 3, 0, 0, {0x3FF00000, 0x000FFC00, 0x000003FF}, 1};
    std::string pixels, word;
    Put(pixels, 0, 16u << 11 | 63u << 5 | 1u, 2);
    Put(pixels, 2, 31u << 11, 2);
    Put(word, 0, 512u << 20 | 1023u << 10, 4);
    TempDir tmp;
    TBM_Bitmap b;
    LoadBmpFile(tmp.write("a.bmp", BuildBmp(narrow, pixels)), b);
    EXPECT_EQ(b.GetPixel(0, 0), (TBM_Pixel{132, 255, 8}));
    EXPECT_EQ(b.GetPixel(1, 0), (TBM_Pixel{255, 0, 0}));
    LoadBmpFile(tmp.write("b.bmp", BuildBmp(wide, word)), b);
    EXPECT_EQ(b.GetPixel(0, 0), (TBM_Pixel{128, 255, 0}));
}

// Bottom row first; '.' marks pixels the file skips.
TEST(BmpFile, RunLengthEncoded) {
    TempDir tmp;
    TBM_Bitmap b;
    LoadBmpFile(tmp.write("r8.bmp", Rle8File), b);
    EXPECT_TRUE(SamePixels(Grid({"000..", "55.55", "11234"}, Colours), b));
    LoadBmpFile(tmp.write("r4.bmp", Rle4File), b);
    EXPECT_TRUE(SamePixels(Grid({"..345", ".....", "12121"}, Colours), b));
}

// Each raises EImageError naming the file, not a crash, a hang or a half picture.
TEST(BmpFile, DamagedFilesRaise) {
    const auto rgb24 = [](int width, int height, std::size_t pixelBytes) {
        return BuildBmp({40, 24, height, 0, 0, 0, {}, width}, std::string(pixelBytes, '\x7F'));
    };
    const auto header = [](const TBmpLayout& s) { return BuildBmp(s, std::string(64, '\0')); };
    const std::pair<const char*, std::string> cases[] = {
        {"Empty", ""},
        {"NotABitmap", "GIF89a and then some more bytes"},
        {"HeaderCut", rgb24(5, 3, 60).substr(0, 30)},
        {"PixelsCut", rgb24(5, 3, 40)},
        {"HugeClaimTinyFile", rgb24(20000, 20000, 10)},
        {"BeyondMegapixelLimit", rgb24(60000, 60000, 10)},
        {"ZeroWidth", rgb24(0, 3, 60)},
        {"JpegCompression", header({40, 24, 3, 4})},
        {"TwoBitsPerPixel", header({40, 2, 3, 0, 4, 4})},
        {"UnknownHeaderSize", header({13, 24, 3})},
        {"Rle8WithWrongDepth", header({40, 24, 3, 1})},
        {"Os2HuffmanCompression", header({64, 32, 3, 3})},
        {"RleCutInsideRun", BuildBmp(Rle8, std::string("\0\5\1\2", 4))},
        {"RleEndsBeforeLastRow", BuildBmp(Rle8, std::string("\2\1", 2))}};
    TempDir tmp;
    TBM_Bitmap b;
    for (const auto& [name, bytes] : cases) {
        try {
            LoadBmpFile(tmp.write("bad.bmp", bytes), b);
            ADD_FAILURE() << name << " loaded";
        } catch (const EImageError& e) {
            EXPECT_NE(std::string(e.what()).find("bad.bmp"), std::string::npos) << name;
        }
    }
}

// 32 bits per pixel, bottom-up, blue first, and every pixel back as it was.
TEST(BmpFile, Save32RoundTrip) {
    TempDir tmp;
    const std::string file = tmp.dir() + "s.bmp";
    const TBM_Bitmap original = RandomBitmap(7, 5, 4);
    SaveBmpFile(file, original);
    const std::string bytes = ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), 54u + 7 * 5 * 4);
    const TBM_Pixel p = original.GetPixel(0, 4); // the bottom row comes first
    EXPECT_EQ(bytes.substr(54, 4), (std::string{static_cast<char>(p.B), static_cast<char>(p.G),
                                                static_cast<char>(p.R), '\0'}));
    TBM_Bitmap loaded;
    LoadBmpFile(file, loaded);
    EXPECT_TRUE(SamePixels(original, loaded));

    EXPECT_THROW(SaveBmpFile(tmp.dir() + "e.bmp", TBM_Bitmap()), EImageError);
    EXPECT_THROW(SaveBmpFile(tmp.dir() + "no/folder/e.bmp", original), EFileError);
    EXPECT_THROW(LoadBmpFile(tmp.dir() + "missing.bmp", loaded), EFileError);
}

// 8 bits per pixel, the palette as given, rows padded; bad arguments raise and write nothing.
TEST(BmpFile, Save8WithPalette) {
    TempDir tmp;
    const std::string file = tmp.dir() + "p.bmp";
    const std::vector<std::uint32_t> pal = {Rgb(240, 240, 240), Rgb(160, 160, 160), Rgb(1, 2, 3)};
    const std::vector<std::uint8_t> indices = {1, 1, 1, 1, 1, 1, 0, 2, 0, 1, 1, 1, 1, 1, 1};
    SaveBmp8File(file, 5, 3, pal, indices);
    const std::string bytes = ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), 54u + 3 * 4 + 8 * 3);
    EXPECT_EQ(bytes[28], 8);
    EXPECT_EQ(bytes[46], 3); // colours used
    TBM_Bitmap b;
    LoadBmpFile(file, b);
    EXPECT_TRUE(SamePixels(Grid({"11111", "10201", "11111"}, pal), b));

    const std::string bad = tmp.dir() + "bad.bmp";
    EXPECT_THROW(SaveBmp8File(bad, 0, 3, pal, {}), EImageError);
    EXPECT_THROW(SaveBmp8File(bad, 5, 3, {}, indices), EImageError);
    EXPECT_THROW(SaveBmp8File(bad, 5, 3, std::vector<std::uint32_t>(257), indices), EImageError);
    EXPECT_THROW(SaveBmp8File(bad, 5, 2, pal, indices), EImageError);
    EXPECT_THROW(SaveBmp8File(bad, 1, 1, pal, {3}), EImageError); // beyond the palette
    EXPECT_FALSE(std::filesystem::exists(bad));
}

// Truncated and bit-flipped RLE, bit-field, palette and OS/2 files never crash.
TEST(BmpFile, TruncatedAndBitFlippedFilesNeverCrash) {
    TempDir tmp;
    const std::vector<std::string> seeds = {
        Rle8File, Rle4File, Picture({40, 16, 3, 3, 0, 0, {0xF800, 0x07E0, 0x001F}}),
        Picture({40, 8, -3, 0, 8, 8}), Picture({12, 4, 3, 0, 16, 0})};
    std::mt19937 random(5);
    TBM_Bitmap b;
    LoadDamagedCopies(seeds, 1, 400, 3, random,
                      [&](const std::string& bytes) { LoadBmpFile(tmp.write("f.bmp", bytes), b); });
}
