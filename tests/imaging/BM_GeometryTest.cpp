// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/BM_Geometry.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "base/KelErrors.h"

namespace {

// A picture or frame of w x h pixels as the callers pass it.
TRect Box(int w, int h) {
    return {0, 0, w - 1, h - 1};
}

struct TFitCase {
    const char* Name;
    TRect Frame;
    TRect Source;
    TRect Fit;
    TRect Centered;
};
class Fitting : public ::testing::TestWithParam<TFitCase> {};

} // namespace

// Catches a swapped ratio test, spans taken as pixel counts, rounding other than half up, and
// a centred rectangle that is off by one or centred along the wrong axis.
TEST_P(Fitting, FitsProportionsIntoFrame) {
    const TFitCase& c = GetParam();
    EXPECT_EQ(FitRect(c.Frame, c.Source), c.Fit);
    EXPECT_EQ(FitRectCentered(c.Frame, c.Source), c.Centered);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fitting,
    ::testing::Values(
        // 999/749 is a hair below 639/479: fits by height, and the width rounds up to 640.
        TFitCase{"SameRatio", Box(640, 480), Box(1000, 750), Box(640, 480), Box(640, 480)},
        TFitCase{"Wider", Box(640, 480), Box(3000, 2000), Box(640, 427), {0, 27, 639, 452}},
        TFitCase{"Taller", Box(640, 480), Box(2000, 3000), Box(320, 480), {160, 0, 479, 479}},
        TFitCase{"SmallIsEnlarged", Box(640, 480), Box(100, 100), Box(480, 480), {80, 0, 559, 479}},
        TFitCase{"ThumbnailOfEighthDecode",
                 {0, 0, 110, 110},
                 Box(500, 375),
                 {0, 0, 110, 82},
                 {0, 14, 110, 96}},
        TFitCase{"OffsetFrameKeepsRoundedSpan",
                 {10, 20, 649, 499},
                 Box(3000, 2000),
                 {10, 20, 649, 426},
                 {10, 47, 649, 472}}),
    [](const ::testing::TestParamInfo<TFitCase>& info) { return std::string(info.param.Name); });

// A zero span has no ratio: floating-point division would give infinity or NaN silently, so
// the functions must raise for a picture or frame one pixel wide or high.
TEST(Fitting, ZeroSpanRaises) {
    for (const auto& [frame, source] :
         {std::pair{Box(1, 480), Box(100, 100)}, std::pair{Box(640, 1), Box(100, 100)},
          std::pair{Box(640, 480), Box(1, 100)}, std::pair{Box(640, 480), Box(100, 1)}}) {
        EXPECT_THROW(FitRect(frame, source), EMathError);
        EXPECT_THROW(FitRectCentered(frame, source), EMathError);
    }
}

// Half up for positive values, truncation only for negative ones; ceiling; and no undefined
// conversion for values beyond 32 bits.
TEST(Rounding, HalfUpAndCeiling) {
    EXPECT_EQ(RoundHalfUp(2.5), 3);
    EXPECT_EQ(RoundHalfUp(2.49), 2);
    EXPECT_EQ(RoundHalfUp(-2.5), -2);
    EXPECT_EQ(RoundHalfUp(-2.7), -2);
    EXPECT_EQ(CeilInt(3.0), 3);
    EXPECT_EQ(CeilInt(3.01), 4);
    EXPECT_EQ(CeilInt(-2.5), -2);
    EXPECT_EQ(CeilInt(2147483646.5), 2147483647);
    EXPECT_THROW(RoundHalfUp(1e10), EMathError);
    EXPECT_THROW(CeilInt(2147483647.5), EMathError);
    EXPECT_THROW(RoundHalfUp(std::numeric_limits<double>::quiet_NaN()), EMathError);
}
