// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImagingTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace imaging_test {

TBM_Bitmap RandomBitmap(int width, int height, std::uint32_t seed) {
    TBM_Bitmap bitmap;
    bitmap.SetSize(width, height);
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            bitmap.SetPixel(x, y, state);
        }
    }
    return bitmap;
}

TBM_Bitmap UniformBitmap(int width, int height, std::uint32_t color) {
    TBM_Bitmap bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, color);
    return bitmap;
}

namespace {
std::string Describe(TBM_Pixel p) {
    return "(" + std::to_string(p.R) + ", " + std::to_string(p.G) + ", " + std::to_string(p.B) +
           ")";
}
} // namespace

::testing::AssertionResult SamePixels(const TBM_Bitmap& expected, const TBM_Bitmap& actual) {
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height())
        return ::testing::AssertionFailure()
               << "size " << actual.Width() << " x " << actual.Height() << ", expected "
               << expected.Width() << " x " << expected.Height();
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            if (expected.GetPixel(x, y) != actual.GetPixel(x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << Describe(actual.GetPixel(x, y))
                       << ", expected " << Describe(expected.GetPixel(x, y));
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NearColor(const TBM_Bitmap& bitmap, int x, int y, std::uint32_t expected,
                                     int tolerance) {
    const TBM_Pixel p = bitmap.GetPixel(x, y);
    const TBM_Pixel e{static_cast<std::uint8_t>(expected), static_cast<std::uint8_t>(expected >> 8),
                      static_cast<std::uint8_t>(expected >> 16)};
    if (std::abs(p.R - e.R) > tolerance || std::abs(p.G - e.G) > tolerance ||
        std::abs(p.B - e.B) > tolerance)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                             << Describe(p) << ", expected about " << Describe(e);
    return ::testing::AssertionSuccess();
}

std::string FileBytes(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace imaging_test
