// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "imaging/TBM_Bitmap.h"

/// Pictures and comparisons shared by the imaging tests.
namespace imaging_test {

/// Packs a colour as TBM_Bitmap::SetPixel takes it.
constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return r | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

/// A width x height picture of seeded random colours.
TBM_Bitmap RandomBitmap(int width, int height, std::uint32_t seed);

/// A width x height picture of one colour.
TBM_Bitmap UniformBitmap(int width, int height, std::uint32_t color);

/// Same size and the same R, G, B everywhere; otherwise names the first difference.
::testing::AssertionResult SamePixels(const TBM_Bitmap& expected, const TBM_Bitmap& actual);

/// Every channel of actual within tolerance of the packed colour at (x, y).
::testing::AssertionResult NearColor(const TBM_Bitmap& bitmap, int x, int y, std::uint32_t expected,
                                     int tolerance);

/// Contents of a file, or empty if it cannot be read.
std::string FileBytes(const std::string& fileName);

} // namespace imaging_test
