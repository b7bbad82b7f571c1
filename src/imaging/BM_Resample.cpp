// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BM_Resample.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"

// An AVX2 copy of the resampling kernel, chosen at run time, where the compiler can build one.
#if defined(__GNUC__) && defined(__x86_64__)
#define KELVO_HAVE_AVX2_KERNEL 1
#include <immintrin.h>
#endif

// This file must be compiled with -ffp-contract=off: a fused multiply-add rounds once where the
// reference loop rounds twice, and outputs would differ in the last bit of some sums.
//
// How the reference loop is kept exactly while running fast:
// - Every destination channel is still one sum of value x ((wx x wy) x Norm), source columns
//   outer and rows inner, with the same doubles in the same order. wx depends only on the
//   destination column and the source column, wy only on the destination row and the source
//   row, so both are computed once per axis (with the reference's own expressions) instead of
//   once per pixel.
// - The four bytes of a pixel (R, G, B, padding) travel together in one vector of four
//   doubles; each lane is its own channel's sum. GroupPixels destination pixels of one row are
//   computed side by side: they share their source rows and row weights, and their independent
//   sums hide the latency of the additions.
// - The kernel is bound by the vector units' shuffles and conversions, not by the additions.
//   So the four weights of a step are worked out for a batch of source rows first and read
//   back from memory: a weight broadcast from memory is a load, from a register a shuffle.
// - Source pixels that the reference reads from outside the picture (the overshoot of the last
//   box through rounding) are black: they add an exact +0.0 to a sum that is never -0.0, so
//   they are left out. A destination pixel with one source column fewer than its neighbours in
//   the same group repeats a valid column with weight 0, which adds +0.0 as well.
// - A source pixel's address is a row pointer plus a column offset. Upright, the columns (the
//   outer loop) give offsets and the rows pointers; in a picture stored turned by a quarter,
//   the upright columns are stored rows, so the outer loop gives pointers and the inner one
//   offsets. The kernel is the same either way: only which side is the pointer changes.

namespace {

constexpr int GroupPixels = 4;  // the kernel below is written out for four
constexpr int WeightBatch = 32; // source rows whose weights the kernel works out at a time

using TVec4d = double __attribute__((vector_size(32)));
using TVec4u64 = std::uint64_t __attribute__((vector_size(32)));
using TVec4i = std::int32_t __attribute__((vector_size(16)));

// The source pixels and their coverage of every destination index along one axis.
struct TAxis {
    std::vector<int> First;          // first source index
    std::vector<int> Count;          // number of source indices, after dropping the overshoot
    std::vector<std::size_t> Offset; // into Weight
    std::vector<double> Weight;      // min(s + 1, D2) - max(s, D1) for each source index s

