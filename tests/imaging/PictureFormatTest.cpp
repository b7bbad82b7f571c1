// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureFormat.h"

#include "ImagingTestSupport.h"
#include "PictureFixtures.h"
#include "imaging/BmpFile.h"
#include "imaging/LoadPicture.h"

using namespace imaging_test;

// The content decides how a file is read, whatever its name says; a file no reader knows is
// refused with a plain message, but one named as a JPEG gets the JPEG reader's own.
TEST(PictureFormat, ContentDecidesNotTheName) {
    const TempDir tmp;
    const TBM_Bitmap picture = RandomBitmap(7, 5, 2);
    SaveBmpFile(tmp.dir() + "real.bmp", picture);
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {{"png.jpg", PngOf(picture)},
                 {"bmp.png", ReadFileBytes(tmp.dir() + "real.bmp")},
                 {"png.JPEG", PngOf(picture)},
                 {"png-without-extension", PngOf(picture)}};
    for (const auto& c : cases) {
        TBM_Bitmap b;
        LoadPicture(tmp.write(c.Name, c.Bytes), b);
        EXPECT_TRUE(SamePixels(picture, b)) << c.Name;
    }
    for (const auto& [name, message] : {std::pair{"text.png", "Not a picture Kelvo can read"},
                                        {"text.jpg", "Cannot read the JPEG file"}}) {
        TBM_Bitmap b;
        try {
            LoadPicture(tmp.write(name, "just some text"), b);
            ADD_FAILURE() << name;
        } catch (const EImageError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

// The extensions offered and collected: any case of every family's, and only at the end of
// the name (a dot in a folder name is not an extension).
TEST(PictureFormat, Extensions) {
    for (const char* name :
         {"a.jpg", "a.JPG", "b.JpEg", "c.jfif", "d.png", "e.tiff", "f.webp", "g.bmp", "h.Tif"})
        EXPECT_TRUE(HasPictureExtension(name)) << name;
    for (const char* name : {"a.gif", "picture", "pics.jpg/picture", "jpg", "a.jpg.txt"})
        EXPECT_FALSE(HasPictureExtension(name)) << name;
}
