// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/TPictureColour.h"

/// A whole picture as the Load...File functions of WebP, TIFF and HEIF give it, and as a reader
/// that does not stream rows holds it: the pixels as stored, before orientation and colour
/// conversion, with what is needed to do both. Owned by the caller.
struct TDecodedPicture {
    /// The stored size, before Orientation is applied.
    int Width = 0;
    int Height = 0;
    /// The EXIF orientation (1 to 8) still to apply; 1 when the decoder turned the picture
    /// itself (HEIF's irot/imir) or the file says nothing.
    int Orientation = 1;
    /// 8: Pixels8 holds the samples; 16: Pixels16 does. The other vector is empty.
    int BitsPerSample = 8;
    /// Row by row from the top, three samples (R, G, B) a pixel; any alpha is already composited
    /// over white.
    std::vector<std::uint8_t> Pixels8;
    std::vector<std::uint16_t> Pixels16;
    /// Empty when the file carries no colour description.
    TPictureColour Colour;
};
