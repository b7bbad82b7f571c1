// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BM_Resample.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "base/KelErrors.h"
#include "imaging/TBM_Bitmap.h"

using imaging_test::RandomBitmap;
using imaging_test::Rgb;
using imaging_test::SamePixels;

namespace {

// The resampler written the plain way: every destination pixel by itself, source columns outer
// and rows inner, through the bounds-checked accessors. This file is compiled with
// -ffp-contract=off like the resampler, so both round every product and sum alike.
TBM_Bitmap ReferenceResample(const TBM_Bitmap& source, int newWidth, int newHeight) {
    const auto ceilInt = [](double v) {
        const int t = static_cast<int>(v);
        return v > t ? t + 1 : t;
    };
    TBM_Bitmap dest;
    dest.SetSize(newWidth, newHeight);
    const double scaleX = static_cast<double>(source.Width()) / newWidth;
    const double scaleY = static_cast<double>(source.Height()) / newHeight;
    const double norm = 1 / scaleX / scaleY;
    for (int x = 0; x < newWidth; ++x) {
        for (int y = 0; y < newHeight; ++y) {
            const double x1 = x * scaleX, x2 = (x + 1) * scaleX;
            const double y1 = y * scaleY, y2 = (y + 1) * scaleY;
            double r = 0, g = 0, b = 0;
            for (int sx = static_cast<int>(x1); sx <= ceilInt(x2) - 1; ++sx) {
                for (int sy = static_cast<int>(y1); sy <= ceilInt(y2) - 1; ++sy) {
                    const double area = (std::min(sx + 1.0, x2) - std::max<double>(sx, x1)) *
                                        (std::min(sy + 1.0, y2) - std::max<double>(sy, y1));
                    const double weight = area * norm;
                    const TBM_Pixel p = source.GetPixel(sx, sy);
                    r += p.R * weight;
                    g += p.G * weight;
                    b += p.B * weight;
                }
            }
            dest.SetPixel(x, y,
                          Rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                              static_cast<std::uint8_t>(b)));
        }
    }
    return dest;
}

// Every way of running the resampler must give the reference's bytes.
void ExpectAllKernelsMatchReference(const TBM_Bitmap& source, int newWidth, int newHeight) {
    const TBM_Bitmap expected = ReferenceResample(source, newWidth, newHeight);
    TBM_Bitmap dest;
    Resample(source, dest, newWidth, newHeight);
    EXPECT_TRUE(SamePixels(expected, dest)) << "default kernel";
    BM_ResampleDetail::ResamplePortable(source, dest, newWidth, newHeight);
    EXPECT_TRUE(SamePixels(expected, dest)) << "portable kernel";
    Resample(source, dest, newWidth, newHeight, 3);
    EXPECT_TRUE(SamePixels(expected, dest)) << "three threads";
}

struct TScaleCase {
    const char* Name;
    int SourceWidth, SourceHeight, NewWidth, NewHeight;
};
class ResampleMatchesReference : public ::testing::TestWithParam<TScaleCase> {};

} // namespace

// Catches any drift from the reference loop: a changed summation order, a fused
// multiply-add, a weight computed another way, a missed partial row or column at a box edge,
// a lane of the vector code that reads its neighbour's pixel, a wrong split between threads.
TEST_P(ResampleMatchesReference, ByteForByte) {
    const TScaleCase& c = GetParam();
    const TBM_Bitmap source = RandomBitmap(c.SourceWidth, c.SourceHeight, 7);
    ExpectAllKernelsMatchReference(source, c.NewWidth, c.NewHeight);
}

INSTANTIATE_TEST_SUITE_P(Scales, ResampleMatchesReference,
                         ::testing::Values(TScaleCase{"HalveEven", 4, 4, 2, 2},
                                           TScaleCase{"PhotoToFrame", 1000, 750, 640, 480},
                                           TScaleCase{"LargeToThumbnail", 1200, 800, 140, 94},
                                           TScaleCase{"OddToPrime", 101, 67, 53, 31},
                                           TScaleCase{"EnlargeSmall", 7, 5, 480, 320},
                                           TScaleCase{"EnlargeByNonInteger", 13, 11, 40, 29},
                                           TScaleCase{"MixedWiderAndShorter", 50, 10, 20, 40},
                                           TScaleCase{"OnePixelSource", 1, 1, 13, 7},
                                           TScaleCase{"OneColumnSource", 1, 40, 9, 9},
                                           TScaleCase{"OneRowResult", 37, 23, 37, 1},
                                           TScaleCase{"ToOnePixel", 37, 23, 1, 1},
                                           TScaleCase{"WidthNotMultipleOfLanes", 29, 9, 7, 5},
                                           TScaleCase{"SameWidthOtherHeight", 16, 30, 16, 7}),
                         [](const ::testing::TestParamInfo<TScaleCase>& info) {
                             return std::string(info.param.Name);
                         });

