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
#include "imaging/HugePages.h"
#include "imaging/TWholePictureReader.h"

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
    int Colours = 1;   // 1 grey, 3 RGB, 4 CMYK
    bool Deep = false; // 16 bits a sample, else 8
    bool WhiteIsZero = false;
    bool Alpha = false; // the first extra sample is alpha
    bool Premultiplied = false;
    bool Separate = false;       // one plane per sample
    std::uint32_t TileWidth = 0; // of a tiled file
    std::uint32_t TileHeight = 0;
};

// The tile size of a tiled file, checked before libtiff or TBandSamples allocates a tile: a tile
// may overhang the picture up to the next multiple of 16, or be up to 1024 pixels a side (a
// small picture in a writer's standard tiles), not hold a giant one. Its area is held to the
// same, so that a picture of one long row cannot ask for tiles of 1024 rows.
void ReadTileSize(TIFF* tif, TLayout& l, const TReader& reader) {
    if (!TIFFIsTiled(tif))
        return;
    const auto padded = [](int side) { return static_cast<std::uint32_t>(side + 15) / 16 * 16; };
    const auto limit = [&](int side) { return std::max<std::uint32_t>(padded(side), 1024); };
    const std::uint64_t area = std::max<std::uint64_t>(
        std::uint64_t{padded(l.Width)} * padded(l.Height), std::uint64_t{1024} * 1024);
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &l.TileWidth) ||
        !TIFFGetField(tif, TIFFTAG_TILELENGTH, &l.TileHeight) || l.TileWidth == 0 ||
        l.TileHeight == 0 || l.TileWidth > limit(l.Width) || l.TileHeight > limit(l.Height) ||
        std::uint64_t{l.TileWidth} * l.TileHeight > area)
        reader.Fail("Invalid tile size");
}

// Reads the samples of a picture band by band: a strip, or a row of tiles, at a time, whether
// the file keeps them interleaved or in planes. Interleaved strips are decoded in place; the
// rest goes through one strip or tile at a time.
template <typename T>
class TBandSamples {
public:
    TBandSamples(TIFF* tif, const TLayout& l, const TReader& reader)
        : m_tif(tif)
        , m_layout(l)
        , m_reader(reader)
        , m_tiled(TIFFIsTiled(tif) != 0) {
        const auto w = static_cast<std::size_t>(l.Width);
        m_chunkWidth = m_tiled ? l.TileWidth : static_cast<std::uint32_t>(w);
        m_height = l.TileHeight;
        if (!m_tiled) {
            TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &m_height);
            m_height = std::min(m_height, static_cast<std::uint32_t>(l.Height));
            if (m_height == 0)
                reader.Fail("Invalid rows per strip");
        }
        const std::size_t perPixel = l.Separate ? 1 : static_cast<std::size_t>(l.SamplesPerPixel);
        m_chunk.resize(InPlace() ? 0
                                 : static_cast<std::size_t>(m_chunkWidth) * m_height * perPixel);
        // Not cleared: every sample of a band's rows is written before they are handed on. A
        // file of one strip makes this the whole picture, which then asks for huge pages.
        // A band of tiles may reach below the picture; those rows are never kept.
        const std::size_t bandSamples = w * std::min<std::size_t>(m_height, l.Height) *
                                        static_cast<std::size_t>(l.SamplesPerPixel);
        m_band = std::make_unique_for_overwrite<T[]>(bandSamples);
        AdviseHugePages(reinterpret_cast<std::uint8_t*>(m_band.get()), bandSamples * sizeof(T));
    }

    // Rows a band holds; the last one may hold fewer.
    int Height() const { return static_cast<int>(m_height); }

    // The samples of the rows y0 to y0 + Height() - 1 (or the picture's last), each Width x
    // SamplesPerPixel.
    const T* Read(int y0) {
        const auto w = static_cast<std::size_t>(m_layout.Width);
        const auto spp = static_cast<std::size_t>(m_layout.SamplesPerPixel);
        const std::size_t perPixel = m_layout.Separate ? 1 : spp;
        const std::uint32_t cw = m_chunkWidth;
        const std::size_t rows = std::min<std::size_t>(m_height, m_layout.Height - y0);
        const auto chunkBytes = static_cast<tmsize_t>(m_chunk.size() * sizeof(T));
        for (std::size_t plane = 0; plane < (m_layout.Separate ? spp : 1); ++plane) {
            for (std::size_t x0 = 0; x0 < w; x0 += cw) {
                const std::size_t cols = std::min<std::size_t>(cw, w - x0);
                const auto x = static_cast<std::uint32_t>(x0), y = static_cast<std::uint32_t>(y0);
                const auto p = static_cast<std::uint16_t>(plane);
                const std::size_t needed = ((rows - 1) * cw + cols) * perPixel * sizeof(T);
                T* const into = InPlace() ? m_band.get() : m_chunk.data();
                const tmsize_t got =
                    m_tiled ? TIFFReadEncodedTile(m_tif, TIFFComputeTile(m_tif, x, y, 0, p), into,
                                                  chunkBytes)
                            : TIFFReadEncodedStrip(m_tif, TIFFComputeStrip(m_tif, y, p), into,
                                                   InPlace() ? static_cast<tmsize_t>(needed)
                                                             : chunkBytes);
                if (got < 0 || static_cast<std::size_t>(got) < needed)
                    m_reader.Fail("The picture data is damaged or truncated");
                if (InPlace())
                    continue;
                for (std::size_t r = 0; r < rows; ++r) {
                    const T* in = m_chunk.data() + r * cw * perPixel;
                    T* out = m_band.get() + (r * w + x0) * spp;
                    if (m_layout.Separate) {
                        for (std::size_t c = 0; c < cols; ++c)
                            out[c * spp + plane] = in[c];
                    } else {
                        std::copy(in, in + cols * spp, out);
                    }
                }
            }
        }
        return m_band.get();
    }

