// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of WebP, TIFF and HEIF/AVIF, fed files that the libraries' own encoders make
// from one test pattern.
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <libheif/heif_cxx.h>
#include <tiffio.h>
#include <webp/decode.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "imaging/HeifFile.h"
#include "imaging/PictureFormat.h"
#include "imaging/TiffFile.h"
#include "imaging/WebpFile.h"
#include "support/TempDir.h"

// libx265 3.5 keeps a block of every encoder it opens (HEIF fixtures below); the readers encode
// nothing.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}

namespace {

constexpr int W = 64, H = 48;

// Sample c (0 R, 1 G, 2 B, 3 alpha) of pixel (x, y): smooth ramps that lossy codecs keep, each
// channel and direction different; alpha opaque, clear and half-way columns, then a ramp.
int Sample8(int x, int y, int c) {
    const int alpha[] = {255, 0, 128};
    const int v[] = {x * 255 / 63, y * 255 / 47, (x + 2 * y) * 2 & 0xFF,
                     x < 12 ? alpha[x / 4] : y * 5};
    return v[c];
}
// 16 bits with low bits of their own, so a reader that drops them shows it.
int Sample16(int x, int y, int c) {
    return Sample8(x, y, c) * 257 ^ (x * 7 + y * 3 + c) % 64;
}

std::vector<std::uint8_t> Samples8(int channels) {
    std::vector<std::uint8_t> s;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < channels; ++c)
                s.push_back(static_cast<std::uint8_t>(Sample8(x, y, c)));
    return s;
}

