// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TiffFile.h"

#include <tiffio.h>

#include "base/FileUtils.h"

#include "DecodedPictureTestSupport.h"

using namespace picture_test;

namespace {

constexpr int W = 64, H = 48;

struct TTiffCase {
    const char* Name;
    int Bits = 8;
    int Colours = 3; // 1 grey, 3 RGB
    bool Alpha = false;
    bool Planar = false;
    bool Tiled = false;
    int Compression = COMPRESSION_NONE;
    double MaxMeanError = 0; // 0: exact
};

// Sample c of the written picture: the pattern, in 16 bits with low bits of its own.
std::uint32_t Sample(const TTiffCase& t, int x, int y, int c) {
    const std::uint32_t v = PatternSample(x, y, c);
    return t.Bits == 16 ? v * 257 ^ static_cast<std::uint32_t>(x * 7 + y * 3 + c) % 64 : v;
}

struct TTiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

using TTiffWriter = std::unique_ptr<TIFF, TTiffCloser>;

// Opens path for writing a width x height picture with the common tags.
TTiffWriter Create(const std::string& path, int width, int height, int bits, int spp,
                   int photometric) {
    TTiffWriter tif(TIFFOpen(path.c_str(), "w"));
    TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, height);
    return tif;
}

// Writes samples (spp a pixel, interleaved, 8 bits) as one strip.
void WriteStrip(TIFF* tif, std::vector<std::uint8_t> samples) {
    ASSERT_GE(TIFFWriteEncodedStrip(tif, 0, samples.data(), static_cast<tmsize_t>(samples.size())),
              0);
}

std::string WritePattern(const TempDir& tmp, const TTiffCase& t) {
    const std::string path = tmp.dir() + t.Name + ".tif";
    const int spp = t.Colours + (t.Alpha ? 1 : 0);
    TTiffWriter tif = Create(path, W, H, t.Bits, spp,
                             t.Compression == COMPRESSION_JPEG ? PHOTOMETRIC_YCBCR
                             : t.Colours == 1                  ? PHOTOMETRIC_MINISBLACK
                                                               : PHOTOMETRIC_RGB);
    TIFFSetField(tif.get(), TIFFTAG_PLANARCONFIG,
                 t.Planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tif.get(), TIFFTAG_COMPRESSION, t.Compression);
    if (t.Compression == COMPRESSION_JPEG)
        TIFFSetField(tif.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    if (t.Alpha) {
        const std::uint16_t unassociated = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif.get(), TIFFTAG_EXTRASAMPLES, 1, &unassociated);
    }
    const int cw = t.Tiled ? 16 : W, ch = t.Tiled ? 16 : 16;
    if (t.Tiled) {
        TIFFSetField(tif.get(), TIFFTAG_TILEWIDTH, cw);
        TIFFSetField(tif.get(), TIFFTAG_TILELENGTH, ch);
    } else {
        TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, ch);
    }
    const int perPixel = t.Planar ? 1 : spp, bytes = t.Bits / 8;
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(cw * ch * perPixel * bytes));
    for (int plane = 0; plane < (t.Planar ? spp : 1); ++plane)
        for (int y0 = 0; y0 < H; y0 += ch)
            for (int x0 = 0; x0 < W; x0 += cw) {
                std::size_t i = 0;
                for (int y = y0; y < y0 + ch; ++y)
                    for (int x = x0; x < x0 + cw; ++x)
                        for (int c = t.Planar ? plane : 0; c < (t.Planar ? plane + 1 : spp); ++c) {
                            // The alpha is the pattern's fourth sample also for grey.
                            const std::uint32_t v = Sample(t, x, y, c == t.Colours ? 3 : c);
                            if (bytes == 2)
                                reinterpret_cast<std::uint16_t*>(chunk.data())[i++] =
                                    static_cast<std::uint16_t>(v);
                            else
                                chunk[i++] = static_cast<std::uint8_t>(v);
                        }
                const auto size = static_cast<tmsize_t>(chunk.size());
                if (t.Tiled)
                    TIFFWriteEncodedTile(tif.get(), TIFFComputeTile(tif.get(), x0, y0, 0, plane),
                                         chunk.data(), size);
                else
                    TIFFWriteEncodedStrip(
                        tif.get(), TIFFComputeStrip(tif.get(), y0, plane), chunk.data(),
                        static_cast<tmsize_t>(cw * std::min(ch, H - y0) * perPixel * bytes));
            }
    return path;
}

class TiffLayouts : public ::testing::TestWithParam<TTiffCase> {};

} // namespace

// Planes or tiles misplaced, 16 bits cut to 8, grey not spread, alpha over black, a codec lost.
TEST_P(TiffLayouts, GiveTheOriginalAtItsDepth) {
    const TTiffCase& t = GetParam();
    TempDir tmp;
    const TDecodedPicture picture = LoadTiffFile(WritePattern(tmp, t));
    ASSERT_EQ(picture.Width, W);
    ASSERT_EQ(picture.Height, H);
    ASSERT_EQ(picture.BitsPerSample, t.Bits);
    double error = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < 3; ++c) {
                std::uint32_t v = Sample(t, x, y, t.Colours == 1 ? 0 : c);
                if (t.Alpha) {
                    const std::uint32_t a = PatternSample(x, y, 3);
                    v = (v * a + 255 * (255 - a) + 127) / 255;
                }
                const std::size_t i = (static_cast<std::size_t>(y) * W + x) * 3 + c;
                error += std::abs(static_cast<double>(v) -
                                  (t.Bits == 16 ? picture.Pixels16[i] : picture.Pixels8[i]));
            }
    EXPECT_LE(error / (W * H * 3), t.MaxMeanError);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, TiffLayouts,
    ::testing::Values(TTiffCase{"Rgb8StripsLzw", 8, 3, false, false, false, COMPRESSION_LZW},
                      TTiffCase{"Rgb8PlanarTilesDeflate", 8, 3, false, true, true,
                                COMPRESSION_ADOBE_DEFLATE},
                      TTiffCase{"Rgba8UnassociatedOverWhite", 8, 3, true},
                      TTiffCase{"GreyAlpha8OverWhite", 8, 1, true, false, true},
                      TTiffCase{"Rgb16Tiles", 16, 3, false, false, true, COMPRESSION_LZW},
                      TTiffCase{"Grey16PlanarStrips", 16, 1, false, true},
                      TTiffCase{"YCbCrJpeg", 8, 3, false, false, false, COMPRESSION_JPEG, 3}),
    [](const auto& info) { return std::string(info.param.Name); });

