// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

/// One pixel of a TBM_Bitmap: red, green and blue, eight bits each; no alpha.
struct TBM_Pixel {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;

    friend bool operator==(const TBM_Pixel&, const TBM_Pixel&) = default;
};

/// A true-colour picture in memory: what a picture file decodes into, what the resampler reads
/// and writes, and what is saved as a gallery picture. It knows no file formats: the readers
/// (PictureFormat.h, LoadPicture.h) fill it and SaveJpegFile writes it. Owned by whoever creates it
/// (the picture generator holds one per decoded source and one per output); the object owns its
/// pixel store and nothing else. A new bitmap is 0 x 0.
///
/// Pixels lie row by row from the top in one contiguous buffer, four bytes each: R, G, B and a
/// padding byte whose value means nothing (decoders may leave 255 there; GetPixel and every
/// writer ignore it). ScanLine gives the codecs and the resampler direct, unchecked access;
/// GetPixel and SetPixel are the bounds-checked public operations.
///
/// Sizes run from 0 to MaxDimension pixels per side and at most MaxPixels in all; SetSize
/// raises EImageError beyond that before it allocates anything, which is what keeps a damaged
/// or hostile file from asking for a giant buffer. Different objects may be used from
/// different threads at the same time; one object is not to be shared while it changes.
class TBM_Bitmap {
public:
    static constexpr int BytesPerPixel = 4;
    static constexpr int MaxDimension = 65535;
    static constexpr std::int64_t MaxPixels = 512'000'000;

    TBM_Bitmap() = default;
    TBM_Bitmap(const TBM_Bitmap& other);
    TBM_Bitmap& operator=(const TBM_Bitmap& other);
    TBM_Bitmap(TBM_Bitmap&& other) noexcept;
    TBM_Bitmap& operator=(TBM_Bitmap&& other) noexcept;
    ~TBM_Bitmap() = default;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    /// Sets the size. Pixels that exist in both the old and the new size keep their values; new
    /// pixels are black (all four bytes 0). A size of 0 in either direction holds no pixels.
    /// Raises EImageError for a negative size or one beyond MaxDimension or MaxPixels, and
    /// then leaves the bitmap as it was.
    void SetSize(int newWidth, int newHeight);

    /// The pixel at column x, row y; black (0, 0, 0) outside the picture. Never fails.
    TBM_Pixel GetPixel(int x, int y) const;

    /// Stores a packed colour (R in bits 0-7, G in 8-15, B in 16-23; bits 24-31 ignored) at
    /// column x, row y; does nothing outside the picture.
    void SetPixel(int x, int y, std::uint32_t color);

    /// Row y (0 <= y < Height), Width pixels of BytesPerPixel bytes: R, G, B, padding. No checks.
    std::uint8_t* ScanLine(int y) {
        return m_pixels.get() + static_cast<std::size_t>(y) * RowBytes();
    }
    const std::uint8_t* ScanLine(int y) const {
        return m_pixels.get() + static_cast<std::size_t>(y) * RowBytes();
    }
    /// Bytes from one row to the next (Width x BytesPerPixel; rows are not padded).
    std::size_t RowBytes() const { return static_cast<std::size_t>(m_width) * BytesPerPixel; }

    /// Raises EImageError unless a width x height picture fits the limits above. Loaders call it
    /// with the size from a file's header before they allocate anything.
    static void CheckSize(std::int64_t width, std::int64_t height);

    /// Pictures up to this many pixels load from any file; see CheckDataSize.
    static constexpr std::int64_t MaxPixelsAnyData = 16'000'000;
    /// Compressed pixel data of at least one byte per this many pixels is taken as plausible.
    static constexpr std::int64_t MaxPixelsPerDataByte = 1024;
    /// Raises EImageError when a width x height picture beyond MaxPixelsAnyData comes with less
    /// than one byte of compressed data per MaxPixelsPerDataByte pixels: a file of a few bytes
    /// that declares a giant picture (a decompression bomb) is refused before its pixel store
    /// is allocated. Real JPEG and RLE data needs far more (Huffman coding takes at least a
    /// bit per 8 x 8 block and component, ~512 pixels a byte at best).
    static void CheckDataSize(std::int64_t width, std::int64_t height, std::int64_t dataBytes);

private:
    struct FreeDeleter {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };

    int m_width = 0;
    int m_height = 0;
    // calloc'ed, so a new picture is black without touching its pages until they are written.
    std::unique_ptr<std::uint8_t[], FreeDeleter> m_pixels;
};
