// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TiffFile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include "base/FileUtils.h"
#include "imaging/DecodedPictureRows.h"

namespace {

constexpr const char* Format = "TIFF";
constexpr int MaxSamplesPerPixel = 8;

// libtiff's messages go to the file's own handler, which keeps the first error; the default
// handlers, which print to stderr, are switched off once for the few messages that are
// reported without a file (they are repeated through the file's handler or its result).
struct TMessages {
    std::string FirstError;
};

int KeepError(TIFF*, void* data, const char* module, const char* format, va_list args) {
    auto* messages = static_cast<TMessages*>(data);
    if (messages && messages->FirstError.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        messages->FirstError = module && *module ? std::string(module) + ": " + text : text;
    }
    return 1; // handled: do not pass it on to the default handler
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

void SilenceDefaultHandlers() {
    static const bool silenced = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)silenced;
}

struct TTiffClose {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TTiffPtr = std::unique_ptr<TIFF, TTiffClose>;

struct TOptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

class TReader {
public:
    TReader(const std::string& fileName, const TMessages& messages)
        : m_fileName(fileName)
        , m_messages(messages) {}

    [[noreturn]] void Fail(const std::string& reason) const {
        RaisePictureError(Format, m_fileName,
                          m_messages.FirstError.empty() ? reason : m_messages.FirstError);
    }

private:
    const std::string& m_fileName;
    const TMessages& m_messages;
};

// The layout of the samples as stored, for the pictures read at their own depth.
struct TLayout {
    int Width = 0;
    int Height = 0;
    int SamplesPerPixel = 1;
    int Colours = 1; // 1 grey, 3 RGB, 4 CMYK
    bool WhiteIsZero = false;
    bool Alpha = false; // the first extra sample is alpha
    bool Premultiplied = false;
    bool Separate = false;       // one plane per sample
    std::uint32_t TileWidth = 0; // of a tiled file
    std::uint32_t TileHeight = 0;
};

// The tile size of a tiled file, checked before libtiff or ReadSamples allocates a tile: a tile
// may overhang the picture up to the next multiple of 16, or be up to 1024 pixels a side (a
// small picture in a writer's standard tiles), not hold a giant one.
void ReadTileSize(TIFF* tif, TLayout& l, const TReader& reader) {
    if (!TIFFIsTiled(tif))
        return;
    const auto limit = [](int side) {
        return std::max<std::uint32_t>(static_cast<std::uint32_t>(side + 15) / 16 * 16, 1024);
    };
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &l.TileWidth) ||
        !TIFFGetField(tif, TIFFTAG_TILELENGTH, &l.TileHeight) || l.TileWidth == 0 ||
        l.TileHeight == 0 || l.TileWidth > limit(l.Width) || l.TileHeight > limit(l.Height))
        reader.Fail("Invalid tile size");
}

// Reads every sample of the picture into samples (Width x Height x SamplesPerPixel), whether
// the file keeps them in strips or tiles, interleaved or in planes. Interleaved strips are
// decoded in place; the rest goes through one strip or tile at a time.
template <typename T>
void ReadSamples(TIFF* tif, const TLayout& l, const TReader& reader, T* samples) {
    const auto w = static_cast<std::size_t>(l.Width);
    const auto h = static_cast<std::size_t>(l.Height);
    const auto spp = static_cast<std::size_t>(l.SamplesPerPixel);
    const std::size_t perPixel = l.Separate ? 1 : spp;
    const bool tiled = TIFFIsTiled(tif) != 0;
    const std::uint32_t cw = tiled ? l.TileWidth : static_cast<std::uint32_t>(w);
    std::uint32_t ch = l.TileHeight;
    if (!tiled) {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &ch);
        ch = static_cast<std::uint32_t>(std::min<std::size_t>(ch, h));
        if (ch == 0)
            reader.Fail("Invalid rows per strip");
    }
    const bool inPlace = !tiled && !l.Separate;
    std::vector<T> chunk(inPlace ? 0 : static_cast<std::size_t>(cw) * ch * perPixel);
    const auto chunkBytes = static_cast<tmsize_t>(chunk.size() * sizeof(T));
    for (std::size_t plane = 0; plane < (l.Separate ? spp : 1); ++plane) {
        for (std::size_t y0 = 0; y0 < h; y0 += ch) {
            for (std::size_t x0 = 0; x0 < w; x0 += cw) {
                const std::size_t rows = std::min<std::size_t>(ch, h - y0);
                const std::size_t cols = std::min<std::size_t>(cw, w - x0);
                const auto x = static_cast<std::uint32_t>(x0), y = static_cast<std::uint32_t>(y0);
                const auto p = static_cast<std::uint16_t>(plane);
                const std::size_t needed = ((rows - 1) * cw + cols) * perPixel * sizeof(T);
                T* const into = inPlace ? samples + y0 * w * spp : chunk.data();
                const tmsize_t got =
                    tiled ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, p), into,
                                                chunkBytes)
                          : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y, p), into,
                                                 inPlace ? static_cast<tmsize_t>(needed)
                                                         : chunkBytes);
                if (got < 0 || static_cast<std::size_t>(got) < needed)
                    reader.Fail("The picture data is damaged or truncated");
                if (inPlace)
                    continue;
                for (std::size_t r = 0; r < rows; ++r) {
                    const T* in = chunk.data() + r * cw * perPixel;
                    T* out = samples + ((y0 + r) * w + x0) * spp;
                    if (l.Separate) {
                        for (std::size_t c = 0; c < cols; ++c)
                            out[c * spp + plane] = in[c];
                    } else {
                        std::copy(in, in + cols * spp, out);
                    }
                }
            }
        }
    }
}