// Palette entries read as 8 bits or indexed wrongly, CMYK inks taken as light, white-is-zero
// grey not inverted: four pixels of known colours each.
TEST(TiffFile, ConvertsPaletteCmykAndWhiteIsZero) {
    TempDir tmp;
    const std::string palettePath = tmp.dir() + "palette.tif";
    {
        TTiffWriter tif = Create(palettePath, 4, 1, 8, 1, PHOTOMETRIC_PALETTE);
        std::vector<std::uint16_t> r(256, 0), g(256, 0), b(256, 0);
        r[1] = 0xFFFF, g[2] = 0xFFFF, b[3] = 0x8080, r[3] = 0x1010;
        TIFFSetField(tif.get(), TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
        WriteStrip(tif.get(), {1, 2, 3, 0});
    }
    const std::string cmykPath = tmp.dir() + "cmyk.tif";
    {
        TTiffWriter tif = Create(cmykPath, 4, 1, 8, 4, PHOTOMETRIC_SEPARATED);
        WriteStrip(tif.get(), {255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 128, 0, 0, 0, 0});
    }
    const std::string whitePath = tmp.dir() + "white.tif";
    {
        TTiffWriter tif = Create(whitePath, 4, 1, 8, 1, PHOTOMETRIC_MINISWHITE);
        WriteStrip(tif.get(), {0, 255, 64, 128});
    }
    const std::pair<std::string, std::vector<std::uint8_t>> cases[] = {
        {palettePath, {255, 0, 0, 0, 255, 0, 16, 0, 128, 0, 0, 0}},
        {cmykPath, {0, 255, 255, 255, 0, 0, 127, 127, 127, 255, 255, 255}},
        {whitePath, {255, 255, 255, 0, 0, 0, 191, 191, 191, 127, 127, 127}}};
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(LoadTiffFile(path).Pixels8, expected) << path;
}

// The Orientation tag reported but not applied (rows stay as stored) on both ways of reading,
// and the ICC profile tag's bytes kept.
TEST(TiffFile, ReportsOrientationAndIccProfile) {
    TempDir tmp;
    const std::vector<std::uint8_t> icc(200, 0x3C);
    for (const int photometric : {PHOTOMETRIC_RGB, PHOTOMETRIC_PALETTE}) {
        const std::string path = tmp.dir() + "o" + std::to_string(photometric) + ".tif";
        {
            const int spp = photometric == PHOTOMETRIC_RGB ? 3 : 1;
            TTiffWriter tif = Create(path, 2, 1, 8, spp, photometric);
            std::vector<std::uint16_t> map(256, 0);
            map[1] = 0xFFFF;
            TIFFSetField(tif.get(), TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
            TIFFSetField(tif.get(), TIFFTAG_ORIENTATION, ORIENTATION_LEFTBOT);
            TIFFSetField(tif.get(), TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(icc.size()),
                         icc.data());
            WriteStrip(tif.get(), spp == 3 ? std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0}
                                           : std::vector<std::uint8_t>{1, 0});
        }
        const TDecodedPicture picture = LoadTiffFile(path);
        EXPECT_EQ(picture.Orientation, ORIENTATION_LEFTBOT);
        EXPECT_EQ(picture.Pixels8, (std::vector<std::uint8_t>{255, 255, 255, 0, 0, 0}));
        EXPECT_EQ(picture.Colour.IccProfile, icc);
    }
}

// Cut, damaged and forged files raise EImageError naming the file, and nothing is printed.
TEST(TiffFile, RefusesDamagedTruncatedAndForgedFiles) {
    TempDir tmp;
    for (const TTiffCase& t : {TTiffCase{"Strips", 8, 3, false, false, false, COMPRESSION_LZW},
                               TTiffCase{"Tiles", 16, 3, false, false, true, COMPRESSION_LZW}}) {
        const std::string bytes = kelvo::ReadFileBytes(WritePattern(tmp, t));
        ExpectCutsRefused(tmp, bytes, LoadTiffFile, {0.003, 0.1, 0.5, 0.9, 0.999});
        std::string damaged = bytes; // the first directory's offset beyond the end
        damaged[7] = '\x7F';
        EXPECT_THROW(LoadTiffFile(tmp.write("d.tif", damaged)), EImageError);
    }
    const std::string giant = tmp.dir() + "giant.tif";
    {
        TTiffWriter tif = Create(giant, 20000, 20000, 8, 1, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif.get(), TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
        std::uint8_t data[16] = {};
        TIFFWriteRawStrip(tif.get(), 0, data, sizeof data);
    }
    ExpectForgedSizeRefused(LoadTiffFile, giant);
}