private:
    bool InPlace() const { return !m_tiled && !m_layout.Separate; }

    TIFF* m_tif;
    const TLayout& m_layout;
    const TReader& m_reader;
    bool m_tiled;
    std::uint32_t m_chunkWidth = 0;
    std::uint32_t m_height = 0;
    std::vector<T> m_chunk;
    std::unique_ptr<T[]> m_band;
};

// Hands on the rows of a picture that TBandSamples reads, as they are decoded: RGB widened as
// it is, grey or RGB with alpha as PutRow stores them, CMYK turned into RGB (inks are amounts,
// 0 none), white-is-zero inverted, and the alpha composited over white.
template <typename T>
void StreamRows(TIFF* tif, const TLayout& l, const TReader& reader, TPictureReader::TRows& rows) {
    constexpr std::uint32_t Max = sizeof(T) == 1 ? 0xFF : 0xFFFF;
    const int channels = (l.Colours == 1 ? 1 : 3) + (l.Alpha ? 1 : 0);
    const bool plain = channels == 3 && l.SamplesPerPixel == 3 && l.Colours == 3;
    const bool asStored = l.SamplesPerPixel == channels && l.Colours != 4 && !l.WhiteIsZero;
    const auto w = static_cast<std::size_t>(l.Width);
    std::vector<T> row(asStored ? 0 : w * channels);
    std::vector<T> rgb(plain ? 0 : w * 3);
    TBandSamples<T> band(tif, l, reader);
    for (int y0 = 0; y0 < l.Height; y0 += band.Height()) {
        const T* in = band.Read(y0);
        for (int y = y0; y < std::min(y0 + band.Height(), l.Height); ++y) {
            T* const out = reinterpret_cast<T*>(rows.Row(y));
            if (plain) {
                WidenRow(in, out, w);
                in += w * 3;
                rows.RowsArrived(y + 1);
                continue;
            }
            const T* source = in;
            if (!asStored) {
                T* converted = row.data();
                for (std::size_t x = 0; x < w; ++x, in += l.SamplesPerPixel) {
                    if (l.Colours == 4) {
                        const std::uint64_t light = Max - in[3];
                        for (int c = 0; c < 3; ++c)
                            *converted++ = static_cast<T>(((Max - in[c]) * light + Max / 2) / Max);
                    } else {
                        for (int c = 0; c < l.Colours; ++c)
                            *converted++ = static_cast<T>(l.WhiteIsZero ? Max - in[c] : in[c]);
                    }
                    if (l.Alpha)
                        *converted++ = in[l.Colours];
                }
                source = row.data();
            } else {
                in += w * channels;
            }
            PutRow(rgb.data(), l.Width, source, {channels, Max, l.Premultiplied});
            WidenRow(rgb.data(), out, w);
            rows.RowsArrived(y + 1);
        }
    }
}

// Whether the picture is one that StreamRows takes at its own depth, and its layout if so.
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
    l.Deep = bits == 16;
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
        PutRow(picture.Pixels8.data() + static_cast<std::size_t>(y) * w * 3, picture.Width,
               row.data(), {4, 0xFF, true});
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

// A picture StreamRows reads, its rows decoded as ReadRows asks for them.
class TTiffReader final : public TPictureReader {
public:
    TTiffReader(std::unique_ptr<TTiffFile> file, const TLayout& layout, TPictureColour colour)
        : m_file(std::move(file))
        , m_layout(layout) {
        m_info.Width = layout.Width;
        m_info.Height = layout.Height;
        m_info.Orientation = m_file->Orientation();
        m_info.Layout = layout.Deep ? TSampleLayout::Rgbx16 : TSampleLayout::Rgbx8;
        m_info.Colour = std::move(colour);
    }

    void ReadRows(TRows& rows) override {
        if (m_layout.Deep)
            StreamRows<std::uint16_t>(m_file->Tif(), m_layout, m_file->Reader(), rows);
        else
            StreamRows<std::uint8_t>(m_file->Tif(), m_layout, m_file->Reader(), rows);
    }

private:
    const std::unique_ptr<TTiffFile> m_file;
    const TLayout m_layout;
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

std::unique_ptr<TPictureReader> OpenTiffPicture(const std::string& fileName) {
    auto file = std::make_unique<TTiffFile>(fileName);
    TIFF* tif = file->Tif();
    TLayout layout;
    layout.Width = static_cast<int>(file->Width());
    layout.Height = static_cast<int>(file->Height());
    ReadTileSize(tif, layout, file->Reader());
    // A CMYK file's profile describes its inks, not the RGB made of them here, so it is left
    // out: the picture is then taken as sRGB, close to what the plain formula gives.
    TPictureColour colour;
    std::uint32_t iccSize = 0;
    void* icc = nullptr;
    std::uint16_t photometric = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    if (photometric != PHOTOMETRIC_SEPARATED &&
        TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccSize, &icc) && icc && iccSize > 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(icc);
        colour.IccProfile.assign(bytes, bytes + iccSize);
    }
    if (OwnLayout(tif, layout))
        return std::make_unique<TTiffReader>(std::move(file), layout, std::move(colour));
    TDecodedPicture picture;
    picture.Orientation = file->Orientation();
    picture.Colour = std::move(colour);
    AllocatePixels(picture, layout.Width, layout.Height, 8);
    ReadRgba(tif, picture, file->Reader());
    return std::make_unique<TWholePictureReader>(std::move(picture));
}

TDecodedPicture LoadTiffFile(const std::string& fileName) {
    return ReadDecodedPicture(*OpenTiffPicture(fileName));
}