    int Last(int d) const { return First[d] + Count[d] - 1; }
};

TAxis MakeAxis(int sourceSize, int destSize, double scale) {
    TAxis axis;
    axis.First.resize(destSize);
    axis.Count.resize(destSize);
    axis.Offset.resize(destSize);
    for (int d = 0; d < destSize; ++d) {
        const double d1 = d * scale;
        const double d2 = (d + 1) * scale;
        const int first = static_cast<int>(d1);
        const int whole2 = static_cast<int>(d2);
        const int end = d2 > whole2 ? whole2 + 1 : whole2; // CeilInt(d2)
        const int last = std::min(end, sourceSize) - 1;
        axis.First[d] = first;
        axis.Count[d] = last - first + 1;
        axis.Offset[d] = axis.Weight.size();
        for (int s = first; s <= last; ++s) {
            const double sd = s;
            axis.Weight.push_back(std::min(sd + 1, d2) - std::max(sd, d1));
        }
    }
    return axis;
}

// How a picture stored as read from a file is turned upright.
struct TOrientation {
    bool Transposed = false;   // upright columns are stored rows
    bool RowsReversed = false; // the first stored row is the last upright row (or column)
    bool ColumnsReversed = false;
};

TOrientation OrientationOf(int exifOrientation) {
    switch (exifOrientation) {
    case 1:
        return {false, false, false};
    case 2:
        return {false, false, true};
    case 3:
        return {false, true, true};
    case 4:
        return {false, true, false};
    case 5:
        return {true, false, false};
    case 6:
        return {true, true, false};
    case 7:
        return {true, true, true};
    case 8:
        return {true, false, true};
    default:
        throw EImageError("Invalid picture orientation " + std::to_string(exifOrientation));
    }
}

// One destination: both axes, and the upright columns laid out in groups. For group g, step j
// and pixel k of the group, ColumnIndex and ColumnWeight are at
// GroupOffset[g] + j * GroupPixels + k.
struct TPlan {
    TBM_Bitmap* Dest = nullptr;
    int DestWidth = 0;
    double Norm = 0;
    TAxis Rows;
    std::vector<int> GroupSteps;
    std::vector<std::size_t> GroupOffset;
    std::vector<int> ColumnIndex;
    std::vector<double> ColumnWeight;
    // The byte offset in a stored row of each upright column (ColumnIndex) or, transposed, of
    // each upright row (Rows.Weight); empty where that side is a row pointer.
    std::vector<std::uint32_t> ByteOffset;
};

TPlan MakePlan(int width, int height, TBM_Bitmap& dest) {
    const double scaleX = static_cast<double>(width) / dest.Width();
    const double scaleY = static_cast<double>(height) / dest.Height();
    TPlan plan;
    plan.Dest = &dest;
    plan.DestWidth = dest.Width();
    plan.Norm = 1 / scaleX / scaleY;
    plan.Rows = MakeAxis(height, dest.Height(), scaleY);
    const TAxis columns = MakeAxis(width, dest.Width(), scaleX);
    const int groups = (plan.DestWidth + GroupPixels - 1) / GroupPixels;
    plan.GroupSteps.resize(groups);
    plan.GroupOffset.resize(groups);
    for (int g = 0; g < groups; ++g) {
        int steps = 0;
        for (int k = 0; k < GroupPixels && g * GroupPixels + k < plan.DestWidth; ++k)
            steps = std::max(steps, columns.Count[g * GroupPixels + k]);
        plan.GroupSteps[g] = steps;
        plan.GroupOffset[g] = plan.ColumnIndex.size();
        for (int j = 0; j < steps; ++j) {
            for (int k = 0; k < GroupPixels; ++k) {
                const int x = g * GroupPixels + k;
                // Pixels past the last column or past their own count read a column of the
                // group's own band with weight 0.
                int column = columns.First[g * GroupPixels];
                double weight = 0.0;
                if (x < plan.DestWidth) {
                    column = columns.First[x];
                    if (j < columns.Count[x]) {
                        column += j;
                        weight = columns.Weight[columns.Offset[x] + j];
                    }
                }
                plan.ColumnIndex.push_back(column);
                plan.ColumnWeight.push_back(weight);
            }
        }
    }
    return plan;
}

struct TKernels {
    void (*Row)(const TPlan&, int, const std::uint8_t* const*);
    void (*Group)(const TPlan&, int, const std::uint8_t* const*);
};

#if defined(KELVO_HAVE_AVX2_KERNEL)
// The same loops compiled for AVX2, chosen at run time: the vectors of four doubles then fit
// one register and a pixel's bytes become doubles in two instructions. Both variants compute
// the identical IEEE operations lane by lane. (Included, not called: a function compiled for
// AVX2 can only inline code that is compiled for it too.)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#define KELVO_RESAMPLE_AVX2 1
namespace avx2 {
#include "imaging/BM_ResampleKernel.inc"
} // namespace avx2
#undef KELVO_RESAMPLE_AVX2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

namespace portable {
#include "imaging/BM_ResampleKernel.inc"
} // namespace portable

constexpr TKernels PortableKernels{portable::Row, portable::Group};

TKernels Kernels() {
#if defined(KELVO_HAVE_AVX2_KERNEL)
    if (__builtin_cpu_supports("avx2"))
        return {avx2::Row, avx2::Group};
#endif
    return PortableKernels;
}

// Where the rows of the stored picture are: all of it, or a ring of Capacity rows.
struct TRowStore {
    const std::uint8_t* Base = nullptr;
    std::size_t Stride = 0;
    int Capacity = 0; // 0: every row is there

    std::size_t Offset(int row) const {
        return static_cast<std::size_t>(Capacity > 0 ? row % Capacity : row) * Stride;
    }
    const std::uint8_t* Get(int row) const { return Base + Offset(row); }
};

// A destination planned against a stored picture: which stored rows each unit of work needs
// and where its pixels are. A unit is a destination row, or a group of destination columns
// for a transposed picture.
struct TDestination {
    TPlan Plan;
    TOrientation Orientation;
    int StoredHeight = 0;
    int Units = 0;
    // The first and last stored row each unit needs.
    std::vector<std::pair<int, int>> StoredSpan;
    int Done = 0; // units computed, in the order the stored rows complete them

