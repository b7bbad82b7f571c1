// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BmpFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <utility>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"
#include "imaging/TWholePictureReader.h"

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;

enum TCompression : std::uint32_t {
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitFields = 3,
    BiAlphaBitFields = 6,
};

// Bounds-checked little-endian reads from the whole file; anything past the end is a
// truncated file.
class TBmpReader {
public:
    TBmpReader(const std::string& fileName, const std::string& data)
        : m_fileName(fileName)
        , m_data(data) {}

    [[noreturn]] void Fail(const std::string& reason) const {
        throw EImageError("Cannot read the BMP file \"" + m_fileName + "\": " + reason);
    }
    std::size_t Size() const { return m_data.size(); }
    const std::uint8_t* At(std::size_t pos, std::size_t count) const {
        if (pos > m_data.size() || count > m_data.size() - pos)
            Fail("the file is truncated");
        return reinterpret_cast<const std::uint8_t*>(m_data.data()) + pos;
    }
    std::uint8_t U8(std::size_t pos) const { return *At(pos, 1); }
    std::uint16_t U16(std::size_t pos) const {
        const std::uint8_t* p = At(pos, 2);
        return static_cast<std::uint16_t>(p[0] | p[1] << 8);
    }
    std::uint32_t U32(std::size_t pos) const {
        const std::uint8_t* p = At(pos, 4);
        return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
    std::int32_t I32(std::size_t pos) const { return static_cast<std::int32_t>(U32(pos)); }

private:
    const std::string& m_fileName;
    const std::string& m_data;
};

// One colour channel of a 16 or 32 bit pixel, scaled from its mask's width to 0..255.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint64_t Max = 0;

    explicit TChannel(std::uint32_t mask)
        : Mask(mask) {
        if (mask != 0) {
            Shift = std::countr_zero(mask);
            Max = mask >> Shift;
        }
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (Max == 0)
            return 0;
        const std::uint64_t v = (pixel & Mask) >> Shift;
        return static_cast<std::uint8_t>((v * 255 + Max / 2) / Max);
    }
};

struct THeader {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    bool TopDown = false;
    int BitCount = 0;
    std::uint32_t Compression = BiRgb;
    std::uint32_t ColorsUsed = 0;
    std::size_t PaletteStart = 0;
    std::size_t PaletteEntrySize = 4;
    std::uint32_t Masks[3] = {0, 0, 0};
};

THeader ReadHeader(const TBmpReader& in) {
    if (in.Size() < FileHeaderSize + 4 || in.U16(0) != 0x4D42) // "BM"
        in.Fail("not a BMP file");
    const std::uint32_t headerSize = in.U32(FileHeaderSize);
    const std::size_t h = FileHeaderSize;
    THeader header;
    std::int64_t height = 0;
    bool os2 = false;
    if (headerSize == 12) {
        // OS/2 1.x core header: 16-bit size, palette entries of three bytes.
        header.Width = in.U16(h + 4);
        height = in.U16(h + 6);
        header.BitCount = in.U16(h + 10);
        header.PaletteEntrySize = 3;
    } else if (headerSize >= 16 && headerSize <= 1024) {
        // Windows headers of 40 bytes and more share their first 40 bytes with the OS/2 2.x
        // header (16 to 64 bytes, fields missing from short ones are 0).
        os2 = headerSize < 40 || headerSize == 64;
        header.Width = in.I32(h + 4);
        height = in.I32(h + 8);
        header.BitCount = in.U16(h + 14);
        if (headerSize >= 20)
            header.Compression = in.U32(h + 16);
        if (headerSize >= 36)
            header.ColorsUsed = in.U32(h + 32);
    } else {
        in.Fail("unsupported header of " + std::to_string(headerSize) + " bytes");
    }
    header.PaletteStart = h + headerSize;

    if (height < 0) {
        header.TopDown = true;
        height = -height;
    }
    header.Height = height;
    if (header.Width <= 0 || header.Height <= 0)
        in.Fail("invalid size " + std::to_string(header.Width) + " x " +
                std::to_string(header.Height));
    try {
        TBM_Bitmap::CheckSize(header.Width, header.Height);
    } catch (const EImageError& e) {
        in.Fail(e.what());
    }

    const int bits = header.BitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        in.Fail("unsupported depth of " + std::to_string(bits) + " bits per pixel");
    switch (header.Compression) {
    case BiRgb:
        if (bits == 16) {
            header.Masks[0] = 0x7C00, header.Masks[1] = 0x03E0, header.Masks[2] = 0x001F;
        } else if (bits == 32) {
            header.Masks[0] = 0xFF0000, header.Masks[1] = 0xFF00, header.Masks[2] = 0xFF;
        }
        break;
    case BiRle8:
        if (bits != 8)
            in.Fail("RLE8 compression needs 8 bits per pixel");
        break;
    case BiRle4:
        if (bits != 4)
            in.Fail("RLE4 compression needs 4 bits per pixel");
        break;
    case BiBitFields:
    case BiAlphaBitFields:
        // In OS/2 2.x headers 3 is Huffman coding, which nobody writes any more.
        if (os2 || (bits != 16 && bits != 32))
            in.Fail("unsupported compression " + std::to_string(header.Compression));
        // The masks follow the 40 bytes of the header, inside it for V2 and later headers.
        for (int c = 0; c < 3; ++c)
            header.Masks[c] = in.U32(h + InfoHeaderSize + 4 * c);
        if (headerSize == InfoHeaderSize)
            header.PaletteStart += header.Compression == BiBitFields ? 12 : 16;
        break;
    default:
        in.Fail("unsupported compression " + std::to_string(header.Compression));
    }
    return header;
}

