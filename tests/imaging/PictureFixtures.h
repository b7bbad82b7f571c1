// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <lcms2.h>
#include <png.h>

#include "imaging/TBM_Bitmap.h"

/// PNG files and colour profiles made with libpng and Little CMS themselves, for the reader
/// and colour tests.
namespace imaging_test {

/// What a PNG fixture holds. Samples lie row by row, as many a pixel as ColourType has
/// channels (palette: indices), each below 2^BitDepth.
struct TPngFixture {
    int Width = 1;
    int Height = 1;
    int ColourType = PNG_COLOR_TYPE_RGB;
    int BitDepth = 8;
    std::vector<std::uint16_t> Samples;
    std::vector<png_color> Palette;
    std::vector<png_byte> PaletteAlpha; // a tRNS chunk for the palette
    std::vector<std::uint8_t> Icc;
    std::vector<std::uint8_t> Exif; // an eXIf chunk: the bare TIFF structure
    bool Interlaced = false;
};

/// A fixture of the given size, kind and samples; the chunks are added by assignment.
inline TPngFixture Png(int width, int height, int colourType, int bitDepth,
                       std::vector<std::uint16_t> samples = {}) {
    TPngFixture f;
    f.Width = width;
    f.Height = height;
    f.ColourType = colourType;
    f.BitDepth = bitDepth;
    f.Samples = std::move(samples);
    return f;
}

inline int PngChannels(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    default:
        return 1;
    }
}

inline void AppendPngBytes(png_structp png, png_bytep data, std::size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

/// The PNG file of fixture.
inline std::string PngBytes(const TPngFixture& f) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const int channels = PngChannels(f.ColourType);
    // One byte a sample below 16 bits (libpng packs them), two big-endian bytes at 16.
    const std::size_t sampleBytes = f.BitDepth == 16 ? 2 : 1;
    std::vector<png_byte> pixels(static_cast<std::size_t>(f.Width) * f.Height * channels *
                                 sampleBytes);
    for (std::size_t i = 0; i < f.Samples.size() && i * sampleBytes < pixels.size(); ++i) {
        if (sampleBytes == 2) {
            pixels[2 * i] = static_cast<png_byte>(f.Samples[i] >> 8);
            pixels[2 * i + 1] = static_cast<png_byte>(f.Samples[i]);
        } else {
            pixels[i] = static_cast<png_byte>(f.Samples[i]);
        }
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(f.Height));
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = pixels.data() + y * f.Width * channels * sampleBytes;
    if (setjmp(png_jmpbuf(png)) != 0) {
        ADD_FAILURE() << "libpng could not write the fixture";
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendPngBytes, nullptr);
    png_set_IHDR(png, info, f.Width, f.Height, f.BitDepth, f.ColourType,
                 f.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!f.Palette.empty())
        png_set_PLTE(png, info, f.Palette.data(), static_cast<int>(f.Palette.size()));
    if (!f.PaletteAlpha.empty())
        png_set_tRNS(png, info, f.PaletteAlpha.data(), static_cast<int>(f.PaletteAlpha.size()),
                     nullptr);
    if (!f.Icc.empty())
        png_set_iCCP(png, info, "icc", PNG_COMPRESSION_TYPE_BASE, f.Icc.data(),
                     static_cast<png_uint_32>(f.Icc.size()));
    if (!f.Exif.empty())
        png_set_eXIf_1(png, info, static_cast<png_uint_32>(f.Exif.size()),
                       const_cast<png_bytep>(f.Exif.data()));
    png_write_info(png, info);
    if (f.BitDepth < 8)
        png_set_packing(png);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

/// An 8-bit RGB PNG of bitmap.
inline std::string PngOf(const TBM_Bitmap& bitmap, const std::vector<std::uint8_t>& icc = {}) {
    TPngFixture f;
    f.Width = bitmap.Width();
    f.Height = bitmap.Height();
    f.Icc = icc;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const TBM_Pixel p = bitmap.GetPixel(x, y);
            f.Samples.insert(f.Samples.end(), {p.R, p.G, p.B});
        }
    return PngBytes(f);
}

/// The bytes of an ICC profile.
inline std::vector<std::uint8_t> ProfileBytes(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

/// An RGB profile with a D65 white, the primaries (x, y of red, green, blue) and a plain gamma.
inline cmsHPROFILE RgbProfile(const double (&xy)[6], double gamma) {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{xy[0], xy[1], 1.0}, {xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}};
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return profile;
}

constexpr double AdobeRgb[6] = {0.64, 0.33, 0.21, 0.71, 0.15, 0.06};
constexpr double ProPhotoLike[6] = {0.7347, 0.2653, 0.1596, 0.8404, 0.0366, 0.0001};

/// What Little CMS itself makes of an 8-bit colour in profile, converted to sRGB with the
/// intent the readers use.
inline std::uint32_t LcmsToSrgb(const std::vector<std::uint8_t>& icc, std::uint8_t r,
                                std::uint8_t g, std::uint8_t b) {
    cmsHPROFILE in = cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    const cmsUInt32Number intent = cmsIsIntentSupported(in, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT)
                                       ? INTENT_PERCEPTUAL
                                       : INTENT_RELATIVE_COLORIMETRIC;
    cmsHTRANSFORM t = cmsCreateTransform(in, TYPE_RGB_8, srgb, TYPE_RGB_8, intent, 0);
    const std::uint8_t source[3] = {r, g, b};
    std::uint8_t out[3] = {};
    cmsDoTransform(t, source, out, 1);
    cmsDeleteTransform(t);
    cmsCloseProfile(in);
    cmsCloseProfile(srgb);
    return out[0] | static_cast<std::uint32_t>(out[1]) << 8 |
           static_cast<std::uint32_t>(out[2]) << 16;
}

/// A JPEG of bitmap at quality 100 with profile split into APP2 markers of at most pieceBytes
/// (libjpeg-turbo's own writer uses 65519; a small size makes several).
inline std::string JpegWithProfile(const TBM_Bitmap& bitmap, const std::vector<std::uint8_t>& icc,
                                   std::size_t pieceBytes = 65519) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(bitmap.Width());
    c.image_height = static_cast<JDIMENSION>(bitmap.Height());
    c.input_components = 4;
    c.in_color_space = JCS_EXT_RGBX;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    const std::size_t count = (icc.size() + pieceBytes - 1) / pieceBytes;
    for (std::size_t i = 0; i < count; ++i) {
        std::string marker("ICC_PROFILE", 12);
        marker += static_cast<char>(i + 1);
        marker += static_cast<char>(count);
        const std::size_t n = std::min(pieceBytes, icc.size() - i * pieceBytes);
        marker.append(reinterpret_cast<const char*>(icc.data()) + i * pieceBytes, n);
        jpeg_write_marker(&c, JPEG_APP0 + 2, reinterpret_cast<const JOCTET*>(marker.data()),
                          static_cast<unsigned int>(marker.size()));
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.ScanLine(static_cast<int>(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string jpeg(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return jpeg;
}

} // namespace imaging_test
