// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BM_Resample.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"

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
// - Source pixels that the reference reads from outside the picture (the overshoot of the last
//   box through rounding) are black: they add an exact +0.0 to a sum that is never -0.0, so
//   they are left out. A destination pixel with one source column fewer than its neighbours in
//   the same group repeats a valid column with weight 0, which adds +0.0 as well.

namespace {

constexpr int GroupPixels = 4; // the kernel below is written out for four

using TVec4d = double __attribute__((vector_size(32)));
using TVec4u64 = std::uint64_t __attribute__((vector_size(32)));
using TVec4i = std::int32_t __attribute__((vector_size(16)));

// The source pixels and their coverage of every destination index along one axis.
struct TAxis {
    std::vector<int> First;          // first source index
    std::vector<int> Count;          // number of source indices, after dropping the overshoot
    std::vector<std::size_t> Offset; // into Weight
    std::vector<double> Weight;      // min(s + 1, D2) - max(s, D1) for each source index s
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

// Everything the row loop needs, with the destination columns laid out in groups: for group g,
// step j and pixel k of the group, ColumnByte and ColumnWeight are at
// GroupOffset[g] + j * GroupPixels + k.
struct TPlan {
    const std::uint8_t* Source = nullptr;
    std::size_t SourceStride = 0;
    TBM_Bitmap* Dest = nullptr;
    int DestWidth = 0;
    double Norm = 0;
    TAxis Rows;
    std::vector<int> GroupSteps;
    std::vector<std::size_t> GroupOffset;
    std::vector<std::uint32_t> ColumnByte;
    std::vector<double> ColumnWeight;
};

void PlanColumns(TPlan& plan, const TAxis& columns) {
    const int groups = (plan.DestWidth + GroupPixels - 1) / GroupPixels;
    plan.GroupSteps.resize(groups);
    plan.GroupOffset.resize(groups);
    for (int g = 0; g < groups; ++g) {
        int steps = 0;
        for (int k = 0; k < GroupPixels && g * GroupPixels + k < plan.DestWidth; ++k)
            steps = std::max(steps, columns.Count[g * GroupPixels + k]);
        plan.GroupSteps[g] = steps;
        plan.GroupOffset[g] = plan.ColumnByte.size();
        for (int j = 0; j < steps; ++j) {
            for (int k = 0; k < GroupPixels; ++k) {
                const int x = g * GroupPixels + k;
                // Pixels past the last column or past their own count read a valid pixel with
                // weight 0.
                std::uint32_t column = 0;
                double weight = 0.0;
                if (x < plan.DestWidth) {
                    column = static_cast<std::uint32_t>(columns.First[x]);
                    if (j < columns.Count[x]) {
                        column += static_cast<std::uint32_t>(j);
                        weight = columns.Weight[columns.Offset[x] + j];
                    }
                }
                plan.ColumnByte.push_back(column * TBM_Bitmap::BytesPerPixel);
                plan.ColumnWeight.push_back(weight);
            }
        }
    }
}

// Vectors go by reference: passing 32-byte vectors by value has a different ABI with and
// without AVX.
[[gnu::always_inline]] inline void AddWeighted(TVec4d& sum, const std::uint8_t* p, double weight) {
    // Byte k of the pixel goes into the low mantissa bits of 2^52 in lane k; subtracting 2^52
    // leaves exactly the byte's value as a double. All in integer vector operations, which
    // compilers turn into a few instructions where a generic int-to-double conversion is not.
    std::uint32_t packed;
    std::memcpy(&packed, p, sizeof packed);
    const TVec4u64 lanes = (TVec4u64{} + packed) >> TVec4u64{0, 8, 16, 24};
    const TVec4u64 bits = (lanes & 0xFF) | 0x4330000000000000;
    sum += (reinterpret_cast<TVec4d>(bits) - 0x1p52) * weight;
}

[[gnu::always_inline]] inline void StorePixel(std::uint8_t* p, const TVec4d& sum) {
    // Truncation toward zero, as the reference does; the weights sum to 1 within rounding, so a
    // channel never reaches 256, but the clamp keeps even a pathological sum in its byte.
    const TVec4i whole = __builtin_convertvector(sum, TVec4i);
    for (int c = 0; c < 3; ++c)
        p[c] = static_cast<std::uint8_t>(std::min(whole[c], 255));
    p[3] = 0;
}

[[gnu::always_inline]] inline void ResampleRowsImpl(const TPlan& plan, int rowBegin, int rowEnd) {
    const std::size_t stride = plan.SourceStride;
    const double norm = plan.Norm;
    const int groups = static_cast<int>(plan.GroupSteps.size());
    for (int y = rowBegin; y < rowEnd; ++y) {
        const int rowCount = plan.Rows.Count[y];
        const double* rowWeight = plan.Rows.Weight.data() + plan.Rows.Offset[y];
        const std::uint8_t* firstRow =
            plan.Source + static_cast<std::size_t>(plan.Rows.First[y]) * stride;
        std::uint8_t* out = plan.Dest->ScanLine(y);
        for (int g = 0; g < groups; ++g) {
            const std::uint32_t* column = plan.ColumnByte.data() + plan.GroupOffset[g];
            const double* columnWeight = plan.ColumnWeight.data() + plan.GroupOffset[g];
            TVec4d sum0 = {}, sum1 = {}, sum2 = {}, sum3 = {};
            for (int j = 0; j < plan.GroupSteps[g]; ++j) {
                const std::uint32_t c0 = column[0], c1 = column[1], c2 = column[2], c3 = column[3];
                const double wx0 = columnWeight[0], wx1 = columnWeight[1], wx2 = columnWeight[2],
                             wx3 = columnWeight[3];
                const std::uint8_t* row = firstRow;
                for (int i = 0; i < rowCount; ++i, row += stride) {
                    const double wy = rowWeight[i];
                    AddWeighted(sum0, row + c0, (wx0 * wy) * norm);
                    AddWeighted(sum1, row + c1, (wx1 * wy) * norm);
                    AddWeighted(sum2, row + c2, (wx2 * wy) * norm);
                    AddWeighted(sum3, row + c3, (wx3 * wy) * norm);
                }
                column += GroupPixels;
                columnWeight += GroupPixels;
            }
            const int x = g * GroupPixels;
            std::uint8_t* p = out + static_cast<std::size_t>(x) * TBM_Bitmap::BytesPerPixel;
            const int pixels = std::min(GroupPixels, plan.DestWidth - x);
            StorePixel(p, sum0);
            if (pixels > 1)
                StorePixel(p + 4, sum1);
            if (pixels > 2)
                StorePixel(p + 8, sum2);
            if (pixels > 3)
                StorePixel(p + 12, sum3);
        }
    }
}

#if defined(__GNUC__) && defined(__x86_64__)
// The same loop compiled for AVX2, chosen at run time: the vectors of four doubles then fit one
// register. Both variants compute the identical IEEE operations lane by lane.
[[gnu::target("avx2")]] void ResampleRowsAvx2(const TPlan& plan, int rowBegin, int rowEnd) {
    ResampleRowsImpl(plan, rowBegin, rowEnd);
}
#endif

void ResampleRowsPortable(const TPlan& plan, int rowBegin, int rowEnd) {
    ResampleRowsImpl(plan, rowBegin, rowEnd);
}

using TRowFunction = void (*)(const TPlan&, int, int);

TRowFunction RowFunction() {
#if defined(__GNUC__) && defined(__x86_64__)
    if (__builtin_cpu_supports("avx2"))
        return ResampleRowsAvx2;
#endif
    return ResampleRowsPortable;
}

void ResampleInto(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth, int newHeight,
                  int threadCount, TRowFunction rows) {
    if (source.Width() <= 0 || source.Height() <= 0)
        throw EMathError("Floating point division by zero");
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

    const double scaleX = static_cast<double>(source.Width()) / newWidth;
    const double scaleY = static_cast<double>(source.Height()) / newHeight;
    TPlan plan;
    plan.Source = source.ScanLine(0);
    plan.SourceStride = source.RowBytes();
    plan.Dest = &dest;
    plan.DestWidth = newWidth;
    plan.Norm = 1 / scaleX / scaleY;
    plan.Rows = MakeAxis(source.Height(), newHeight, scaleY);
    PlanColumns(plan, MakeAxis(source.Width(), newWidth, scaleX));

    const int threads = std::clamp(threadCount, 1, newHeight);
    if (threads == 1) {
        rows(plan, 0, newHeight);
        return;
    }
    std::vector<std::exception_ptr> errors(threads);
    std::vector<std::jthread> workers; // joined on every way out, also if starting one fails
    for (int t = 0; t < threads; ++t) {
        const int begin = static_cast<int>(static_cast<std::int64_t>(newHeight) * t / threads);
        const int end = static_cast<int>(static_cast<std::int64_t>(newHeight) * (t + 1) / threads);
        workers.emplace_back([&plan, &errors, rows, t, begin, end] {
            try {
                rows(plan, begin, end);
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

double CoveredArea(int x, int y, double x1, double y1, double x2, double y2) {
    const double sx = x;
    const double sy = y;
    return (std::min(sx + 1, x2) - std::max(sx, x1)) * (std::min(sy + 1, y2) - std::max(sy, y1));
}

void Resample(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth, int newHeight,
              int threadCount) {
    if (&source == &dest) {
        TBM_Bitmap result;
        ResampleInto(source, result, newWidth, newHeight, threadCount, RowFunction());
        dest = std::move(result);
        return;
    }
    ResampleInto(source, dest, newWidth, newHeight, threadCount, RowFunction());
}

void BM_ResampleDetail::ResamplePortable(const TBM_Bitmap& source, TBM_Bitmap& dest, int newWidth,
                                         int newHeight) {
    TBM_Bitmap result;
    ResampleInto(source, result, newWidth, newHeight, 1, ResampleRowsPortable);
    dest = std::move(result);
}
