// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TBM_Bitmap;

/// The area-averaging resampler: a box filter that treats every pixel as a unit square and gives
/// each destination pixel the weighted average of the source area it covers. The same code
/// reduces and enlarges. Results are exact to the reference loop: every destination channel is
/// the double sum, source columns outer and source rows inner, of value x (CoveredArea x Norm),
/// truncated toward zero, so a uniform area may come out one lower (199 for 200) where the
/// weights sum to just below 1. Do not change that: stored galleries and tests compare bytes.

/// The area of the intersection of source pixel (x, y), the unit square [x, x + 1) x
/// [y, y + 1), with the box [x1, x2) x [y1, y2): (min(x + 1, x2) - max(x, x1)) x
/// (min(y + 1, y2) - max(y, y1)). Negative when they do not meet.
double CoveredArea(int x, int y, double x1, double y1, double x2, double y2);

/// Resizes dest to newWidth x newHeight and fills it with the area-averaged scaling of source;
/// source is not changed (source and dest may be the same object). A new size of 0 or less
/// computes no pixel and leaves dest with size 0 in that direction. An empty source (width or
/// height 0) raises EMathError, as its scale would divide by zero, and a size beyond
/// TBM_Bitmap's limits raises EImageError; both leave dest unchanged.
///
/// threadCount > 1 splits the destination rows between that many threads; the call still
/// returns only when all are done, and the result is the same byte for byte. Keep the default
/// of 1 when several pictures are already resampled in parallel, so as not to oversubscribe
/// the cores. Safe to call concurrently on different destinations.
void Resample(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth, int newHeight,
              int threadCount = 1);

/// Resamples a picture that arrives row by row, as a decoder delivers it, into several
/// destinations in one pass, keeping only the band of rows that boxes not yet computed still
/// need: a few rows per destination instead of the whole picture. Every destination pixel is
/// the same sum as Resample computes from the whole upright picture, so the results are the
/// same byte for byte.
///
/// The rows arrive as stored in the file; orientation (the EXIF value, 1 to 8, as LoadJpegFile
/// applies it) says how the stored picture is turned upright. For a quarter turn a band of
/// stored rows completes a band of destination columns. Owned by the decoding loop; one object
/// serves one picture and is not shared between threads.
class TBM_BandResampler {
public:
    /// The most rows the decoder may write ahead of those announced with RowsArrived.
    static constexpr int MaxBatch = 8;

    /// Fills every bitmap of dests at the size it already has (the upright picture scaled to
    /// it); dests with no pixels are left alone. Raises EMathError for an empty picture and
    /// EImageError for an orientation outside 1 to 8.
    TBM_BandResampler(int storedWidth, int storedHeight, int orientation,
                      const std::vector<TBM_Bitmap*>& dests);
    ~TBM_BandResampler();
    TBM_BandResampler(const TBM_BandResampler&) = delete;
    TBM_BandResampler& operator=(const TBM_BandResampler&) = delete;

    /// Where stored row storedRow goes: storedWidth pixels of TBM_Bitmap::BytesPerPixel bytes
    /// (R, G, B, padding). Valid for the next MaxBatch rows after those announced.
    std::uint8_t* Row(int storedRow);
    /// Stored rows 0 to rowEnd - 1 are written: computes every destination pixel they complete.
    void RowsArrived(int rowEnd);
    /// Bytes of the row buffer: what the band costs.
    std::size_t BufferBytes() const;

private:
    struct TState;
    std::unique_ptr<TState> m_state;
};

namespace BM_ResampleDetail {
/// Resample with the portable kernel even where the AVX2 one would be chosen, so that tests
/// can hold both to the same results. Not for production code.
void ResamplePortable(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth, int newHeight);
} // namespace BM_ResampleDetail