// The palette as packed R, G, B (bits 0-7, 8-15, 16-23); indices beyond it read as black.
std::vector<std::uint32_t> ReadPalette(const TBmpReader& in, const THeader& header,
                                       std::size_t pixelStart) {
    std::vector<std::uint32_t> palette;
    if (header.BitCount > 8)
        return palette;
    std::size_t count = std::size_t{1} << header.BitCount;
    if (header.ColorsUsed != 0 && header.ColorsUsed < count)
        count = header.ColorsUsed;
    // Some writers leave out unused entries; the pixels start where they end.
    if (pixelStart > header.PaletteStart)
        count = std::min(count, (pixelStart - header.PaletteStart) / header.PaletteEntrySize);
    palette.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p =
            in.At(header.PaletteStart + i * header.PaletteEntrySize, header.PaletteEntrySize);
        palette[i] = p[2] | p[1] << 8 | static_cast<std::uint32_t>(p[0]) << 16;
    }
    return palette;
}

void PutColor(std::uint8_t* pixel, std::uint32_t color) {
    pixel[0] = static_cast<std::uint8_t>(color);
    pixel[1] = static_cast<std::uint8_t>(color >> 8);
    pixel[2] = static_cast<std::uint8_t>(color >> 16);
    pixel[3] = 0;
}

std::uint32_t PaletteColor(const std::vector<std::uint32_t>& palette, unsigned index) {
    return index < palette.size() ? palette[index] : 0;
}

void DecodeRow(const std::uint8_t* src, std::uint8_t* out, int width, const THeader& header,
               const std::vector<std::uint32_t>& palette, const TChannel (&channels)[3]) {
    switch (header.BitCount) {
    case 1:
    case 4:
    case 8: {
        const int bits = header.BitCount;
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            const unsigned index = (src[x / perByte] >> shift) & mask;
            PutColor(out + 4 * static_cast<std::size_t>(x), PaletteColor(palette, index));
        }
        break;
    }
    case 16:
        for (int x = 0; x < width; ++x, src += 2, out += 4) {
            const std::uint32_t v = src[0] | src[1] << 8;
            out[0] = channels[0](v), out[1] = channels[1](v), out[2] = channels[2](v), out[3] = 0;
        }
        break;
    case 24:
        for (int x = 0; x < width; ++x, src += 3, out += 4)
            out[0] = src[2], out[1] = src[1], out[2] = src[0], out[3] = 0;
        break;
    case 32:
        if (header.Compression == BiRgb) {
            for (int x = 0; x < width; ++x, src += 4, out += 4)
                out[0] = src[2], out[1] = src[1], out[2] = src[0], out[3] = 0;
        } else {
            for (int x = 0; x < width; ++x, src += 4, out += 4) {
                const std::uint32_t v =
                    src[0] | src[1] << 8 | src[2] << 16 | static_cast<std::uint32_t>(src[3]) << 24;
                out[0] = channels[0](v), out[1] = channels[1](v), out[2] = channels[2](v);
                out[3] = 0;
            }
        }
        break;
    default:
        break;
    }
}