// The same on many random sizes, each side from 1 to 60 pixels: catches edge handling that
// only goes wrong for particular ratios (overshooting last boxes, lanes with fewer columns).
TEST(Resample, RandomSizesMatchReference) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> side(1, 60);
    for (int i = 0; i < 250; ++i) {
        const int sw = side(random), sh = side(random), dw = side(random), dh = side(random);
        SCOPED_TRACE(std::to_string(sw) + " x " + std::to_string(sh) + " -> " + std::to_string(dw) +
                     " x " + std::to_string(dh));
        ExpectAllKernelsMatchReference(RandomBitmap(sw, sh, static_cast<std::uint32_t>(i)), dw, dh);
        if (HasFailure())
            break;
    }
}

// A uniform area keeps its value or, where the weights sum to just below 1, comes out one
// lower: results are truncated, not rounded. "Fixing" that would change every gallery.
TEST(Resample, UniformAreaTruncatesToOneBelowInPlaces) {
    const TBM_Bitmap source = imaging_test::UniformBitmap(1000, 750, Rgb(200, 200, 200));
    TBM_Bitmap dest;
    Resample(source, dest, 640, 480);
    int below = 0;
    for (int y = 0; y < dest.Height(); ++y) {
        for (int x = 0; x < dest.Width(); ++x) {
            const TBM_Pixel p = dest.GetPixel(x, y);
            ASSERT_TRUE(p.R == 200 || p.R == 199) << x << ", " << y << ": " << int(p.R);
            below += p.R == 199;
        }
    }
    EXPECT_GT(below, 0);
}

// The averaging itself: one 2 x 2 block of 10, 11, 12, 13 averages 11.5 and truncates to 11.
// Where every pixel names its origin (x + 10 y), doubling must copy each source pixel into a
// 2 x 2 block and scale 1 must copy the picture: catches shifted or mirrored boxes.
TEST(Resample, AveragesTruncatesAndCopies) {
    TBM_Bitmap source;
    source.SetSize(4, 4);
    const std::uint8_t values[4] = {10, 11, 12, 13};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.SetPixel(x, y, Rgb(values[(x % 2) + 2 * (y % 2)], 0, 255));
    TBM_Bitmap dest;
    Resample(source, dest, 2, 2);
    EXPECT_TRUE(SamePixels(imaging_test::UniformBitmap(2, 2, Rgb(11, 0, 255)), dest));

    source.SetSize(8, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            source.SetPixel(x, y, Rgb(static_cast<std::uint8_t>(x + 10 * y), 0, 0));
    Resample(source, dest, 16, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(dest.GetPixel(x, y).R, x / 2 + 10 * (y / 2)) << x << ", " << y;
    Resample(source, dest, 8, 6);
    EXPECT_TRUE(SamePixels(source, dest));
    // Resampling a bitmap into itself must read the whole source before it is resized.
    Resample(source, dest, 5, 7);
    Resample(source, source, 5, 7);
    EXPECT_TRUE(SamePixels(dest, source));
}

// An empty source has no scale; it must raise (the picture generator skips on it) and not
// quietly produce a black picture. Bad new sizes: nothing computed, or refused.
TEST(Resample, EmptySourceAndBadSizes) {
    const TBM_Bitmap previous = RandomBitmap(3, 3, 1);
    TBM_Bitmap dest = previous;
    TBM_Bitmap empty;
    EXPECT_THROW(Resample(empty, dest, 10, 10), EMathError);
    empty.SetSize(5, 0);
    EXPECT_THROW(Resample(empty, dest, 10, 10), EMathError);
    EXPECT_TRUE(SamePixels(previous, dest));
    EXPECT_THROW(Resample(previous, dest, 70000, 10), EImageError);
    EXPECT_TRUE(SamePixels(previous, dest));

    Resample(previous, dest, 0, 5);
    EXPECT_EQ(dest.Width(), 0);
    EXPECT_EQ(dest.Height(), 5);
    Resample(previous, dest, 4, -2);
    EXPECT_EQ(dest.Width(), 4);
    EXPECT_EQ(dest.Height(), 0);
}

// The intersection of a unit pixel with a box: partial, whole and disjoint cases.
TEST(Resample, CoveredArea) {
    EXPECT_DOUBLE_EQ(CoveredArea(2, 3, 1.5, 2.5, 2.25, 3.75), 0.25 * 0.75);
    EXPECT_DOUBLE_EQ(CoveredArea(2, 3, 0, 0, 10, 10), 1.0);
    EXPECT_LT(CoveredArea(5, 0, 0, 0, 2, 2), 0.0);
}
