// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/TPictureColour.h"

/// How a reader lays out the samples of one stored row.
enum class TSampleLayout {
    /// R, G, B and a padding byte: TBM_Bitmap's own layout.
    Rgbx8,
    /// R, G, B and padding, 16 bits each in the machine's byte order.
    Rgbx16,
    /// C, M, Y, K as inks (0 = none).
    Cmyk8,
    /// C, M, Y, K inverted (255 = none), as Adobe programs store CMYK JPEGs.
    InvertedCmyk8,
};

/// Bytes of one pixel in layout.
constexpr int SampleBytes(TSampleLayout layout) {
    return layout == TSampleLayout::Rgbx16 ? 8 : 4;
}

/// What a reader knows once it has read a file's headers.
struct TPictureInfo {
    /// The stored size, before Orientation is applied.
    int Width = 0;
    int Height = 0;
    /// The EXIF orientation (1 to 8) that turns the stored picture upright.
    int Orientation = 1;
    TSampleLayout Layout = TSampleLayout::Rgbx8;
    /// Empty when the file says nothing about its colours.
    TPictureColour Colour;
    /// A reason to warn about the colour description found while reading the headers (a
    /// profile split over markers that do not fit together); empty when there is none.
    std::string ColourWarning;
};

/// One picture file opened for reading: the headers are read when the reader is made (by
/// OpenPicture), the pixels by ReadRows, once, top row first. Every reader delivers rows the
/// same way, whether it decodes them as they are asked for (JPEG, plain PNG, WebP, most TIFF) or
/// holds the whole picture already (the others). Owned by its caller and used on one thread;
/// failures raise EFileError or EImageError naming the file.
class TPictureReader {
public:
    /// Where a reader puts the rows it decodes.
    class TRows {
    public:
        virtual ~TRows() = default;
        /// The buffer for stored row storedRow: Width pixels of SampleBytes(Layout) bytes.
        /// Valid for the next MaxBatch rows after those announced with RowsArrived.
        virtual std::uint8_t* Row(int storedRow) = 0;
        /// Rows 0 to rowEnd - 1 are written.
        virtual void RowsArrived(int rowEnd) = 0;
    };

    /// The most rows a reader writes ahead of those it announced.
    static constexpr int MaxBatch = 8;

    virtual ~TPictureReader() = default;
    TPictureReader(const TPictureReader&) = delete;
    TPictureReader& operator=(const TPictureReader&) = delete;

    const TPictureInfo& Info() const { return m_info; }
    /// Asks for the picture at a reduced size that keeps at least minWidth x minHeight upright
    /// pixels, where the decoder can make one cheaply (JPEG's scaled DCT: 1/2, 1/4, 1/8); Info
    /// then gives the reduced size. Readers that cannot leave everything as it is. Before
    /// ReadRows only.
    virtual void ReduceTo(int /*minWidth*/, int /*minHeight*/) {}
    /// Delivers every stored row in order, in batches of at most MaxBatch.
    virtual void ReadRows(TRows& rows) = 0;

protected:
    TPictureReader() = default;
    TPictureInfo m_info;
};
