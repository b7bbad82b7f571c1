// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/KelErrors.h"
#include "imaging/TDecodedPicture.h"
#include "support/TempDir.h"

/// Originals and comparisons for the tests of the whole-picture readers.
namespace picture_test {

/// Sample c (0 R, 1 G, 2 B, 3 alpha) of pixel (x, y) of the test pattern, 0 to 255: smooth
/// ramps that lossy codecs keep well, different in each channel and direction, so a picture
/// turned, mirrored or with swapped channels does not match.
inline std::uint8_t PatternSample(int x, int y, int c) {
    switch (c) {
    case 0:
        return static_cast<std::uint8_t>(x * 255 / 63 & 0xFF);
    case 1:
        return static_cast<std::uint8_t>(y * 255 / 47 & 0xFF);
    case 2:
        return static_cast<std::uint8_t>((x + 2 * y) * 2 & 0xFF);
    default: // alpha: opaque, transparent and half-way columns, then a ramp
        return static_cast<std::uint8_t>(x < 4 ? 255 : x < 8 ? 0 : x < 12 ? 128 : y * 5);
    }
}

/// The pattern as interleaved samples, channels (3 or 4) a pixel.
inline std::vector<std::uint8_t> Pattern(int width, int height, int channels) {
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                samples.push_back(PatternSample(x, y, c));
    return samples;
}

/// What a reader must deliver for the pattern: alpha over white, 8 bits.
inline std::vector<std::uint8_t> PatternOverWhite(int width, int height, bool alpha) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int a = alpha ? PatternSample(x, y, 3) : 255;
            for (int c = 0; c < 3; ++c)
                rgb.push_back(static_cast<std::uint8_t>(
                    (PatternSample(x, y, c) * a + 255 * (255 - a) + 127) / 255));
        }
    return rgb;
}

/// The mean absolute difference of picture's 8-bit samples from expected (and a failure when
/// the sizes differ).
inline double MeanError(const std::vector<std::uint8_t>& expected, int width, int height,
                        const TDecodedPicture& picture) {
    EXPECT_EQ(picture.Width, width);
    EXPECT_EQ(picture.Height, height);
    EXPECT_EQ(picture.BitsPerSample, 8);
    if (picture.Pixels8.size() != expected.size())
        return 255;
    double sum = 0;
    for (std::size_t i = 0; i < expected.size(); ++i)
        sum += std::abs(expected[i] - picture.Pixels8[i]);
    return sum / static_cast<double>(expected.size());
}

/// Every cut of bytes at the given fractions of its length must make load raise EImageError
/// (not crash, and not come out half-decoded).
inline void ExpectCutsRefused(const TempDir& tmp, const std::string& bytes,
                              const std::function<void(const std::string&)>& load,
                              const std::vector<double>& cuts) {
    for (const double cut : cuts) {
        const std::string name = "cut" + std::to_string(static_cast<int>(cut * 1000));
        const std::string path =
            tmp.write(name, bytes.substr(0, static_cast<std::size_t>(bytes.size() * cut)));
        EXPECT_THROW(load(path), EImageError) << "cut at " << cut;
    }
}

/// load must refuse the file at path for the size its header forges, before decoding it.
inline void ExpectForgedSizeRefused(const std::function<void(const std::string&)>& load,
                                    const std::string& path) {
    try {
        load(path);
        ADD_FAILURE() << "a forged size loaded";
    } catch (const EImageError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("cannot come from"), std::string::npos) << message;
        EXPECT_NE(message.find(path), std::string::npos) << message;
    }
}

} // namespace picture_test
