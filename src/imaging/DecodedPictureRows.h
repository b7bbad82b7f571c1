// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/TDecodedPicture.h"
#include "imaging/TPictureReader.h"

/// What the readers of WebP, HEIF and TIFF share: their error messages, the size check before
/// anything is allocated, and the rows they store into a TDecodedPicture or hand on.

/// Raises EImageError "Cannot read the <format> file "<fileName>": <reason>".
[[noreturn]] void RaisePictureError(const char* format, const std::string& fileName,
                                    const std::string& reason);

/// Holds a declared width x height to TBM_Bitmap's limits (CheckSize, and CheckDataSize with
/// dataBytes of compressed data), raising as RaisePictureError.
void CheckPictureSize(const char* format, const std::string& fileName, std::int64_t width,
                      std::int64_t height, std::int64_t dataBytes);

/// Sizes picture for width x height pixels of bitsPerSample (8 or 16) and allocates its samples.
/// Call CheckPictureSize first.
void AllocatePixels(TDecodedPicture& picture, int width, int height, int bitsPerSample);

/// How the samples of a source row are laid out.
struct TRowFormat {
    /// Samples a pixel: 1 grey, 2 grey and alpha, 3 RGB, 4 RGB and alpha.
    int Channels = 3;
    /// The largest sample value (255, 1023, 4095, 65535); values are scaled from 0..MaxValue to
    /// the full range of the samples stored (8 or 16 bits).
    std::uint32_t MaxValue = 255;
    /// True when the colour samples are already multiplied by alpha (associated alpha).
    bool Premultiplied = false;
};

/// Stores a row of width source pixels into out, three samples (R, G, B) a pixel: grey spread
/// to R, G and B, scaled to the full range, alpha composited over white (out = a c + (1 - a)
/// white, rounded). Sample values beyond MaxValue are clamped.
void PutRow(std::uint8_t* out, int width, const std::uint8_t* row, const TRowFormat& format);
void PutRow(std::uint16_t* out, int width, const std::uint16_t* row, const TRowFormat& format);

/// Widens a row of width pixels of three samples to four, the fourth zero: the layouts Rgbx8
/// and Rgbx16 of a row that a reader hands on.
void WidenRow(const std::uint8_t* in, std::uint8_t* out, std::size_t width);
void WidenRow(const std::uint16_t* in, std::uint16_t* out, std::size_t width);

/// Every row of reader (of layout Rgbx8 or Rgbx16) as one whole picture, with its orientation
/// and colour description. Raises as the reader does.
TDecodedPicture ReadDecodedPicture(TPictureReader& reader);
