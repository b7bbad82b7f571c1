// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <limits>
#include <tuple>

#include "ImagingTestSupport.h"
#include "imaging/BM_Geometry.h"

using namespace imaging_test;

// A store that reallocates without copying, or copies with the wrong row length, fails here.
TEST(Bitmap, SetSizeKeepsOverlapAndBlackensTheRest) {
    const TBM_Bitmap original = RandomBitmap(5, 4, 1);
    TBM_Bitmap b = original;
    for (const auto& [w, h] : {std::pair{7, 3}, std::pair{2, 6}}) {
        b.SetSize(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(b.GetPixel(x, y), x < 5 && y < 3 ? original.GetPixel(x, y) : TBM_Pixel{})
                    << x << ", " << y;
    }
}

// Outside reads are black, writes do nothing; a colour's top byte does not spill over.
TEST(Bitmap, PixelAccessIsBoundsChecked) {
    TBM_Bitmap b = RandomBitmap(4, 3, 2);
    const TBM_Bitmap before = b;
    for (const auto& [x, y] : {std::pair{-1, 1}, {4, 0}, {1, -1}, {1, 3}}) {
        EXPECT_EQ(b.GetPixel(x, y), TBM_Pixel{}) << x << ", " << y;
        b.SetPixel(x, y, 0);
    }
    EXPECT_TRUE(SamePixels(before, b));
    b.SetPixel(1, 1, 0xFF112233);
    EXPECT_EQ(b.GetPixel(1, 1), (TBM_Pixel{0x33, 0x22, 0x11}));
    EXPECT_EQ(b.GetPixel(2, 1), before.GetPixel(2, 1));
    EXPECT_EQ(TBM_Bitmap().GetPixel(0, 0), TBM_Pixel{});
}

// Sizes beyond the limits are refused before anything is allocated, and the picture stays.
TEST(Bitmap, SizesBeyondLimitsRaise) {
    TBM_Bitmap b = RandomBitmap(3, 2, 2);
    const TBM_Bitmap before = b;
    EXPECT_THROW(b.SetSize(65536, 1), EImageError);
    EXPECT_THROW(b.SetSize(1, -1), EImageError);
    EXPECT_THROW(b.SetSize(30000, 30000), EImageError);
    EXPECT_TRUE(SamePixels(before, b));
    b.SetSize(65535, 1);
    EXPECT_EQ(b.Width(), 65535);
}

// A picture or frame of w x h pixels as the callers pass it.
static TRect Box(int w, int h) {
    return {0, 0, w - 1, h - 1};
}

// No swapped ratio test, spans as pixel counts, other rounding, or centring off by one or axis.
TEST(Fitting, FitsProportionsIntoFrame) {
    const struct {
        const char* Name;
        TRect Frame, Source, Fit, Centered;
    } cases[] = {
        // 999/749 is a hair below 639/479: fits by height, and the width rounds up to 640.
        {"SameRatio", Box(640, 480), Box(1000, 750), Box(640, 480), Box(640, 480)},
        {"Wider", Box(640, 480), Box(3000, 2000), Box(640, 427), {0, 27, 639, 452}},
        {"Taller", Box(640, 480), Box(2000, 3000), Box(320, 480), {160, 0, 479, 479}},
        {"SmallIsEnlarged", Box(640, 480), Box(100, 100), Box(480, 480), {80, 0, 559, 479}},
        {"EighthDecodeThumb", {0, 0, 110, 110}, Box(500, 375), {0, 0, 110, 82}, {0, 14, 110, 96}},
        {"OffWide", {10, 20, 649, 499}, Box(3000, 2000), {10, 20, 649, 426}, {10, 47, 649, 472}},
        {"OffTall", {10, 20, 649, 499}, Box(2000, 3000), {10, 20, 319, 499}, {170, 20, 489, 499}},
        {"Panorama", Box(640, 480), Box(3000, 1000), Box(640, 214), {0, 133, 639, 346}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitRect(c.Frame, c.Source), c.Fit) << c.Name;
        EXPECT_EQ(FitRectCentered(c.Frame, c.Source), c.Centered) << c.Name;
    }
}

// A zero span has no ratio: the functions must raise rather than divide into infinity or NaN.
TEST(Fitting, ZeroSpanRaises) {
    for (const auto& [frame, source] :
         {std::pair{Box(1, 480), Box(100, 100)}, std::pair{Box(640, 1), Box(100, 100)},
          std::pair{Box(640, 480), Box(1, 100)}, std::pair{Box(640, 480), Box(100, 1)}}) {
        EXPECT_THROW(FitRect(frame, source), EMathError);
        EXPECT_THROW(FitRectCentered(frame, source), EMathError);
    }
}

// Half up (negatives truncated), ceiling, and raising beyond 32 bits.
TEST(Rounding, HalfUpAndCeiling) {
    const std::tuple<double, int, int> cases[] = {{2.5, 3, 3},    {2.49, 2, 3}, {-2.5, -2, -2},
                                                  {-2.7, -2, -2}, {3.0, 3, 3},  {3.01, 3, 4}};
    for (const auto& [value, half, ceiling] : cases) {
        EXPECT_EQ(RoundHalfUp(value), half) << value;
        EXPECT_EQ(CeilInt(value), ceiling) << value;
    }
    EXPECT_EQ(CeilInt(2147483646.5), 2147483647);
    EXPECT_THROW(RoundHalfUp(1e10), EMathError);
    EXPECT_THROW(CeilInt(2147483647.5), EMathError);
    EXPECT_THROW(RoundHalfUp(std::numeric_limits<double>::quiet_NaN()), EMathError);
}
