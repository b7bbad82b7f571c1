// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

/// The Orientation tag (1 to 8) of an EXIF block as a JPEG's APP1 marker holds it ("Exif", two
/// zero bytes, then the TIFF structure); 1 when the block has none, a bad one or is damaged.
/// Reentrant.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

/// The same for the bare TIFF structure that PNG's eXIf chunk holds.
int TiffExifOrientation(const std::uint8_t* data, std::size_t size);