// RLE8 and RLE4: runs of one index (two alternating ones for RLE4), absolute runs padded to
// 16 bits, end of line, end of picture and moves. Every step reads at least two bytes, so a
// hostile file cannot loop; pixels outside the picture are dropped, skipped ones stay black.
void DecodeRle(const TBmpReader& in, std::size_t pos, const THeader& header,
               const std::vector<std::uint32_t>& palette, TBM_Bitmap& bitmap) {
    const bool rle4 = header.Compression == BiRle4;
    const std::int64_t width = header.Width;
    const std::int64_t height = header.Height;
    std::int64_t x = 0;
    std::int64_t row = 0;
    const auto put = [&](unsigned index) {
        if (x < width && row < height) {
            const int y = static_cast<int>(header.TopDown ? row : height - 1 - row);
            PutColor(bitmap.ScanLine(y) + 4 * x, PaletteColor(palette, index));
        }
        ++x;
    };
    while (row < height) {
        if (pos + 2 > in.Size()) {
            // Writers that leave out the end-of-picture mark stop in the last row.
            if (pos == in.Size() && row >= height - 1)
                break;
            in.Fail("the file is truncated");
        }
        const unsigned count = in.U8(pos);
        const unsigned value = in.U8(pos + 1);
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < width; ++i)
                put(rle4 ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
            continue;
        }
        switch (value) {
        case 0:
            x = 0;
            ++row;
            break;
        case 1:
            return;
        case 2:
            x += in.U8(pos);
            row += in.U8(pos + 1);
            pos += 2;
            break;
        default: {
            const std::size_t bytes = rle4 ? (value + 1) / 2 : value;
            const std::uint8_t* data = in.At(pos, bytes);
            for (unsigned i = 0; i < value && x < width; ++i)
                put(rle4 ? (i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 15) : data[i]);
            pos += bytes + bytes % 2;
            break;
        }
        }
    }
}

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Writes a BMP in pieces; on any failure the partial file is removed and EFileError raised.
class TBmpWriter {
public:
    explicit TBmpWriter(const std::string& fileName)
        : m_fileName(fileName)
        , m_file(std::fopen(fileName.c_str(), "wb")) {
        if (!m_file)
            throw EFileError("Cannot open \"" + fileName + "\": " + std::strerror(errno));
    }
    TBmpWriter(const TBmpWriter&) = delete;
    TBmpWriter& operator=(const TBmpWriter&) = delete;
    ~TBmpWriter() {
        if (m_file) { // not finished: an exception is on its way
            m_file.reset();
            std::remove(m_fileName.c_str());
        }
    }

    void Write(const void* data, std::size_t size) {
        if (std::fwrite(data, 1, size, m_file.get()) != size)
            Fail(errno);
    }
    void Finish() {
        int error = std::ferror(m_file.get()) ? (errno != 0 ? errno : EIO) : 0;
        if (std::fclose(m_file.release()) != 0 && error == 0)
            error = errno != 0 ? errno : EIO;
        if (error != 0) {
            std::remove(m_fileName.c_str());
            throw EFileError("Cannot write \"" + m_fileName + "\": " + std::strerror(error));
        }
    }

private:
    [[noreturn]] void Fail(int error) {
        throw EFileError("Cannot write \"" + m_fileName +
                         "\": " + std::strerror(error != 0 ? error : EIO));
    }

    std::string m_fileName;
    std::unique_ptr<std::FILE, TFileCloser> m_file;
};

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v), p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v), Put16(p + 2, v >> 16);
}

// File and info header of a bottom-up, uncompressed picture.
std::vector<std::uint8_t> MakeHeaders(int width, int height, int bitCount, std::size_t paletteCount,
                                      std::size_t imageSize) {
    std::vector<std::uint8_t> h(FileHeaderSize + InfoHeaderSize, 0);
    const std::size_t offBits = h.size() + 4 * paletteCount;
    h[0] = 'B', h[1] = 'M';
    Put32(&h[2], static_cast<std::uint32_t>(offBits + imageSize));
    Put32(&h[10], static_cast<std::uint32_t>(offBits));
    std::uint8_t* info = &h[FileHeaderSize];
    Put32(info, InfoHeaderSize);
    Put32(info + 4, static_cast<std::uint32_t>(width));
    Put32(info + 8, static_cast<std::uint32_t>(height));
    Put16(info + 12, 1);
    Put16(info + 14, static_cast<std::uint32_t>(bitCount));
    Put32(info + 20, static_cast<std::uint32_t>(imageSize));
    Put32(info + 32, static_cast<std::uint32_t>(paletteCount));
    return h;
}

} // namespace

bool IsBmpData(const std::uint8_t* data, std::size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

std::unique_ptr<TPictureReader> OpenBmpPicture(const std::string& fileName) {
    TBM_Bitmap bitmap;
    LoadBmpFile(fileName, bitmap);
    return std::make_unique<TWholePictureReader>(std::move(bitmap));
}

TBmpInfo ReadBmpInfo(const std::string& fileName) {
    // The largest header ReadHeader looks into: file header, info header and three masks.
    constexpr std::size_t headerBytes = FileHeaderSize + InfoHeaderSize + 12;
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw EFileError("Cannot open \"" + fileName + "\"");
    std::string data(headerBytes, '\0');
    file.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(file.gcount()));
    const THeader header = ReadHeader(TBmpReader(fileName, data));
    return {static_cast<int>(header.Width), static_cast<int>(header.Height)};
}

