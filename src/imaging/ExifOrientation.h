// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

/// The orientation tag (1 to 8) of an EXIF block, which starts either with "Exif\0\0" (as in
/// a JPEG's APP1 marker) or straight with the TIFF header (as in a WebP or PNG chunk); 1 when
/// the block has none, a bad one, or cannot be parsed. Never reads outside data.
int ExifOrientation(const std::uint8_t* data, std::size_t size);
