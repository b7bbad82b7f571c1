// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PngFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "imaging/ExifOrientation.h"
#include "imaging/PngGuard.h"
#include "imaging/TBM_Bitmap.h"
#include "imaging/TPictureReader.h"

namespace {

// Chunks libpng keeps in memory (text, unknown ones) and the largest it decompresses: a
// hostile file must not make it hold more than a colour profile needs.
constexpr png_uint_32 MaxCachedChunks = 128;
constexpr png_alloc_size_t MaxChunkBytes = 16 << 20;

// Warnings are damage libpng can live with (a bad ancillary chunk); nothing is printed. One is
// not: a chunk longer than MaxChunkBytes is only a warning to libpng, which then allocates it
// anyway (eXIf does), so a few bytes could ask for gigabytes.
void Warning(png_structp png, png_const_charp message) {
    if (std::strstr(message, "chunk data is too large")) // "eXIf: chunk data is too large"
        PngErrorExit(png, message);
}

void ReadData(png_structp png, png_bytep data, std::size_t length) {
    const int fd = *static_cast<int*>(png_get_io_ptr(png));
    while (length > 0) {
        const ssize_t got = ::read(fd, data, length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            png_error(png, got == 0 ? "The file ends early" : "Read error");
        data += got;
        length -= static_cast<std::size_t>(got);
    }
}

// Puts R, G, B over white by their alpha, in place; the alpha becomes padding.
template <typename TSample>
void OverWhite(TSample* pixel, int width) {
    constexpr std::uint64_t Max = (1u << (8 * sizeof(TSample))) - 1;
    for (int x = 0; x < width; ++x, pixel += 4) {
        const std::uint64_t alpha = pixel[3];
        for (int c = 0; c < 3; ++c)
            pixel[c] =
                static_cast<TSample>((pixel[c] * alpha + Max * (Max - alpha) + Max / 2) / Max);
    }
}

// The open file and libpng's state, released also when the reader's constructor raises.
struct TPngHandles {
    int Fd = -1;
    png_structp Png = nullptr;
    png_infop Info = nullptr;

    TPngHandles() = default;
    TPngHandles(const TPngHandles&) = delete;
    TPngHandles& operator=(const TPngHandles&) = delete;
    ~TPngHandles() {
        if (Png)
            png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr);
        if (Fd >= 0)
            ::close(Fd);
    }
};

class TPngReader final : public TPictureReader {
public:
    explicit TPngReader(const std::string& fileName)
        : m_fileName(fileName) {
        m_handles.Fd = kelvo::OpenRegularFile(fileName);
        m_handles.Png =
            png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_error, PngErrorExit, Warning);
        if (!m_handles.Png)
            Raise("Out of memory");
        m_handles.Info = png_create_info_struct(m_handles.Png);
        if (!m_handles.Info)
            Raise("Out of memory");
        png_structp png = m_handles.Png;
        png_infop info = m_handles.Info;
        int* fd = &m_handles.Fd;
        if (!PngGuard(m_error, [png, info, fd] {
                png_set_read_fn(png, fd, ReadData);
                png_set_user_limits(png, TBM_Bitmap::MaxDimension, TBM_Bitmap::MaxDimension);
                png_set_chunk_cache_max(png, MaxCachedChunks);
                png_set_chunk_malloc_max(png, MaxChunkBytes);
                png_read_info(png, info);
            }))
            Raise(m_error.Message);
        const png_uint_32 width = png_get_image_width(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        try {
            TBM_Bitmap::CheckSize(width, height);
            struct stat status {};
            TBM_Bitmap::CheckDataSize(width, height,
                                      ::fstat(m_handles.Fd, &status) == 0 ? status.st_size : 0);
        } catch (const EImageError& e) {
            Raise(e.what());
        }
        m_info.Width = static_cast<int>(width);
        m_info.Height = static_cast<int>(height);
        ReadDescription();
        SetUpRows();
    }

    void ReadRows(TRows& rows) override {
        if (m_passes > 1) {
            ReadInterlaced(rows);
            return;
        }
        png_structp png = m_handles.Png;
        for (int first = 0; first < m_info.Height; first += MaxBatch) {
            const int count = std::min(MaxBatch, m_info.Height - first);
            std::array<png_bytep, MaxBatch> batch{};
            for (int i = 0; i < count; ++i)
                batch[static_cast<std::size_t>(i)] = rows.Row(first + i);
            png_bytepp rowData = batch.data();
            if (!PngGuard(m_error, [png, rowData, count] {
                    for (int i = 0; i < count; ++i)
                        png_read_row(png, rowData[i], nullptr);
                }))
                Raise(m_error.Message);
            for (int i = 0; i < count; ++i)
                Composite(batch[static_cast<std::size_t>(i)]);
            rows.RowsArrived(first + count);
        }
    }

private:
    [[noreturn]] void Raise(const std::string& message) const {
        throw EImageError("Cannot read the PNG file \"" + m_fileName + "\": " + message);
    }