// Reads the samples and stores them: RGB decoded straight into the picture, grey or RGB with
// alpha as they are, CMYK turned into RGB (inks are amounts, 0 none), white-is-zero inverted,
// and the alpha composited over white.
template <typename T>
void StoreSamples(TIFF* tif, const TLayout& l, const TReader& reader, TDecodedPicture& picture) {
    constexpr std::uint32_t Max = sizeof(T) == 1 ? 0xFF : 0xFFFF;
    std::vector<T>& pixels = [&picture]() -> std::vector<T>& {
        if constexpr (sizeof(T) == 1)
            return picture.Pixels8;
        else
            return picture.Pixels16;
    }();
    const int channels = (l.Colours == 1 ? 1 : 3) + (l.Alpha ? 1 : 0);
    if (channels == 3 && l.SamplesPerPixel == 3 && l.Colours == 3) {
        ReadSamples(tif, l, reader, pixels.data());
        return;
    }
    std::vector<T> samples(static_cast<std::size_t>(l.Width) * static_cast<std::size_t>(l.Height) *
                           static_cast<std::size_t>(l.SamplesPerPixel));
    ReadSamples(tif, l, reader, samples.data());
    const bool asStored = l.SamplesPerPixel == channels && l.Colours != 4 && !l.WhiteIsZero;
    std::vector<T> row(asStored ? 0 : static_cast<std::size_t>(l.Width) * channels);
    const T* in = samples.data();
    for (int y = 0; y < l.Height; ++y) {
        if (asStored) {
            PutRow(picture, y, in, {channels, Max, l.Premultiplied});
            in += static_cast<std::size_t>(l.Width) * channels;
            continue;
        }
        T* out = row.data();
        for (int x = 0; x < l.Width; ++x, in += l.SamplesPerPixel) {
            if (l.Colours == 4) {
                const std::uint64_t light = Max - in[3];
                for (int c = 0; c < 3; ++c)
                    *out++ = static_cast<T>(((Max - in[c]) * light + Max / 2) / Max);
            } else {
                for (int c = 0; c < l.Colours; ++c)
                    *out++ = static_cast<T>(l.WhiteIsZero ? Max - in[c] : in[c]);
            }
            if (l.Alpha)
                *out++ = in[l.Colours];
        }
        PutRow(picture, y, row.data(), {channels, Max, l.Premultiplied});
    }
}

// Whether the picture is one that ReadSamples takes at its own depth, and its layout if so.
bool OwnLayout(TIFF* tif, TLayout& l) {
    std::uint16_t bits = 1, format = SAMPLEFORMAT_UINT, photometric = 0, planar = 0, inks = 0;
    std::uint16_t spp = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inks);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) || (bits != 8 && bits != 16) ||
        format != SAMPLEFORMAT_UINT)
        return false;
    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        l.Colours = 1;
        l.WhiteIsZero = photometric == PHOTOMETRIC_MINISWHITE;
        break;
    case PHOTOMETRIC_RGB:
        l.Colours = 3;
        break;
    case PHOTOMETRIC_SEPARATED:
        if (inks != INKSET_CMYK)
            return false;
        l.Colours = 4;
        break;
    default:
        return false; // palette, YCbCr and the rest: libtiff's RGBA interface
    }
    // Beyond a few extra samples (alpha, masks) a file only asks for a giant buffer.
    if (spp < l.Colours || spp > MaxSamplesPerPixel)
        return false;
    std::uint16_t extraCount = 0;
    std::uint16_t* extra = nullptr;
    if (spp > l.Colours && TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) &&
        extraCount > 0 && extra) {
        l.Alpha = extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA;
        l.Premultiplied = extra[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    l.SamplesPerPixel = spp;
    l.Separate = planar == PLANARCONFIG_SEPARATE;
    return true;
}

// The rest through libtiff's RGBA interface, rows as stored (its orientation set to the
// file's, so nothing is flipped). It delivers 8 bits with the alpha associated.
void ReadRgba(TIFF* tif, TDecodedPicture& picture, const TReader& reader) {
    char message[1024] = "";
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 0, message))
        reader.Fail(message);
    const std::unique_ptr<TIFFRGBAImage, decltype(&TIFFRGBAImageEnd)> end(&image, TIFFRGBAImageEnd);
    image.req_orientation = image.orientation;
    const auto w = static_cast<std::uint32_t>(picture.Width);
    const auto h = static_cast<std::uint32_t>(picture.Height);
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(w) * h);
    if (!TIFFRGBAImageGet(&image, raster.data(), w, h))
        reader.Fail("The picture data is damaged or truncated");
    std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 4);
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            const std::uint32_t p = raster[static_cast<std::size_t>(y) * w + x];
            row[x * 4] = static_cast<std::uint8_t>(TIFFGetR(p));
            row[x * 4 + 1] = static_cast<std::uint8_t>(TIFFGetG(p));
            row[x * 4 + 2] = static_cast<std::uint8_t>(TIFFGetB(p));
            row[x * 4 + 3] = static_cast<std::uint8_t>(TIFFGetA(p));
        }
        PutRow(picture, static_cast<int>(y), row.data(), {4, 0xFF, true});
    }
}