void LoadBmpFile(const std::string& fileName, TBM_Bitmap& bitmap) {
    const std::string data = kelvo::ReadFileBytes(fileName);
    const TBmpReader in(fileName, data);
    const THeader header = ReadHeader(in);

    // The pixels start at the offset in the file header, unless that is plainly wrong.
    const std::size_t stated = in.U32(10);
    std::size_t pixelStart = stated;
    if (stated < header.PaletteStart || stated >= data.size()) {
        const std::size_t paletteBytes =
            header.BitCount <= 8
                ? (header.ColorsUsed != 0 ? std::min<std::size_t>(header.ColorsUsed, 256)
                                          : std::size_t{1} << header.BitCount) *
                      header.PaletteEntrySize
                : 0;
        pixelStart = header.PaletteStart + paletteBytes;
    }
    const std::vector<std::uint32_t> palette = ReadPalette(in, header, pixelStart);
    const TChannel channels[3] = {TChannel(header.Masks[0]), TChannel(header.Masks[1]),
                                  TChannel(header.Masks[2])};
    const int width = static_cast<int>(header.Width);
    const int height = static_cast<int>(header.Height);

    if (header.Compression == BiRle8 || header.Compression == BiRle4) {
        try {
            TBM_Bitmap::CheckDataSize(width, height, static_cast<std::int64_t>(data.size()));
        } catch (const EImageError& e) {
            in.Fail(e.what());
        }
        bitmap.SetSize(0, 0);
        bitmap.SetSize(width, height);
        DecodeRle(in, pixelStart, header, palette, bitmap);
        return;
    }
    // Checked before allocating: a header cannot ask for more pixels than the file holds.
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * header.BitCount + 7) / 8;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    if (pixelStart > data.size() ||
        data.size() - pixelStart < stride * (static_cast<std::size_t>(height) - 1) + rowBytes)
        in.Fail("the file is truncated");
    bitmap.SetSize(0, 0);
    bitmap.SetSize(width, height);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* src = in.At(pixelStart + stride * row, rowBytes);
        const int y = header.TopDown ? row : height - 1 - row;
        DecodeRow(src, bitmap.ScanLine(y), width, header, palette, channels);
    }
}

void SaveBmpFile(const std::string& fileName, const TBM_Bitmap& bitmap) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    if (width <= 0 || height <= 0)
        throw EImageError("Cannot save an empty picture as \"" + fileName + "\"");
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    TBmpWriter out(fileName);
    const std::vector<std::uint8_t> headers =
        MakeHeaders(width, height, 32, 0, rowBytes * static_cast<std::size_t>(height));
    out.Write(headers.data(), headers.size());
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* src = bitmap.ScanLine(y);
        for (std::size_t i = 0; i < rowBytes; i += 4)
            row[i] = src[i + 2], row[i + 1] = src[i + 1], row[i + 2] = src[i], row[i + 3] = 0;
        out.Write(row.data(), row.size());
    }
    out.Finish();
}

void SaveBmp8File(const std::string& fileName, int width, int height,
                  const std::vector<std::uint32_t>& palette,
                  const std::vector<std::uint8_t>& indices) {
    const auto fail = [&fileName](const std::string& reason) {
        throw EImageError("Cannot save \"" + fileName + "\": " + reason);
    };
    if (width <= 0 || height <= 0 || width > TBM_Bitmap::MaxDimension ||
        height > TBM_Bitmap::MaxDimension)
        fail("invalid size " + std::to_string(width) + " x " + std::to_string(height));
    if (palette.empty() || palette.size() > 256)
        fail("a palette needs 1 to 256 colours");
    if (indices.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        fail("the number of pixels does not match the size");
    if (std::any_of(indices.begin(), indices.end(),
                    [&palette](std::uint8_t i) { return i >= palette.size(); }))
        fail("a pixel refers to a colour beyond the palette");

    const std::size_t stride = (static_cast<std::size_t>(width) + 3) / 4 * 4;
    TBmpWriter out(fileName);
    const std::vector<std::uint8_t> headers =
        MakeHeaders(width, height, 8, palette.size(), stride * static_cast<std::size_t>(height));
    out.Write(headers.data(), headers.size());
    std::vector<std::uint8_t> entries(palette.size() * 4, 0);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        entries[4 * i] = static_cast<std::uint8_t>(palette[i] >> 16);
        entries[4 * i + 1] = static_cast<std::uint8_t>(palette[i] >> 8);
        entries[4 * i + 2] = static_cast<std::uint8_t>(palette[i]);
    }
    out.Write(entries.data(), entries.size());
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = height - 1; y >= 0; --y) {
        std::copy_n(indices.begin() + static_cast<std::ptrdiff_t>(y) * width, width, row.begin());
        out.Write(row.data(), row.size());
    }
    out.Finish();
}
