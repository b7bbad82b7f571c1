// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/LoadPicture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/BM_Resample.h"
#include "imaging/HeifFile.h"
#include "imaging/PictureFormat.h"
#include "imaging/TBM_Bitmap.h"
#include "imaging/TColourConverter.h"
#include "imaging/TPictureReader.h"

namespace {

bool SwapsSides(int orientation) {
    return orientation >= 5;
}

// dest = stored turned upright. For each destination pixel (x, y) the source pixel is
// (ax x + bx y + cx, ay x + by y + cy); walking in tiles keeps the transposing orientations
// cache-friendly.
void Orient(const TBM_Bitmap& stored, TBM_Bitmap& dest, int orientation) {
    const int w = stored.Width();
    const int h = stored.Height();
    const bool swap = SwapsSides(orientation);
    dest.SetSize(0, 0);
    dest.SetSize(swap ? h : w, swap ? w : h);
    int ax = 1, bx = 0, cx = 0, ay = 0, by = 1, cy = 0;
    switch (orientation) {
    case 2: // mirrored left to right
        ax = -1, cx = w - 1;
        break;
    case 3: // turned by 180 degrees
        ax = -1, cx = w - 1, by = -1, cy = h - 1;
        break;
    case 4: // mirrored top to bottom
        by = -1, cy = h - 1;
        break;
    case 5: // mirrored along the main diagonal
        ax = 0, bx = 1, ay = 1, by = 0;
        break;
    case 6: // shot turned a quarter to the left: turn a quarter clockwise
        ax = 0, bx = 1, ay = -1, by = 0, cy = h - 1;
        break;
    case 7: // mirrored along the other diagonal
        ax = 0, bx = -1, cx = w - 1, ay = -1, by = 0, cy = h - 1;
        break;
    case 8: // turn a quarter counter-clockwise
        ax = 0, bx = -1, cx = w - 1, ay = 1, by = 0;
        break;
    default:
        break;
    }
    constexpr int Tile = 64;
    const int dw = dest.Width();
    const int dh = dest.Height();
    for (int ty = 0; ty < dh; ty += Tile) {
        for (int tx = 0; tx < dw; tx += Tile) {
            for (int y = ty; y < std::min(ty + Tile, dh); ++y) {
                std::uint8_t* out = dest.ScanLine(y);
                for (int x = tx; x < std::min(tx + Tile, dw); ++x) {
                    const int sx = ax * x + bx * y + cx;
                    const int sy = ay * x + by * y + cy;
                    std::memcpy(out + static_cast<std::size_t>(x) * TBM_Bitmap::BytesPerPixel,
                                stored.ScanLine(sy) +
                                    static_cast<std::size_t>(sx) * TBM_Bitmap::BytesPerPixel,
                                TBM_Bitmap::BytesPerPixel);
                }
            }
        }
    }
}

// The rows of a reader, in its layout, turned into sRGB rows of target. Rows that need no
// change are decoded straight into target's.
class TConvertingRows final : public TPictureReader::TRows {
public:
    TConvertingRows(const TPictureInfo& info, const TColourConverter& converter,
                    TPictureReader::TRows& target)
        : m_width(info.Width)
        , m_rowBytes(static_cast<std::size_t>(info.Width) * SampleBytes(info.Layout))
        , m_converter(converter)
        , m_target(target) {
        if (!converter.Identity())
            m_scratch.resize(m_rowBytes * TPictureReader::MaxBatch);
    }
    std::uint8_t* Row(int storedRow) override {
        if (m_scratch.empty())
            return m_target.Row(storedRow);
        return m_scratch.data() +
               static_cast<std::size_t>(storedRow % TPictureReader::MaxBatch) * m_rowBytes;
    }
    void RowsArrived(int rowEnd) override {
        for (; !m_scratch.empty() && m_done < rowEnd; ++m_done)
            m_converter.Convert(Row(m_done), m_target.Row(m_done), m_width);
        m_done = rowEnd;
        m_target.RowsArrived(rowEnd);
    }

private:
    int m_width;
    std::size_t m_rowBytes;
    const TColourConverter& m_converter;
    TPictureReader::TRows& m_target;
    std::vector<std::uint8_t> m_scratch;
    int m_done = 0;
};

class TBitmapRows final : public TPictureReader::TRows {
public:
    explicit TBitmapRows(TBM_Bitmap& bitmap)
        : m_bitmap(bitmap) {}
    std::uint8_t* Row(int storedRow) override { return m_bitmap.ScanLine(storedRow); }
    void RowsArrived(int) override {}

private:
    TBM_Bitmap& m_bitmap;
};

class TBandRows final : public TPictureReader::TRows {
public:
    explicit TBandRows(TBM_BandResampler& band)
        : m_band(band) {}
    std::uint8_t* Row(int storedRow) override { return m_band.Row(storedRow); }
    void RowsArrived(int rowEnd) override { m_band.RowsArrived(rowEnd); }

private:
    TBM_BandResampler& m_band;
};

std::string WarningOf(const TPictureInfo& info, const TColourConverter& converter) {
    return info.ColourWarning.empty() ? converter.Warning() : info.ColourWarning;
}

} // namespace

