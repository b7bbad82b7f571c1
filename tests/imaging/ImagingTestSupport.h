// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"
#include "support/TempDir.h"

/// Pictures, files and comparisons shared by the imaging tests.
namespace imaging_test {

using kelvo::ReadFileBytes;

/// Packs a colour as TBM_Bitmap::SetPixel takes it.
constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return r | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

/// A width x height picture of seeded random colours.
inline TBM_Bitmap RandomBitmap(int width, int height, std::uint32_t seed) {
    TBM_Bitmap bitmap;
    bitmap.SetSize(width, height);
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            bitmap.SetPixel(x, y, state);
        }
    return bitmap;
}

/// Every channel at (x, y) within tolerance of the packed colour.
inline ::testing::AssertionResult NearColor(const TBM_Bitmap& bitmap, int x, int y,
                                            std::uint32_t expected, int tolerance) {
    const TBM_Pixel p = bitmap.GetPixel(x, y);
    const int got[3] = {p.R, p.G, p.B};
    for (int c = 0; c < 3; ++c)
        if (std::abs(got[c] - static_cast<int>(expected >> 8 * c & 0xFF)) > tolerance)
            return ::testing::AssertionFailure()
                   << "pixel (" << x << ", " << y << ") is (" << got[0] << ", " << got[1] << ", "
                   << got[2] << "), expected about 0x" << std::hex << expected;
    return ::testing::AssertionSuccess();
}

/// Same size and the same R, G, B everywhere; otherwise names the first difference.
inline ::testing::AssertionResult SamePixels(const TBM_Bitmap& expected, const TBM_Bitmap& actual) {
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height())
        return ::testing::AssertionFailure()
               << "size " << actual.Width() << " x " << actual.Height();
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            const TBM_Pixel e = expected.GetPixel(x, y);
            if (auto same = NearColor(actual, x, y, Rgb(e.R, e.G, e.B), 0); !same)
                return same;
        }
    return ::testing::AssertionSuccess();
}

/// Saves b as a JPEG with an EXIF block (one orientation tag) after the start marker.
inline std::string SaveOriented(const TempDir& tmp, const TBM_Bitmap& b, int orientation,
                                bool bigEndian = false) {
    std::string tiff = bigEndian ? "MM" : "II";
    const auto put = [&](unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff += static_cast<char>(v >> 8 * (bigEndian ? bytes - 1 - i : i));
    };
    // TIFF header, first directory at 8 with one entry: orientation, SHORT, count 1; no next.
    put(42, 2), put(8, 4), put(1, 2), put(0x0112, 2), put(3, 2), put(1, 4);
    put(static_cast<unsigned>(orientation), 2), put(0, 2), put(0, 4);
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const std::string name = "o" + std::to_string(orientation) + ".jpg";
    SaveJpegFile(tmp.dir() + name, b, 95);
    const std::string segment =
        std::string{'\xFF', '\xE1', '\0', static_cast<char>(payload.size() + 2)} + payload;
    return tmp.write(name, ReadFileBytes(tmp.dir() + name).insert(2, segment));
}

/// Loads truncations and bit-flipped copies of the seeds: anything but EImageError fails.
template <typename TLoad>
void LoadDamagedCopies(const std::vector<std::string>& seeds, std::size_t step, int copies,
                       int maxFlips, std::mt19937& random, const TLoad& load) {
    const auto tryLoad = [&](const std::string& bytes) {
        try {
            load(bytes);
        } catch (const EImageError&) {
        }
    };
    for (const std::string& seed : seeds) {
        for (std::size_t n = 0; n < seed.size(); n += step)
            tryLoad(seed.substr(0, n));
        for (int i = 0; i < copies; ++i) {
            std::string bytes = seed;
            const int flips = 1 + static_cast<int>(random() % maxFlips);
            for (int f = 0; f < flips; ++f)
                bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
            tryLoad(bytes);
        }
    }
}

} // namespace imaging_test
