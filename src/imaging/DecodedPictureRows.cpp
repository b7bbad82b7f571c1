// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/DecodedPictureRows.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"

void RaisePictureError(const char* format, const std::string& fileName, const std::string& reason) {
    throw EImageError(std::string("Cannot read the ") + format + " file \"" + fileName +
                      "\": " + reason);
}

void CheckPictureSize(const char* format, const std::string& fileName, std::int64_t width,
                      std::int64_t height, std::int64_t dataBytes) {
    try {
        if (width <= 0 || height <= 0)
            throw EImageError("Empty picture");
        TBM_Bitmap::CheckSize(width, height);
        TBM_Bitmap::CheckDataSize(width, height, dataBytes);
    } catch (const EImageError& e) {
        RaisePictureError(format, fileName, e.what());
    }
}

void AllocatePixels(TDecodedPicture& picture, int width, int height, int bitsPerSample) {
    picture.Width = width;
    picture.Height = height;
    picture.BitsPerSample = bitsPerSample;
    const std::size_t samples =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    picture.Pixels8.clear();
    picture.Pixels16.clear();
    if (bitsPerSample == 16)
        picture.Pixels16.assign(samples, 0);
    else
        picture.Pixels8.assign(samples, 0);
}

namespace {

// Samples at the target's own depth and full range: copied, grey spread, alpha composited,
// each in one loop without a division by a variable. Gives what PutRowGeneral gives.
template <typename T>
void PutRowFullRange(T* out, int width, const T* row, int channels, bool premultiplied) {
    constexpr std::uint32_t Full = sizeof(T) == 1 ? 0xFF : 0xFFFF;
    using TWide = std::conditional_t<sizeof(T) == 1, std::uint32_t, std::uint64_t>;
    const auto n = static_cast<std::size_t>(width);
    if (channels == 3) {
        std::memcpy(out, row, n * 3 * sizeof(T));
        return;
    }
    if (channels == 1) {
        for (std::size_t x = 0; x < n; ++x, out += 3)
            out[0] = out[1] = out[2] = row[x];
        return;
    }
    const int colours = channels - 1;
    for (std::size_t x = 0; x < n; ++x, row += channels, out += 3) {
        const TWide a = row[colours];
        for (int c = 0; c < 3; ++c) {
            const TWide v = row[colours == 1 ? 0 : c];
            if (a == Full) {
                out[c] = static_cast<T>(v);
                continue;
            }
            const TWide white = (Full - a) * Full;
            // Associated colour can exceed its alpha only in a damaged file: clamp.
            const TWide blended = premultiplied ? std::min(v, a) * Full + white : v * a + white;
            out[c] = static_cast<T>((blended + Full / 2) / Full);
        }
    }
}

template <typename TSource, typename TTarget>
void PutRowGeneral(TTarget* out, int width, const TSource* row, const TRowFormat& format) {
    const std::uint64_t full = sizeof(TTarget) == 1 ? 0xFF : 0xFFFF;
    const std::uint64_t max = std::max<std::uint32_t>(format.MaxValue, 1);
    const int channels = std::clamp(format.Channels, 1, 4);
    const bool alpha = channels == 2 || channels == 4;
    const int colours = alpha ? channels - 1 : channels;
    // Only the scaled values are composited, so both the scale and the blend round once each.
    const auto scale = [&](std::uint64_t v) { return (std::min(v, max) * full + max / 2) / max; };
    for (int x = 0; x < width; ++x, row += channels, out += 3) {
        const std::uint64_t a = alpha ? scale(row[channels - 1]) : full;
        for (int c = 0; c < 3; ++c) {
            std::uint64_t v = scale(row[colours == 1 ? 0 : c]);
            if (a != full) {
                const std::uint64_t white = (full - a) * full;
                // Associated colour can exceed its alpha only in a damaged file: clamp.
                v = format.Premultiplied ? std::min(v, a) * full + white : v * a + white;
                v = (v + full / 2) / full;
            }
            out[c] = static_cast<TTarget>(v);
        }
    }
}

template <typename TSource, typename TTarget>
void PutRowAs(TTarget* out, int width, const TSource* row, const TRowFormat& format) {
    constexpr std::uint32_t Full = sizeof(TTarget) == 1 ? 0xFF : 0xFFFF;
    if constexpr (std::is_same_v<TSource, TTarget>) {
        if (format.MaxValue == Full && format.Channels >= 1 && format.Channels <= 4) {
            PutRowFullRange(out, width, row, format.Channels, format.Premultiplied);
            return;
        }
    }
    PutRowGeneral(out, width, row, format);
}

// One load and one store a pixel, each reaching one sample into the next pixel, which the mask
// clears; the last pixel goes alone, so nothing past the row is read.
template <typename T>
void WidenRowAs(const T* in, T* out, std::size_t width) {
    using TPixel = std::conditional_t<sizeof(T) == 1, std::uint32_t, std::uint64_t>;
    constexpr TPixel Bits = 8 * sizeof(T);
    constexpr TPixel Mask = std::endian::native == std::endian::little ? (TPixel{1} << 3 * Bits) - 1
                                                                       : ~((TPixel{1} << Bits) - 1);
    for (std::size_t x = 0; x + 1 < width; ++x, in += 3, out += 4) {
        TPixel pixel;
        std::memcpy(&pixel, in, sizeof pixel);
        pixel &= Mask;
        std::memcpy(out, &pixel, sizeof pixel);
    }
    if (width > 0) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 0;
    }
}