std::string LoadUpright(TPictureReader& reader, TBM_Bitmap& bitmap) {
    const TPictureInfo& info = reader.Info();
    const TColourConverter converter(info.Colour, info.Layout);
    TBM_Bitmap stored;
    TBM_Bitmap& target = info.Orientation == 1 ? bitmap : stored;
    target.SetSize(0, 0);
    target.SetSize(info.Width, info.Height);
    TBitmapRows bitmapRows(target);
    TConvertingRows rows(info, converter, bitmapRows);
    reader.ReadRows(rows);
    if (info.Orientation != 1)
        Orient(stored, bitmap, info.Orientation);
    return WarningOf(info, converter);
}

std::string ResamplePicture(TPictureReader& reader, const std::vector<TBM_Bitmap*>& dests) {
    const TPictureInfo& info = reader.Info();
    const TColourConverter converter(info.Colour, info.Layout);
    TBM_BandResampler band(info.Width, info.Height, info.Orientation, dests);
    TBandRows bandRows(band);
    if (info.Layout != TSampleLayout::Rgbx8) {
        TConvertingRows rows(info, converter, bandRows);
        reader.ReadRows(rows);
        return WarningOf(info, converter);
    }
    // Converting every pixel of a photo costs two thirds of its decode; the gallery pictures
    // have a fraction of its pixels. Averaging in the picture's own gamma-encoded space is
    // what averaging in sRGB's is: Kelvo never averaged in linear light.
    reader.ReadRows(bandRows);
    if (!converter.Identity())
        for (TBM_Bitmap* dest : dests)
            for (int y = 0; y < dest->Height(); ++y)
                converter.Convert(dest->ScanLine(y), dest->ScanLine(y), dest->Width());
    return WarningOf(info, converter);
}

std::string LoadPicture(const std::string& fileName, TBM_Bitmap& bitmap) {
    return LoadUpright(*OpenPicture(fileName), bitmap);
}

std::string LoadPictureResampled(const std::string& fileName, const TFramesFor& framesFor,
                                 bool fast) {
    const std::unique_ptr<TPictureReader> reader = OpenPicture(fileName);
    const TPictureInfo& info = reader->Info();
    const bool swap = SwapsSides(info.Orientation);
    const std::vector<TBM_Bitmap*> dests =
        framesFor(swap ? info.Height : info.Width, swap ? info.Width : info.Height);
    if (fast) {
        int largestWidth = 0;
        int largestHeight = 0;
        for (const TBM_Bitmap* dest : dests) {
            largestWidth = std::max(largestWidth, dest->Width());
            largestHeight = std::max(largestHeight, dest->Height());
        }
        // Twice the largest picture leaves the area averaging enough pixels to smooth over.
        reader->ReduceTo(2 * largestWidth, 2 * largestHeight);
    }
    return ResamplePicture(*reader, dests);
}

std::string LoadPictureThumbnail(const std::string& fileName, int side, TBM_Bitmap& bitmap) {
    if (PictureFormatOf(fileName) == TPictureFormat::Heif) {
        if (const std::unique_ptr<TPictureReader> thumbnail =
                OpenHeifThumbnail(fileName, side, side))
            return LoadUpright(*thumbnail, bitmap);
    }
    const std::unique_ptr<TPictureReader> reader = OpenPicture(fileName);
    reader->ReduceTo(1, 1); // the smallest decode: thumbnails have always been made from it
    return LoadUpright(*reader, bitmap);
}