// An opened file with its size checked against the pixel store's limits: what reading the
// headers and decoding both start with. The reader refers to the messages, so this stays
// where it is made.
class TTiffFile {
public:
    explicit TTiffFile(const std::string& fileName)
        : m_reader(fileName, m_messages) {
        SilenceDefaultHandlers();
        const int fd = kelvo::OpenRegularFile(fileName);
        struct stat status {};
        const std::int64_t fileSize = ::fstat(fd, &status) == 0 ? status.st_size : 0;
        {
            const std::unique_ptr<TIFFOpenOptions, TOptionsFree> options(TIFFOpenOptionsAlloc());
            if (options) {
                TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepError, &m_messages);
                TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, nullptr);
            }
            // "m": read, not map: a file that shrinks while mapped would end the program (SIGBUS).
            m_tif.reset(TIFFFdOpenExt(fd, fileName.c_str(), "rm", options.get()));
        }
        if (!m_tif) {
            ::close(fd);
            m_reader.Fail("Not a TIFF picture");
        }
        if (!TIFFGetField(Tif(), TIFFTAG_IMAGEWIDTH, &m_width) ||
            !TIFFGetField(Tif(), TIFFTAG_IMAGELENGTH, &m_height))
            m_reader.Fail("The picture size is missing");
        CheckPictureSize(Format, fileName, m_width, m_height, fileSize);
        std::uint16_t orientation = ORIENTATION_TOPLEFT;
        TIFFGetFieldDefaulted(Tif(), TIFFTAG_ORIENTATION, &orientation);
        m_orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
    }
    TTiffFile(const TTiffFile&) = delete;
    TTiffFile& operator=(const TTiffFile&) = delete;

    TIFF* Tif() const { return m_tif.get(); }
    const TReader& Reader() const { return m_reader; }
    std::uint32_t Width() const { return m_width; }
    std::uint32_t Height() const { return m_height; }
    int Orientation() const { return m_orientation; }

private:
    TMessages m_messages;
    const TReader m_reader;
    TTiffPtr m_tif;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    int m_orientation = 1;
};

} // namespace

bool IsTiffData(const std::uint8_t* data, std::size_t size) {
    // Classic TIFF (42) and BigTIFF (43), in either byte order.
    return size >= 4 &&
           ((data[0] == 'I' && data[1] == 'I' && data[3] == 0 &&
             (data[2] == 42 || data[2] == 43)) ||
            (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43)));
}

TPictureInfo ReadTiffInfo(const std::string& fileName) {
    const TTiffFile file(fileName);
    TPictureInfo info;
    info.Width = static_cast<int>(file.Width());
    info.Height = static_cast<int>(file.Height());
    info.Orientation = file.Orientation();
    return info;
}

TDecodedPicture LoadTiffFile(const std::string& fileName) {
    const TTiffFile file(fileName);
    TIFF* tif = file.Tif();
    const TReader& reader = file.Reader();
    TDecodedPicture picture;
    picture.Orientation = file.Orientation();

    TLayout layout;
    layout.Width = static_cast<int>(file.Width());
    layout.Height = static_cast<int>(file.Height());
    ReadTileSize(tif, layout, reader);
    std::uint16_t bits = 8;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    if (OwnLayout(tif, layout)) {
        AllocatePixels(picture, layout.Width, layout.Height, bits);
        if (bits == 16)
            StoreSamples<std::uint16_t>(tif, layout, reader, picture);
        else
            StoreSamples<std::uint8_t>(tif, layout, reader, picture);
    } else {
        AllocatePixels(picture, layout.Width, layout.Height, 8);
        ReadRgba(tif, picture, reader);
    }
    // A CMYK file's profile describes its inks, not the RGB made of them here, so it is left
    // out: the picture is then taken as sRGB, close to what the plain formula gives.
    std::uint32_t iccSize = 0;
    void* icc = nullptr;
    std::uint16_t photometric = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    if (photometric != PHOTOMETRIC_SEPARATED &&
        TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccSize, &icc) && icc && iccSize > 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(icc);
        picture.Colour.IccProfile.assign(bytes, bytes + iccSize);
    }
    return picture;
}
