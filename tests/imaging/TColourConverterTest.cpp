// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TColourConverter.h"

#include "ImagingTestSupport.h"
#include "PictureFixtures.h"
#include "imaging/LoadPicture.h"
#include "imaging/PictureFormat.h"
#include "imaging/TWholePictureReader.h"

using namespace imaging_test;

namespace {

TBM_Bitmap Patch(int side, std::uint32_t colour) {
    TBM_Bitmap b;
    b.SetSize(side, side);
    for (int i = 0; i < side * side; ++i)
        b.SetPixel(i % side, i / side, colour);
    return b;
}

// A JPEG marker holding garbage where the profile should be.
std::string JpegWithDamagedProfile(const TBM_Bitmap& bitmap) {
    std::vector<std::uint8_t> junk(300);
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<std::uint8_t>(i * 7);
    return JpegWithProfile(bitmap, junk);
}

} // namespace

// A saturated patch stored in a wide-gamut space lands where Little CMS itself puts it in
// sRGB, from a JPEG (also with its profile split over several markers) and from a PNG, read
// whole and resampled to a gallery picture's size; left unconverted it would be far off.
TEST(ColourConversion, WideGamutPatchLandsWhereSrgbPutsIt) {
    const std::vector<std::uint8_t> adobe = ProfileBytes(RgbProfile(AdobeRgb, 2.2));
    const std::vector<std::uint8_t> proPhoto = ProfileBytes(RgbProfile(ProPhotoLike, 1.8));
    const TBM_Bitmap patch = Patch(16, Rgb(40, 190, 70));
    const struct {
        const char* Name;
        std::string File;
        const std::vector<std::uint8_t>& Profile;
    } cases[] = {{"AdobeJpeg.jpg", JpegWithProfile(patch, adobe), adobe},
                 {"AdobeJpegInPieces.jpg", JpegWithProfile(patch, adobe, 100), adobe},
                 {"ProPhotoPng.png", PngOf(patch, proPhoto), proPhoto},
                 {"AdobePng.png", PngOf(patch, adobe), adobe}};
    const TempDir tmp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBM_Bitmap b;
        const std::string file = tmp.write(c.Name, c.File);
        EXPECT_EQ(LoadPicture(file, b), "");
        const std::uint32_t expected = LcmsToSrgb(c.Profile, 40, 190, 70);
        EXPECT_TRUE(NearColor(b, 8, 8, expected, 2));
        EXPECT_FALSE(NearColor(b, 8, 8, Rgb(40, 190, 70), 10));
        TBM_Bitmap small;
        small.SetSize(5, 5);
        EXPECT_EQ(ResamplePicture(*OpenPicture(file), {&small}), "");
        EXPECT_TRUE(NearColor(small, 2, 2, expected, 2));
    }
}

// A picture tagged sRGB (Little CMS's own profile, as version 4 and as version 2) comes out
// byte for byte as the same picture without a profile: nothing is transformed.
TEST(ColourConversion, SrgbTaggedIsUntouched) {
    const TBM_Bitmap picture = RandomBitmap(40, 30, 9);
    cmsHPROFILE v2 = cmsCreate_sRGBProfile();
    cmsSetProfileVersion(v2, 2.1);
    const TempDir tmp;
    TBM_Bitmap untagged, tagged;
    LoadPicture(tmp.write("plain.jpg", JpegWithProfile(picture, {})), untagged);
    for (const auto& profile : {ProfileBytes(cmsCreate_sRGBProfile()), ProfileBytes(v2)}) {
        EXPECT_EQ(LoadPicture(tmp.write("srgb.jpg", JpegWithProfile(picture, profile)), tagged),
                  "");
        EXPECT_TRUE(SamePixels(untagged, tagged));
        EXPECT_EQ(LoadPicture(tmp.write("srgb.png", PngOf(picture, profile)), tagged), "");
        EXPECT_TRUE(SamePixels(picture, tagged));
    }
}