    int StoredRow(int upright) const {
        return Orientation.RowsReversed ? StoredHeight - 1 - upright : upright;
    }
    // The next unit to compute: the stored rows arrive from the top, so reversed rows complete
    // the units from the last.
    int NextUnit() const { return Orientation.RowsReversed ? Units - 1 - Done : Done; }

    void Compute(int unit, const TRowStore& rows, std::vector<const std::uint8_t*>& scratch,
                 const TKernels& kernels) const {
        if (!Orientation.Transposed) {
            const int first = Plan.Rows.First[unit];
            scratch.resize(static_cast<std::size_t>(Plan.Rows.Count[unit]));
            for (int i = 0; i < Plan.Rows.Count[unit]; ++i)
                scratch[i] = rows.Get(StoredRow(first + i));
            kernels.Row(Plan, unit, scratch.data());
            return;
        }
        const std::size_t begin = Plan.GroupOffset[unit];
        const std::size_t entries = static_cast<std::size_t>(Plan.GroupSteps[unit]) * GroupPixels;
        scratch.resize(entries);
        for (std::size_t e = 0; e < entries; ++e)
            scratch[e] = rows.Get(StoredRow(Plan.ColumnIndex[begin + e]));
        kernels.Group(Plan, unit, scratch.data());
    }
};

// Plans dest against a stored picture of storedWidth x storedHeight that orientation turns
// upright.
TDestination MakeDestination(int storedWidth, int storedHeight, const TOrientation& orientation,
                             TBM_Bitmap& dest) {
    const int width = orientation.Transposed ? storedHeight : storedWidth;
    const int height = orientation.Transposed ? storedWidth : storedHeight;
    TDestination d;
    d.Plan = MakePlan(width, height, dest);
    d.Orientation = orientation;
    d.StoredHeight = storedHeight;
    d.Units = orientation.Transposed ? static_cast<int>(d.Plan.GroupSteps.size()) : dest.Height();
    // The side that lies along the stored rows becomes byte offsets into them.
    const auto column = [&](int upright) {
        return static_cast<std::uint32_t>(orientation.ColumnsReversed ? storedWidth - 1 - upright
                                                                      : upright) *
               TBM_Bitmap::BytesPerPixel;
    };
    if (!orientation.Transposed) {
        for (const int x : d.Plan.ColumnIndex)
            d.Plan.ByteOffset.push_back(column(x));
    } else {
        for (int y = 0; y < dest.Height(); ++y)
            for (int i = 0; i < d.Plan.Rows.Count[y]; ++i)
                d.Plan.ByteOffset.push_back(column(d.Plan.Rows.First[y] + i));
    }
    for (int unit = 0; unit < d.Units; ++unit) {
        std::pair<int, int> upright;
        if (orientation.Transposed) {
            const auto begin =
                d.Plan.ColumnIndex.begin() + static_cast<std::ptrdiff_t>(d.Plan.GroupOffset[unit]);
            const auto [low, high] =
                std::minmax_element(begin, begin + d.Plan.GroupSteps[unit] * GroupPixels);
            upright = {*low, *high};
        } else {
            upright = {d.Plan.Rows.First[unit], d.Plan.Rows.Last(unit)};
        }
        d.StoredSpan.push_back(orientation.RowsReversed ? std::pair{d.StoredRow(upright.second),
                                                                    d.StoredRow(upright.first)}
                                                        : upright);
    }
    return d;
}

void CheckSource(int width, int height) {
    if (width <= 0 || height <= 0)
        throw EMathError("Floating point division by zero");
}

void ResampleInto(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth, int newHeight,
                  int threadCount, const TKernels& kernels) {
    CheckSource(source.Width(), source.Height());
    newWidth = std::max(newWidth, 0);
    newHeight = std::max(newHeight, 0);
    TBM_Bitmap::CheckSize(newWidth, newHeight);
    // Dropped first, so that the old pixels are not copied into the new size for nothing.
    dest.SetSize(0, 0);
    dest.SetSize(newWidth, newHeight);
    if (newWidth == 0 || newHeight == 0)
        return;
    if (newWidth == source.Width() && newHeight == source.Height()) {
        // Scale 1: every weight is exactly 1 and every sum a copy of one source value.
        std::memcpy(dest.ScanLine(0), source.ScanLine(0), source.RowBytes() * source.Height());
        return;
    }

    const TDestination destination =
        MakeDestination(source.Width(), source.Height(), TOrientation{}, dest);
    const TRowStore rows{source.ScanLine(0), source.RowBytes(), 0};
    const auto compute = [&](int begin, int end) {
        std::vector<const std::uint8_t*> scratch;
        for (int y = begin; y < end; ++y)
            destination.Compute(y, rows, scratch, kernels);
    };
    const int threads = std::clamp(threadCount, 1, newHeight);
    if (threads == 1) {
        compute(0, newHeight);
        return;
    }
    std::vector<std::exception_ptr> errors(threads);
    std::vector<std::jthread> workers; // joined on every way out, also if starting one fails
    for (int t = 0; t < threads; ++t) {
        const int begin = static_cast<int>(static_cast<std::int64_t>(newHeight) * t / threads);
        const int end = static_cast<int>(static_cast<std::int64_t>(newHeight) * (t + 1) / threads);
        workers.emplace_back([&compute, &errors, t, begin, end] {
            try {
                compute(begin, end);
            } catch (...) {
                errors[t] = std::current_exception();
            }
        });
    }
    workers.clear();
    for (const std::exception_ptr& e : errors)
        if (e)
            std::rethrow_exception(e);
}

} // namespace

