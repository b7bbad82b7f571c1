// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TBM_Bitmap.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "ImagingTestSupport.h"
#include "base/KelErrors.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "support/TempDir.h"

using imaging_test::FileBytes;
using imaging_test::RandomBitmap;
using imaging_test::Rgb;
using imaging_test::SamePixels;

// Resizing must keep the pixels both sizes share and make new ones black; a store that
// reallocates without copying, or copies with the wrong row length, fails here.
TEST(Bitmap, SetSizeKeepsOverlapAndBlackensTheRest) {
    const TBM_Bitmap original = RandomBitmap(5, 4, 1);
    TBM_Bitmap b = original;
    b.SetSize(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(b.GetPixel(x, y), x < 5 ? original.GetPixel(x, y) : TBM_Pixel{})
                << x << ", " << y;
    b.SetSize(2, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 2; ++x)
            ASSERT_EQ(b.GetPixel(x, y), y < 3 ? original.GetPixel(x, y) : TBM_Pixel{})
                << x << ", " << y;
}

// Reads outside are black, writes outside change nothing, and the top byte of a packed colour
// is ignored rather than spilling into a neighbour.
TEST(Bitmap, PixelAccessIsBoundsChecked) {
    TBM_Bitmap b = imaging_test::UniformBitmap(4, 3, Rgb(255, 255, 255));
    for (const auto& [x, y] :
         {std::pair{-1, 0}, std::pair{4, 0}, std::pair{0, -1}, std::pair{0, 3}})
        EXPECT_EQ(b.GetPixel(x, y), TBM_Pixel{}) << x << ", " << y;
    const TBM_Bitmap before = b;
    b.SetPixel(-1, 0, 0);
    b.SetPixel(4, 2, 0);
    b.SetPixel(0, 3, 0);
    EXPECT_TRUE(SamePixels(before, b));
    b.SetPixel(1, 1, 0xFF112233);
    EXPECT_EQ(b.GetPixel(1, 1), (TBM_Pixel{0x33, 0x22, 0x11}));
    EXPECT_EQ(b.GetPixel(2, 1), (TBM_Pixel{255, 255, 255}));
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

// The file type follows the extension in any letter case, when saving and loading; other
// extensions, and names whose last dot is in a folder name, load nothing and raise nothing,
// whatever the content (a JPEG here), and save nothing. BMP ignores the quality. A missing or
// damaged file is an error the picture generator can catch, not a crash.
TEST(Bitmap, FileTypeChosenByExtension) {
    TempDir tmp;
    const TBM_Bitmap picture = RandomBitmap(6, 4, 3);
    for (const auto& [name, loads] : {std::pair{"a.jpg", true},
                                      {"a.JPG", true},
                                      {"a.JpEg", true},
                                      {"a.bmp", true},
                                      {"b.BMP", true},
                                      {"a.png", false},
                                      {"a.gif", false},
                                      {"picture", false},
                                      {"pics.jpg/picture", false}}) {
        const std::string file = tmp.dir() + name;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        if (loads)
            picture.SaveToFile(file, 90);
        else
            SaveJpegFile(file, picture, 90);
        TBM_Bitmap b;
        b.LoadFromFile(file);
        EXPECT_EQ(b.Width(), loads ? 6 : 0) << name;
    }
    picture.SaveToFile(tmp.dir() + "x.png", 80);
    EXPECT_FALSE(std::filesystem::exists(tmp.dir() + "x.png"));
    picture.SaveToFile(tmp.dir() + "q10.bmp", 10);
    EXPECT_EQ(FileBytes(tmp.dir() + "q10.bmp"), FileBytes(tmp.dir() + "a.bmp"));
    EXPECT_THROW(TBM_Bitmap().SaveToFile(tmp.dir() + "e.jpg", 80), EImageError);

    TBM_Bitmap b;
    EXPECT_THROW(b.LoadFromFile(tmp.dir() + "missing.jpg"), EFileError);
    EXPECT_THROW(b.LoadFromFile(tmp.write("bad.bmp", "BM nonsense")), EImageError);
    b.LoadFromFile(tmp.dir() + "missing.png");
    EXPECT_EQ(b.Width(), 0);
}