// A 16-bit gradient in a linear profile converts from its 16 bits: neighbouring pixels differ
// by at most one step, where rounding to 8 bits first would leave gaps of a dozen in the
// shadows.
TEST(ColourConversion, SixteenBitsConvertFromSixteen) {
    const double srgbPrimaries[6] = {0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
    TPngFixture gradient = Png(4096, 1, PNG_COLOR_TYPE_RGB, 16);
    for (int x = 0; x < gradient.Width; ++x)
        for (int c = 0; c < 3; ++c)
            gradient.Samples.push_back(static_cast<std::uint16_t>(x * 16));
    gradient.Icc = ProfileBytes(RgbProfile(srgbPrimaries, 1.0));
    const TempDir tmp;
    TBM_Bitmap b;
    LoadPicture(tmp.write("linear.png", PngBytes(gradient)), b);
    int largestStep = 0;
    for (int x = 1; x < b.Width(); ++x)
        largestStep = std::max(largestStep, b.GetPixel(x, 0).G - b.GetPixel(x - 1, 0).G);
    EXPECT_LE(largestStep, 1);
    EXPECT_GE(b.GetPixel(b.Width() - 1, 0).G, 254);
}

// A damaged profile or one Kelvo cannot show leaves the picture as if untagged and says why;
// H.273 code points work like a profile.
TEST(ColourConversion, UnusableDescriptionsWarnAndLeaveColours) {
    const TempDir tmp;
    const TBM_Bitmap picture = RandomBitmap(24, 16, 5);
    TBM_Bitmap untagged, damaged;
    LoadPicture(tmp.write("plain.jpg", JpegWithProfile(picture, {})), untagged);
    EXPECT_NE(LoadPicture(tmp.write("bad.jpg", JpegWithDamagedProfile(picture)), damaged), "");
    EXPECT_TRUE(SamePixels(untagged, damaged));

    const double p3[6] = {0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
    cmsToneCurve* srgbCurve = nullptr;
    {
        const cmsFloat64Number params[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        srgbCurve = cmsBuildParametricToneCurve(nullptr, 4, params);
    }
    cmsToneCurve* curves[3] = {srgbCurve, srgbCurve, srgbCurve};
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{p3[0], p3[1], 1}, {p3[2], p3[3], 1}, {p3[4], p3[5], 1}};
    const std::vector<std::uint8_t> p3Profile =
        ProfileBytes(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(srgbCurve);
    const struct {
        const char* Name;
        int Primaries, Transfer;
        std::uint32_t Expected;
        bool Warns;
    } cases[] = {{"DisplayP3", 12, 13, LcmsToSrgb(p3Profile, 20, 230, 40), false},
                 {"Srgb", 1, 13, Rgb(20, 230, 40), false},
                 {"Unspecified", 2, 2, Rgb(20, 230, 40), false},
                 {"HdrPq", 9, 16, Rgb(20, 230, 40), true},
                 {"UnknownPrimaries", 99, 13, Rgb(20, 230, 40), true}};
    for (const auto& c : cases) {
        TDecodedPicture decoded;
        decoded.Width = decoded.Height = 1;
        decoded.Pixels8 = {20, 230, 40};
        decoded.Colour.HasNclx = true;
        decoded.Colour.ColourPrimaries = c.Primaries;
        decoded.Colour.TransferCharacteristics = c.Transfer;
        TWholePictureReader reader(std::move(decoded));
        TBM_Bitmap b;
        EXPECT_EQ(LoadUpright(reader, b).empty(), !c.Warns) << c.Name;
        EXPECT_TRUE(NearColor(b, 0, 0, c.Expected, c.Warns ? 0 : 2)) << c.Name;
    }
}

// Rows of 8-bit RGB go through a table form of curve-and-matrix profiles: over a spread of
// colours it must agree with Little CMS's own conversion within one step.
TEST(ColourConversion, TableFormAgreesWithLittleCms) {
    const std::vector<std::uint8_t> profiles[] = {ProfileBytes(RgbProfile(AdobeRgb, 2.2)),
                                                  ProfileBytes(RgbProfile(ProPhotoLike, 1.8))};
    std::vector<std::uint8_t> row;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15)
                row.insert(row.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), 0});
    const int width = static_cast<int>(row.size() / 4);
    for (const std::vector<std::uint8_t>& icc : profiles) {
        TPictureColour colour;
        colour.IccProfile = icc;
        std::vector<std::uint8_t> ours(row.size()), theirs(row.size());
        TColourConverter(colour, TSampleLayout::Rgbx8).Convert(row.data(), ours.data(), width);
        cmsHPROFILE in =
            cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size()));
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHTRANSFORM t = cmsCreateTransform(in, TYPE_RGBA_8, srgb, TYPE_RGBA_8, INTENT_PERCEPTUAL,
                                             cmsFLAGS_NOOPTIMIZE);
        cmsDoTransform(t, row.data(), theirs.data(), static_cast<cmsUInt32Number>(width));
        cmsDeleteTransform(t);
        cmsCloseProfile(in);
        cmsCloseProfile(srgb);
        int largest = 0;
        for (std::size_t i = 0; i < row.size(); ++i)
            if (i % 4 != 3)
                largest = std::max(largest, std::abs(int(ours[i]) - int(theirs[i])));
        EXPECT_LE(largest, 1);
    }
}

// The AVX2 loop of the table form gives the portable loop's bytes: over every channel's
// extremes and random colours, for rows of each length up to a few vectors (the rest of a row
// goes through the portable loop), from any pixel on, in place too, and it keeps the padding
// bytes of out as they were. ProPhoto's wide gamut drives sums below 0 and above 1.
TEST(ColourConversion, Avx2LoopGivesThePortableBytes) {
    const std::uint8_t edges[] = {0, 1, 2, 127, 128, 253, 254, 255};
    std::vector<std::uint8_t> row;
    for (const std::uint8_t r : edges)
        for (const std::uint8_t g : edges)
            for (const std::uint8_t b : edges)
                row.insert(row.end(), {r, g, b, std::uint8_t(r ^ g ^ b)});
    const TBM_Bitmap random = RandomBitmap(997, 1, 3);
    row.insert(row.end(), random.ScanLine(0), random.ScanLine(0) + 997 * 4);
    const int width = static_cast<int>(row.size() / 4);
    for (const cmsHPROFILE profile : {RgbProfile(AdobeRgb, 2.2), RgbProfile(ProPhotoLike, 1.8)}) {
        TPictureColour colour;
        colour.IccProfile = ProfileBytes(profile);
        const TColourConverter converter(colour, TSampleLayout::Rgbx8);
        for (const auto& [first, count] : {std::pair{0, width}, {5, 1}, {3, 8}, {9, 15}, {1, 17}}) {
            SCOPED_TRACE(count);
            const std::uint8_t* in = row.data() + 4 * first;
            std::vector<std::uint8_t> fast(4 * count, 0x5a), portable(fast),
                inPlace(in, in + 4 * count);
            converter.Convert(in, fast.data(), count);
            converter.ConvertPortable(in, portable.data(), count);
            converter.Convert(inPlace.data(), inPlace.data(), count);
            EXPECT_EQ(fast, portable);
            for (std::size_t i = 3; i < inPlace.size(); i += 4)
                portable[i] = in[i];
            EXPECT_EQ(inPlace, portable);
        }
    }
}