    void ReadDescription() {
        png_charp name = nullptr;
        int compression = 0;
        png_bytep profile = nullptr;
        png_uint_32 profileLength = 0;
        if (png_get_iCCP(m_handles.Png, m_handles.Info, &name, &compression, &profile,
                         &profileLength) == PNG_INFO_iCCP &&
            profile)
            m_info.Colour.IccProfile.assign(profile, profile + profileLength);
        png_uint_32 exifLength = 0;
        png_bytep exif = nullptr;
        if (png_get_eXIf_1(m_handles.Png, m_handles.Info, &exifLength, &exif) == PNG_INFO_eXIf &&
            exif)
            m_info.Orientation = ExifOrientation(exif, exifLength);
    }

    // Asks libpng for R, G, B and alpha or padding, 8 or 16 bits in the machine's order.
    void SetUpRows() {
        png_structp png = m_handles.Png;
        png_infop info = m_handles.Info;
        const int colourType = png_get_color_type(png, info);
        const int depth = png_get_bit_depth(png, info);
        m_alpha =
            (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS);
        m_wide = depth == 16;
        const bool alpha = m_alpha;
        const bool swap = m_wide && std::endian::native == std::endian::little;
        int passes = 1;
        if (!PngGuard(m_error, [png, info, colourType, depth, alpha, swap, &passes] {
                if (colourType == PNG_COLOR_TYPE_PALETTE)
                    png_set_palette_to_rgb(png);
                if ((colourType & PNG_COLOR_MASK_COLOR) == 0 && depth < 8)
                    png_set_expand_gray_1_2_4_to_8(png);
                if (png_get_valid(png, info, PNG_INFO_tRNS))
                    png_set_tRNS_to_alpha(png);
                if ((colourType & PNG_COLOR_MASK_COLOR) == 0)
                    png_set_gray_to_rgb(png);
                if (swap)
                    png_set_swap(png);
                if (!alpha)
                    png_set_filler(png, 0xFFFF, PNG_FILLER_AFTER);
                passes = png_set_interlace_handling(png);
                png_read_update_info(png, info);
            }))
            Raise(m_error.Message);
        m_passes = passes;
        m_info.Layout = m_wide ? TSampleLayout::Rgbx16 : TSampleLayout::Rgbx8;
        if (png_get_rowbytes(png, info) !=
            static_cast<std::size_t>(m_info.Width) * SampleBytes(m_info.Layout))
            Raise("Unsupported pixel format");
    }

    void Composite(std::uint8_t* row) const {
        if (!m_alpha)
            return;
        if (m_wide)
            OverWhite(reinterpret_cast<std::uint16_t*>(row), m_info.Width);
        else
            OverWhite(row, m_info.Width);
    }

    // Interlaced rows come in passes over the whole picture, so it is decoded whole first.
    void ReadInterlaced(TRows& rows) {
        const std::size_t rowBytes =
            static_cast<std::size_t>(m_info.Width) * SampleBytes(m_info.Layout);
        std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(m_info.Height));
        std::vector<png_bytep> pointers(static_cast<std::size_t>(m_info.Height));
        for (std::size_t y = 0; y < pointers.size(); ++y)
            pointers[y] = pixels.data() + y * rowBytes;
        png_structp png = m_handles.Png;
        png_bytepp rowData = pointers.data();
        if (!PngGuard(m_error, [png, rowData] { png_read_image(png, rowData); }))
            Raise(m_error.Message);
        for (int y = 0; y < m_info.Height; ++y) {
            Composite(pointers[static_cast<std::size_t>(y)]);
            std::memcpy(rows.Row(y), pointers[static_cast<std::size_t>(y)], rowBytes);
            rows.RowsArrived(y + 1);
        }
    }

    std::string m_fileName;
    TPngError m_error{};
    TPngHandles m_handles;
    int m_passes = 1;
    bool m_alpha = false;
    bool m_wide = false;
};

} // namespace

bool IsPngData(const std::uint8_t* data, std::size_t size) {
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

std::unique_ptr<TPictureReader> OpenPngPicture(const std::string& fileName) {
    return std::make_unique<TPngReader>(fileName);
}
