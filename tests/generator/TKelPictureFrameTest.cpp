// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPictureFrame.h"

#include <gtest/gtest.h>

#include "base/KelErrors.h"
#include "model/TKelLayer.h"

namespace {

struct FramesCase {
    const char* name;
    int frameWidth, frameHeight;
    int sourceWidth, sourceHeight;
    const char* frames; // "density:WxH" for each picture written
};

class PictureFramesTest : public testing::TestWithParam<FramesCase> {};

std::string Describe(const std::vector<TKelPictureFrame>& frames) {
    std::string s;
    for (const TKelPictureFrame& f : frames)
        s += (s.empty() ? "" : " ") + std::to_string(f.Density) + ":" + std::to_string(f.Width) +
             "x" + std::to_string(f.Height);
    return s;
}

} // namespace

// Densities 1 to 4 of a frame: fitted, capped at the source, left out when no larger.
TEST_P(PictureFramesTest, FittedAndCappedAtTheSource) {
    const FramesCase& c = GetParam();
    TKelLayer layer;
    layer.SetPictureWidth(c.frameWidth);
    layer.SetPictureHeight(c.frameHeight);
    layer.SetDensities({1, 2, 3, 4});
    EXPECT_EQ(Describe(PictureFrames(layer, c.sourceWidth, c.sourceHeight)), c.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, PictureFramesTest,
    testing::Values(FramesCase{"LargeSource", 200, 200, 3000, 2000,
                               "1:200x134 2:400x267 3:600x400 4:800x534"},
                    // 3x would be 600 x 360: capped at the source, still larger than 2x.
                    FramesCase{"CappedOnce", 200, 200, 500, 300, "1:200x120 2:400x240 3:500x300"},
                    FramesCase{"CappedAtOnce", 200, 200, 300, 200, "1:200x133 2:300x200"},
                    // 1x enlarges as ever; the source is no larger than that.
                    FramesCase{"SmallSource", 200, 200, 100, 100, "1:200x200"},
                    FramesCase{"OwnSize", 0, 0, 300, 200, "1:300x200"},
                    FramesCase{"OwnWidth", 0, 100, 800, 400,
                               "1:199x100 2:399x200 3:600x300 "
                               "4:800x400"}),
    [](const auto& info) { return std::string(info.param.name); });

// Only the densities the layer has are made; a one-pixel source cannot be fitted.
TEST(PictureFrames, LayerDensitiesAndUnfittableSource) {
    TKelLayer layer;
    layer.SetPictureWidth(100);
    layer.SetPictureHeight(100);
    EXPECT_EQ(Describe(PictureFrames(layer, 1000, 1000)), "1:100x100");
    layer.SetDensities({3});
    EXPECT_EQ(Describe(PictureFrames(layer, 1000, 1000)), "1:100x100 3:300x300");
    EXPECT_THROW(PictureFrames(layer, 1, 500), EMathError);
}

// Densities kept by a layer: 1 always, in range, sorted, once; text that is no number drops.
TEST(PictureFrames, DensityLists) {
    for (const auto& [text, expected] :
         {std::pair{"", "1"}, {"2", "1,2"}, {"3, 1,2 ,3", "1,2,3"}, {"0,5,-2,x,,4", "1,4"}})
        EXPECT_EQ(TKelLayer::FormatDensities(TKelLayer::ParseDensities(text)), expected) << text;
}