#if defined(__GNUC__) && defined(__x86_64__)
#define KELVO_HAVE_SSSE3_WIDEN 1
// Four pixels a step in one byte shuffle, where the processor has one; the pixels too near the
// row's end for a 16-byte load go as WidenRowAs takes them.
[[gnu::target("ssse3")]] void WidenRowSsse3(const std::uint8_t* in, std::uint8_t* out,
                                            std::size_t width) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    std::size_t x = 0;
    for (; x + 6 <= width; x += 4, in += 12, out += 16)
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out),
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), spread));
    WidenRowAs(in, out, width - x);
}
#endif

// The rows a reader hands on, narrowed from four samples a pixel to the picture's three.
class TPictureRows final : public TPictureReader::TRows {
public:
    explicit TPictureRows(TDecodedPicture& picture)
        : m_picture(picture)
        , m_rowSamples(static_cast<std::size_t>(picture.Width) * 4)
        , m_scratch(m_rowSamples * TPictureReader::MaxBatch * (picture.BitsPerSample / 8)) {}
    std::uint8_t* Row(int storedRow) override {
        const std::size_t rowBytes = m_rowSamples * (m_picture.BitsPerSample / 8);
        return m_scratch.data() +
               static_cast<std::size_t>(storedRow % TPictureReader::MaxBatch) * rowBytes;
    }
    void RowsArrived(int rowEnd) override {
        for (; m_done < rowEnd; ++m_done) {
            if (m_picture.BitsPerSample == 16)
                Narrow(reinterpret_cast<const std::uint16_t*>(Row(m_done)), m_picture.Pixels16);
            else
                Narrow(Row(m_done), m_picture.Pixels8);
        }
    }

private:
    template <typename T>
    void Narrow(const T* in, std::vector<T>& pixels) {
        T* out = pixels.data() + static_cast<std::size_t>(m_done) * m_picture.Width * 3;
        for (int x = 0; x < m_picture.Width; ++x, in += 4, out += 3)
            std::copy(in, in + 3, out);
    }

    TDecodedPicture& m_picture;
    std::size_t m_rowSamples;
    std::vector<std::uint8_t> m_scratch;
    int m_done = 0;
};

} // namespace

void PutRow(std::uint8_t* out, int width, const std::uint8_t* row, const TRowFormat& format) {
    PutRowAs(out, width, row, format);
}

void PutRow(std::uint16_t* out, int width, const std::uint16_t* row, const TRowFormat& format) {
    PutRowAs(out, width, row, format);
}

void WidenRow(const std::uint8_t* in, std::uint8_t* out, std::size_t width) {
#if defined(KELVO_HAVE_SSSE3_WIDEN)
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3) {
        WidenRowSsse3(in, out, width);
        return;
    }
#endif
    WidenRowAs(in, out, width);
}

void WidenRow(const std::uint16_t* in, std::uint16_t* out, std::size_t width) {
    WidenRowAs(in, out, width);
}

TDecodedPicture ReadDecodedPicture(TPictureReader& reader) {
    const TPictureInfo& info = reader.Info();
    TDecodedPicture picture;
    AllocatePixels(picture, info.Width, info.Height, info.Layout == TSampleLayout::Rgbx16 ? 16 : 8);
    picture.Orientation = info.Orientation;
    picture.Colour = info.Colour;
    TPictureRows rows(picture);
    reader.ReadRows(rows);
    return picture;
}