struct TBM_BandResampler::TState {
    std::vector<TDestination> Destinations;
    std::vector<std::uint8_t> Buffer;
    TRowStore Rows;
    std::vector<const std::uint8_t*> Scratch;
    TKernels Kernels;
};

TBM_BandResampler::TBM_BandResampler(int storedWidth, int storedHeight, int orientation,
                                     const std::vector<TBM_Bitmap*>& dests)
    : m_state(std::make_unique<TState>()) {
    CheckSource(storedWidth, storedHeight);
    TBM_Bitmap::CheckSize(storedWidth, storedHeight);
    const TOrientation turn = OrientationOf(orientation);
    TState& s = *m_state;
    s.Kernels = Kernels();
    // A unit is computed as soon as its last stored row arrives, so the ring must hold the
    // widest span of rows any unit needs, plus the rows a batch writes ahead.
    int span = 1;
    for (TBM_Bitmap* dest : dests) {
        if (dest->Width() <= 0 || dest->Height() <= 0)
            continue;
        s.Destinations.push_back(MakeDestination(storedWidth, storedHeight, turn, *dest));
        for (const auto& [first, last] : s.Destinations.back().StoredSpan)
            span = std::max(span, last - first + 1);
    }
    const int capacity = std::min(span + MaxBatch - 1, storedHeight);
    s.Rows.Stride = static_cast<std::size_t>(storedWidth) * TBM_Bitmap::BytesPerPixel;
    s.Rows.Capacity = capacity;
    s.Buffer.resize(s.Rows.Stride * static_cast<std::size_t>(capacity));
    s.Rows.Base = s.Buffer.data();
}

TBM_BandResampler::~TBM_BandResampler() = default;

std::uint8_t* TBM_BandResampler::Row(int storedRow) {
    return m_state->Buffer.data() + m_state->Rows.Offset(storedRow);
}

void TBM_BandResampler::RowsArrived(int rowEnd) {
    TState& s = *m_state;
    for (TDestination& d : s.Destinations) {
        while (d.Done < d.Units) {
            const int unit = d.NextUnit();
            if (d.StoredSpan[static_cast<std::size_t>(unit)].second >= rowEnd)
                break;
            d.Compute(unit, s.Rows, s.Scratch, s.Kernels);
            ++d.Done;
        }
    }
}

std::size_t TBM_BandResampler::BufferBytes() const {
    return m_state->Buffer.size();
}

double CoveredArea(int x, int y, double x1, double y1, double x2, double y2) {
    const double sx = x;
    const double sy = y;
    return (std::min(sx + 1, x2) - std::max(sx, x1)) * (std::min(sy + 1, y2) - std::max(sy, y1));
}

void Resample(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth, int newHeight,
              int threadCount) {
    if (&source == &dest) {
        TBM_Bitmap result;
        ResampleInto(source, result, newWidth, newHeight, threadCount, Kernels());
        dest = std::move(result);
        return;
    }
    ResampleInto(source, dest, newWidth, newHeight, threadCount, Kernels());
}

void BM_ResampleDetail::ResamplePortable(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth,
                                         int newHeight) {
    TBM_Bitmap result;
    ResampleInto(source, result, newWidth, newHeight, 1, PortableKernels);
    dest = std::move(result);
}