const std::string
    ExifOrientation6("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 26);

// ---- WebP through libwebp's encoder, chunks added with its muxer.
std::string WebpBytes(bool lossless, bool alpha,
                      const std::vector<std::pair<const char*, std::string>>& chunks = {}) {
    const std::vector<std::uint8_t> s = Samples8(alpha ? 4 : 3);
    const int stride = W * (alpha ? 4 : 3);
    std::uint8_t* out = nullptr;
    const std::size_t size =
        lossless
            ? (alpha ? WebPEncodeLosslessRGBA : WebPEncodeLosslessRGB)(s.data(), W, H, stride, &out)
            : (alpha ? WebPEncodeRGBA : WebPEncodeRGB)(s.data(), W, H, stride, 95, &out);
    const WebPData image{out, size};
    WebPMux* mux = WebPMuxCreate(&image, 1);
    for (const auto& [tag, payload] : chunks) {
        const WebPData data{reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()};
        WebPMuxSetChunk(mux, tag, &data, 1);
    }
    WebPData file{};
    WebPMuxAssemble(mux, &file);
    std::string bytes(reinterpret_cast<const char*>(file.bytes), file.size);
    WebPDataClear(&file);
    WebPMuxDelete(mux);
    WebPFree(out);
    return bytes;
}

// ---- TIFF through libtiff's writer.
struct TTiff {
    int Bits = 8;
    int Photometric = PHOTOMETRIC_RGB;
    int Spp = 3;
    bool Planar = false;
    bool Tiled = false;
    int Compression = COMPRESSION_NONE;
    int Orientation = ORIENTATION_TOPLEFT;
    std::vector<std::uint8_t> Icc{};
};

using TTiffPtr = std::unique_ptr<TIFF, decltype(&TIFFClose)>;

TTiffPtr CreateTiff(const std::string& path, int width, int height, const TTiff& t) {
    TTiffPtr tif(TIFFOpen(path.c_str(), "w"), TIFFClose);
    TIFF* f = tif.get();
    TIFFSetField(f, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(f, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(f, TIFFTAG_BITSPERSAMPLE, t.Bits);
    TIFFSetField(f, TIFFTAG_SAMPLESPERPIXEL, t.Spp);
    TIFFSetField(f, TIFFTAG_PHOTOMETRIC, t.Photometric);
    TIFFSetField(f, TIFFTAG_PLANARCONFIG, t.Planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(f, TIFFTAG_COMPRESSION, t.Compression);
    TIFFSetField(f, TIFFTAG_ORIENTATION, t.Orientation);
    if (t.Compression == COMPRESSION_JPEG)
        TIFFSetField(f, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    if (!t.Icc.empty())
        TIFFSetField(f, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(t.Icc.size()), t.Icc.data());
    if ((t.Spp == 2 || t.Spp == 4) && t.Photometric != PHOTOMETRIC_SEPARATED) {
        const std::uint16_t unassociated = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(f, TIFFTAG_EXTRASAMPLES, 1, &unassociated);
    }
    if (t.Photometric == PHOTOMETRIC_PALETTE) { // a grey ramp: index i gives i
        std::vector<std::uint16_t> map(256);
        for (std::size_t i = 0; i < map.size(); ++i)
            map[i] = static_cast<std::uint16_t>(i * 257);
        TIFFSetField(f, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    }
    if (t.Tiled) {
        TIFFSetField(f, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(f, TIFFTAG_TILELENGTH, 16);
    } else {
        TIFFSetField(f, TIFFTAG_ROWSPERSTRIP, 16);
    }
    return tif;
}

// The pattern (grey: its red; the last of 2 or 4 samples: its alpha) in strips or 16 x 16 tiles.
std::string WriteTiff(const TempDir& tmp, const std::string& name, const TTiff& t) {
    const std::string path = tmp.dir() + name;
    const TTiffPtr tif = CreateTiff(path, W, H, t);
    const int perPixel = t.Planar ? 1 : t.Spp, size = t.Bits / 8, cw = t.Tiled ? 16 : W;
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(cw * 16 * perPixel * size));
    for (int plane = 0; plane < t.Spp / perPixel; ++plane)
        for (int y0 = 0; y0 < H; y0 += 16)
            for (int x0 = 0; x0 < W; x0 += cw) {
                std::uint8_t* out = chunk.data();
                for (int i = 0; i < cw * 16 * perPixel; ++i) {
                    const int x = x0 + i / perPixel % cw, y = y0 + i / perPixel / cw;
                    int c = t.Planar ? plane : i % perPixel;
                    c = c == t.Spp - 1 && t.Spp % 2 == 0 ? 3 : c;
                    const int v = size == 2 ? Sample16(x, y, c) : Sample8(x, y, c);
                    std::memcpy(out, &v, size), out += size; // little-endian host
                }
                if (t.Tiled)
                    TIFFWriteTile(tif.get(), chunk.data(), x0, y0, 0, plane);
                else
                    TIFFWriteEncodedStrip(tif.get(), TIFFComputeStrip(tif.get(), y0, plane),
                                          chunk.data(), static_cast<tmsize_t>(chunk.size()));
            }
    return path;
}

// ---- HEIF through libheif's encoders (x265 for HEVC, aom for AV1).

struct THeif {
    heif_compression_format Codec = heif_compression_HEVC;
    int Bits = 8; // 10: Sample16 cut to 10 bits
    bool Alpha = false;
    heif_orientation Orientation = heif_orientation_normal;
    std::vector<std::uint8_t> Icc{};
    int Primaries = 0; // nclx when not 0
    int ThumbnailSize = 0;
};

// The pattern, with an EXIF orientation 6 beside any irot, so a reader that heeds both turns
// twice.
std::string WriteHeif(const TempDir& tmp, const std::string& name, const THeif& h) {
    const bool deep = h.Bits > 8;
    heif::Image image;
    image.create(W, H, heif_colorspace_RGB,
                 deep ? heif_chroma_interleaved_RRGGBB_LE
                      : (h.Alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB));
    image.add_plane(heif_channel_interleaved, W, H, h.Bits);
    int stride = 0;
    std::uint8_t* plane = image.get_plane(heif_channel_interleaved, &stride);
    const int channels = h.Alpha ? 4 : 3;
    for (int y = 0; y < H; ++y)
        for (int i = 0; i < W * channels; ++i) {
            const int v = deep ? Sample16(i / channels, y, i % channels) >> 6
                               : Sample8(i / channels, y, i % channels);
            std::memcpy(plane + y * stride + i * (deep ? 2 : 1), &v, deep ? 2 : 1); // LE host
        }
    if (!h.Icc.empty())
        image.set_raw_color_profile(heif_color_profile_type_prof, h.Icc);
    heif::Context::EncodingOptions options;
    if (h.Primaries != 0) {
        heif::ColorProfile_nclx nclx;
        nclx.set_color_primaries(static_cast<heif_color_primaries>(h.Primaries));
        nclx.set_transfer_characteristics(heif_transfer_characteristic_IEC_61966_2_1);
        image.set_nclx_color_profile(nclx);
        options.macOS_compatibility_workaround_no_nclx_profile = 0;
    }
    options.image_orientation = h.Orientation;
    heif::Encoder encoder(h.Codec);
    encoder.set_lossy_quality(90);
    if (h.Codec == heif_compression_AV1)
        encoder.set_integer_parameter("speed", 9);
    heif::Context context;
    const heif::ImageHandle handle = context.encode_image(image, encoder, options);
    context.add_exif_metadata(handle, ExifOrientation6.data(),
                              static_cast<int>(ExifOrientation6.size()));
    if (h.ThumbnailSize > 0)
        context.encode_thumbnail(image, handle, encoder, options, h.ThumbnailSize);
    context.write_to_file(tmp.dir() + name);
    return tmp.dir() + name;
}

struct TReaderCase {
    const char* Name;
    std::function<std::string(const TempDir&)> Write;
    std::function<TDecodedPicture(const std::string&)> Load;
    int Bits = 8;
    bool Grey = false;
    bool Alpha = false;
    bool Turned = false;     // a quarter clockwise
    double MaxMeanError = 0; // in 8-bit steps; 0: exact
};

class PictureReaders : public ::testing::TestWithParam<TReaderCase> {};

} // namespace

// Channels swapped, rows or tiles misplaced, planes mixed, grey not spread, alpha dropped or over
// black, 16 (or 10) bits cut to 8 or not scaled to the full range, irot ignored or the EXIF
// orientation inside a HEIF applied on top.
TEST_P(PictureReaders, GiveTheOriginalWithinTheCodecsLoss) {
    const TReaderCase& t = GetParam();
    TempDir tmp;
    const std::string file = t.Write(tmp);
    const TDecodedPicture p = t.Load(file);
    const int width = t.Turned ? H : W, height = t.Turned ? W : H;
    ASSERT_EQ(p.Width, width);
    ASSERT_EQ(p.Height, height);
    const TPictureSize headers = ReadPictureSize(file);
    EXPECT_EQ(headers.Width, width);
    EXPECT_EQ(headers.Height, height);
    ASSERT_EQ(p.BitsPerSample, t.Bits);
    EXPECT_EQ(p.Orientation, 1);
    double error = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int sx = t.Turned ? y : x, sy = t.Turned ? H - 1 - x : y;
                double v = t.Bits == 16 ? Sample16(sx, sy, t.Grey ? 0 : c) / 257.0
                                        : Sample8(sx, sy, t.Grey ? 0 : c);
                if (t.Alpha) {
                    const int a = Sample8(sx, sy, 3);
                    v = std::round((v * a + 255.0 * (255 - a)) / 255);
                }
                const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3 + c;
                error += std::abs(t.Bits == 16 ? p.Pixels16[i] / 257.0 - v : p.Pixels8[i] - v);
            }
    EXPECT_LE(error / (width * height * 3), t.MaxMeanError + 1e-9);
}

TReaderCase Webp(const char* name, bool lossless, bool alpha) {
    return {name,
            [=](const TempDir& d) { return d.write("a.webp", WebpBytes(lossless, alpha)); },
            LoadWebpFile,
            8,
            false,
            alpha,
            false,
            lossless ? 0 : 2.5};
}
TReaderCase Tiff(const char* name, const TTiff& t) {
    return {name,         [=](const TempDir& d) { return WriteTiff(d, "a.tif", t); },
            LoadTiffFile, t.Bits,
            t.Spp < 3,    t.Spp % 2 == 0,
            false,        t.Compression == COMPRESSION_JPEG ? 3.0 : 0.0};
}
TReaderCase Heif(const char* name, const THeif& h) {
    return {name,
            [=](const TempDir& d) { return WriteHeif(d, "a.heif", h); },
            LoadHeifFile,
            h.Bits > 8 ? 16 : 8,
            false,
            h.Alpha,
            h.Orientation != heif_orientation_normal,
            3};
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PictureReaders,
    ::testing::Values(
        Webp("WebpLossless", true, false), Webp("WebpLosslessAlpha", true, true),
        Webp("WebpLossyAlpha", false, true),
        Tiff("TiffRgbStripsLzw", {8, PHOTOMETRIC_RGB, 3, false, false, COMPRESSION_LZW}),
        Tiff("TiffRgbPlanarTilesDeflate",
             {8, PHOTOMETRIC_RGB, 3, true, true, COMPRESSION_ADOBE_DEFLATE}),
        Tiff("TiffRgbaOverWhite", {8, PHOTOMETRIC_RGB, 4}),
        Tiff("TiffGreyAlphaTiles", {8, PHOTOMETRIC_MINISBLACK, 2, false, true}),
        Tiff("TiffRgb16Tiles", {16, PHOTOMETRIC_RGB, 3, false, true, COMPRESSION_LZW}),
        Tiff("TiffGrey16Strips", {16, PHOTOMETRIC_MINISBLACK, 1}),
        Tiff("TiffYCbCrJpeg", {8, PHOTOMETRIC_YCBCR, 3, false, false, COMPRESSION_JPEG}),
        Heif("Heic", {}), Heif("HeicAlpha", {heif_compression_HEVC, 8, true}),
        Heif("Heic10Bit", {heif_compression_HEVC, 10}),
        Heif("HeicIrotTurnsOnce", {heif_compression_HEVC, 8, false, heif_orientation_rotate_90_cw}),
        // Debian's aom aborts on 10-bit RGB input, so only HEVC shows the deep path, which is the
        // same code for both codecs.
        Heif("AvifAlpha", {heif_compression_AV1, 8, true})),
    [](const auto& info) { return std::string(info.param.Name); });

// What the file says about orientation and colour reaches the picture: WebP's EXIF chunk (bare
// or behind "Exif") and ICCP chunk, TIFF's Orientation and ICC tags on both of its ways of
// reading (reported, rows left as stored), HEIF's ICC profile and nclx. The headers alone give
// the upright size.
TEST(PictureReaders, ReportOrientationAndColour) {
    TempDir tmp;
    const std::vector<std::uint8_t> icc(200, 0x3C);
    const std::string iccText(icc.begin(), icc.end());
    for (const std::string& exif :
         {ExifOrientation6, "Exif" + std::string(2, '\0') + ExifOrientation6}) {
        const std::string file =
            tmp.write("o.webp", WebpBytes(true, false, {{"EXIF", exif}, {"ICCP", iccText}}));
        const TDecodedPicture p = LoadWebpFile(file);
        EXPECT_EQ(p.Orientation, 6);
        EXPECT_EQ(ReadPictureSize(file).Width, H);
        EXPECT_EQ(p.Colour.IccProfile, icc);
    }
    for (const int photometric : {PHOTOMETRIC_RGB, PHOTOMETRIC_PALETTE}) {
        const TTiff t{8,
                      photometric,
                      photometric == PHOTOMETRIC_RGB ? 3 : 1,
                      false,
                      false,
                      COMPRESSION_NONE,
                      ORIENTATION_LEFTBOT,
                      icc};
        const std::string file = WriteTiff(tmp, "o.tif", t);
        const TDecodedPicture p = LoadTiffFile(file);
        EXPECT_EQ(p.Orientation, ORIENTATION_LEFTBOT);
        EXPECT_EQ(ReadPictureSize(file).Width, H);
        EXPECT_EQ(p.Colour.IccProfile, icc);
        ASSERT_EQ(p.Width, W);
        EXPECT_GT(p.Pixels8[3 * (W - 1)], p.Pixels8[0]) << "stored rows turned"; // palette: 0..63
    }
    EXPECT_EQ(LoadHeifFile(WriteHeif(tmp, "i.heic", {.Icc = icc})).Colour.IccProfile, icc);
    const TPictureColour nclx = LoadHeifFile(WriteHeif(tmp, "n.heic", {.Primaries = 12})).Colour;
    EXPECT_TRUE(nclx.HasNclx);
    EXPECT_EQ(nclx.ColourPrimaries, 12);
    EXPECT_EQ(nclx.TransferCharacteristics, 13);
}

// Palette entries taken as 8 bits or indexed wrongly, CMYK inks taken as light, white-is-zero
// grey not inverted: four pixels of known colours each.
TEST(PictureReaders, TiffConvertsPaletteCmykAndWhiteIsZero) {
    TempDir tmp;
    struct TCase {
        int Photometric, Spp;
        std::vector<std::uint8_t> Samples, Expected;
    };
    const TCase cases[] = {
        {PHOTOMETRIC_PALETTE, 1, {1, 2, 3, 0}, {255, 0, 0, 0, 255, 0, 16, 0, 128, 0, 0, 0}},
        {PHOTOMETRIC_SEPARATED,
         4,
         {255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 128, 0, 0, 0, 0},
         {0, 255, 255, 255, 0, 0, 127, 127, 127, 255, 255, 255}},
        {PHOTOMETRIC_MINISWHITE,
         1,
         {0, 255, 64, 128},
         {255, 255, 255, 0, 0, 0, 191, 191, 191, 127, 127, 127}}};
    for (const TCase& c : cases) {
        const std::string path = tmp.dir() + "k.tif";
        {
            const TTiffPtr tif = CreateTiff(path, 4, 1, {8, c.Photometric, c.Spp});
            std::vector<std::uint16_t> r(256), g(256), b(256);
            r[1] = g[2] = 0xFFFF, r[3] = 0x1010, b[3] = 0x8080;
            TIFFSetField(tif.get(), TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
            TIFFWriteEncodedStrip(tif.get(), 0, const_cast<std::uint8_t*>(c.Samples.data()),
                                  static_cast<tmsize_t>(c.Samples.size()));
        }
        EXPECT_EQ(LoadTiffFile(path).Pixels8, c.Expected) << c.Photometric;
    }
}

// Each signature knows its own format only, from the first bytes (a short start is none, an MP4
// is no HEIF): the reader is picked by content, whatever the file's name.
TEST(PictureReaders, SignaturesTellTheFormatsApart) {
    TempDir tmp;
    const std::pair<bool (*)(const std::uint8_t*, std::size_t), std::string> files[] = {
        {IsWebpData, WebpBytes(true, false)},
        {IsTiffData, kelvo::ReadFileBytes(WriteTiff(tmp, "s.tif", {}))},
        {IsHeifData, kelvo::ReadFileBytes(WriteHeif(tmp, "s.heic", {}))},
        {IsHeifData, kelvo::ReadFileBytes(WriteHeif(tmp, "s.avif", {heif_compression_AV1}))},
        {nullptr, std::string("\0\0\0\x18"
                              "ftypmp42\0\0\0\0isommp42",
                              24)}};
    for (const auto& [is, bytes] : files)
        for (const auto& [other, unused] : files) {
            const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
            if (other != nullptr) {
                EXPECT_EQ(other(data, bytes.size()), other == is) << bytes.substr(4, 8);
                EXPECT_FALSE(other(data, 3));
            }
        }
}

// The embedded thumbnail is used only when it is large enough; a file without one gives
// nothing instead of failing.
TEST(PictureReaders, HeifThumbnailOfAtLeastTheAskedSize) {
    TempDir tmp;
    const std::string with = WriteHeif(tmp, "t.heic", {.ThumbnailSize = 32});
    const std::optional<TDecodedPicture> thumbnail = LoadHeifThumbnail(with, 30, 20);
    ASSERT_TRUE(thumbnail.has_value());
    EXPECT_EQ(thumbnail->Width, 32);
    EXPECT_EQ(thumbnail->Height, 24);
    EXPECT_FALSE(LoadHeifThumbnail(with, 33, 20).has_value());
    EXPECT_FALSE(LoadHeifThumbnail(WriteHeif(tmp, "p.heic", {}), 1, 1).has_value());
}

// A WebP of many decoding steps gives libwebp's own whole decode, alpha composited over white:
// no row lost, repeated or handed on before the decoder wrote it.
TEST(PictureReaders, WebpRowsAsLibwebpDecodesThem) {
    TempDir tmp;
    constexpr int Width = 400, Height = 300;
    std::vector<std::uint8_t> noise(Width * Height * 4);
    std::uint32_t seed = 1;
    for (std::uint8_t& v : noise)
        v = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 24);
    for (const bool alpha : {false, true}) {
        std::uint8_t* encoded = nullptr;
        const std::size_t size = (alpha ? WebPEncodeRGBA : WebPEncodeRGB)(
            noise.data(), Width, Height, Width * (alpha ? 4 : 3), 90, &encoded);
        ASSERT_GT(size, 100000u); // many times what the reader feeds the decoder at a time
        const std::string file =
            tmp.write("n.webp", std::string(reinterpret_cast<const char*>(encoded), size));
        int width = 0, height = 0;
        std::uint8_t* decoded = WebPDecodeRGBA(encoded, size, &width, &height);
        const TDecodedPicture p = LoadWebpFile(file);
        ASSERT_EQ(p.Pixels8.size(), std::size_t{Width} * Height * 3);
        int wrong = 0;
        for (std::size_t i = 0; i < std::size_t{Width} * Height; ++i)
            for (int c = 0; c < 3; ++c) {
                const int a = decoded[i * 4 + 3];
                wrong +=
                    p.Pixels8[i * 3 + c] != (decoded[i * 4 + c] * a + 255 * (255 - a) + 127) / 255;
            }
        EXPECT_EQ(wrong, 0) << alpha;
        WebPFree(decoded);
        WebPFree(encoded);
    }
}

// A TIFF of one long row in tiles of 1024 rows is refused before its tile (400 MB for the file
// of a few hundred bytes here) is allocated.
TEST(PictureReaders, TiffTilesFarBeyondThePictureRefused) {
    TempDir tmp;
    const std::string file = tmp.dir() + "row.tif";
    {
        const TTiffPtr tif = CreateTiff(file, 65535, 1, {16, PHOTOMETRIC_RGB, 3, false, true});
        TIFFSetField(tif.get(), TIFFTAG_TILEWIDTH, 65536);
        TIFFSetField(tif.get(), TIFFTAG_TILELENGTH, 1024);
        std::uint8_t data[64] = {};
        TIFFWriteRawTile(tif.get(), 0, data, sizeof data);
    }
    try {
        LoadTiffFile(file);
        ADD_FAILURE() << "read";
    } catch (const EImageError& e) {
        EXPECT_NE(std::string(e.what()).find("Invalid tile size"), std::string::npos) << e.what();
    }
}

// A cut or damaged file of each format raises EImageError, and so does a forged giant size,
// for its lack of data (naming the file) before anything of that size is allocated.
TEST(PictureReaders, RefuseTruncatedDamagedAndForgedFiles) {
    TempDir tmp;
    const std::string heif = kelvo::ReadFileBytes(WriteHeif(tmp, "h", {}));
    std::string forgedHeif = heif; // every ispe box (grid and tile) saying 20000 x 20000
    for (auto at = forgedHeif.find("ispe"); at != std::string::npos;
         at = forgedHeif.find("ispe", at + 1))
        forgedHeif.replace(at + 8, 8, std::string("\0\0\x4E\x20\0\0\x4E\x20", 8));
    const std::string forgedTiff = tmp.dir() + "g.tif";
    {
        const TTiffPtr tif = CreateTiff(forgedTiff, 20000, 20000, {8, PHOTOMETRIC_MINISBLACK, 1});
        TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, 20000);
        std::uint8_t data[16] = {};
        TIFFWriteRawStrip(tif.get(), 0, data, sizeof data);
    }
    struct TCase {
        std::function<TDecodedPicture(const std::string&)> Load;
        std::string Bytes, Forged;
        std::size_t DamageAt;
    };
    const TCase cases[] = {
        {LoadWebpFile, WebpBytes(false, true), // a lossless header of 16384 x 16384
         std::string("RIFF\x1A\0\0\0WEBPVP8L\x0D\0\0\0\x2F\xFF\xFF\xFF\x0F\0\0\0\0\0\0\0\0\0", 34),
         40},
        {LoadTiffFile,
         kelvo::ReadFileBytes(
             WriteTiff(tmp, "t", {16, PHOTOMETRIC_RGB, 3, false, true, COMPRESSION_LZW})),
         kelvo::ReadFileBytes(forgedTiff), 4},
        {LoadHeifFile, heif, forgedHeif, 24}};
    for (const TCase& c : cases) {
        for (const double cut : {0.005, 0.3, 0.6, 0.95})
            EXPECT_THROW(c.Load(tmp.write("cut", c.Bytes.substr(0, static_cast<std::size_t>(
                                                                       c.Bytes.size() * cut)))),
                         EImageError)
                << cut;
        std::string damaged = c.Bytes;
        std::fill(damaged.begin() + static_cast<long>(c.DamageAt),
                  damaged.begin() + static_cast<long>(c.DamageAt) + 60, '\xFF');
        EXPECT_THROW(c.Load(tmp.write("damaged", damaged)), EImageError);
        const std::string forged = tmp.write("forged", c.Forged);
        try {
            c.Load(forged);
            ADD_FAILURE() << "a forged size loaded";
        } catch (const EImageError& e) {
            EXPECT_NE(std::string(e.what()).find("cannot come from"), std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find(forged), std::string::npos) << e.what();
        }
    }
}

// A HEIF whose coded stream (HEVC SPS, AV1 sequence header) or grid declares a frame far
// larger than its ispe is refused before libheif decodes it: the decoders would allocate that
// frame whole (a file of a few hundred bytes took over 1 GB). The message names the coded
// size, which only the check ahead of decoding knows. A forged thumbnail spoils only itself.
TEST(PictureReaders, HeifRefusesCodedFramesBeyondItsDeclaredSize) {
    TempDir tmp;
    const std::string heic = kelvo::ReadFileBytes(WriteHeif(tmp, "h.heic", {}));
    const std::string thumbnailed =
        kelvo::ReadFileBytes(WriteHeif(tmp, "t.heic", {.ThumbnailSize = 32}));
    const std::string avif = kelvo::ReadFileBytes(WriteHeif(tmp, "a.avif", {heif_compression_AV1}));
    // The SPS in the last hvcC (the thumbnail's, after the picture's) keeps its NAL header; a
    // plain profile and level (12 bytes without emulation-prevention bytes) follow, then from
    // its id on it declares the size.
    const auto sps = [](std::string file, const std::string& idToSize) {
        const std::string head = "\x01" + std::string(12, '\x11');
        return file.replace(file.find("\x42\x01", file.rfind("hvcC")) + 2,
                            head.size() + idToSize.size(), head + idToSize);
    };
    const std::string huge("\xA0\x00\x7D\x02\x00\x0F\xA0\x60", 8); // 16000 x 16000
    // The sequence header in the data (libheif's av1C has none): a reduced still picture
    // header of 14-bit sizes, 16000 x 16000.
    std::string av1 = avif;
    const std::size_t header = av1.find(std::string("\x12\x00\x0A", 3), av1.find("mdat"));
    ASSERT_TRUE(header != std::string::npos && av1[header + 3] >= 6);
    av1.replace(header + 4, 6, "\x18\x37\x7E\x7F\xF9\xFE");
    // libheif wraps the picture in a grid (to crop its 64 x 64 tile); the grid's size in idat.
    std::string grid = heic;
    grid.replace(grid.find("idat") + 8, 4, "\x3E\x80\x3E\x80");
    // libheif (1.15) reads extent indexes only from iloc version 2 on, so in its version 1 an
    // index size moves nothing.
    std::string indexed = grid;
    const std::size_t iloc = indexed.find("iloc");
    ASSERT_EQ(indexed[iloc + 4], 1);
    indexed[iloc + 9] |= 4;
    // libheif reads the grid's tile references whatever size their box claims.
    std::string forgedReference = sps(heic, huge);
    forgedReference.replace(forgedReference.find("dimg") - 4, 4, std::string("\0\x2E\0\x0E", 4));
    const struct {
        const char* Name;
        std::string Bytes;
        const char* Expected;
        bool Thumbnail = false;
    } cases[] = {{"HevcSpsBeyondItsData", sps(heic, huge), "16000 x 16000 pixels cannot come from"},
                 {"HevcSpsFarBeyondIspe", sps(heic, "\xA0\x03\xE8\x80\x1F\x46"),
                  "2000 x 2000 pixels is far larger than its declared 64 x 64"},
                 {"Av1SequenceHeaderBeyondItsData", av1, "16000 x 16000 pixels cannot come from"},
                 {"GridBeyondItsData", grid, "16000 x 16000 pixels cannot come from"},
                 {"GridBehindAnIgnoredIndexSize", indexed, "16000 x 16000 pixels cannot come from"},
                 {"TileBehindAForgedReferenceSize", forgedReference,
                  "16000 x 16000 pixels cannot come from"},
                 {"ThumbnailSpsBeyondItsData", sps(thumbnailed, huge),
                  "16000 x 16000 pixels cannot come from", true}};
    for (const auto& c : cases) {
        const std::string file = tmp.write(c.Name, c.Bytes);
        std::vector<std::function<void()>> refused{[&] { LoadHeifThumbnail(file, 1, 1); }};
        if (c.Thumbnail)
            EXPECT_EQ(LoadHeifFile(file).Width, W) << c.Name;
        else
            refused = {[&] { ReadHeifInfo(file); }, [&] { LoadHeifFile(file); }};
        for (const auto& read : refused) {
            try {
                read();
                ADD_FAILURE() << c.Name << " was read";
            } catch (const EImageError& e) {
                EXPECT_NE(std::string(e.what()).find(c.Expected), std::string::npos)
                    << c.Name << ": " << e.what();
            }
        }
    }
}
