// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TPictureReader;

/// PNG files through libpng: 1, 2, 4, 8 and 16 bits, palette, grey and alpha, plain or
/// interlaced. Rows come as R, G, B, padding, at 16 bits a sample for 16-bit files so that a
/// colour conversion starts from every bit; grey is widened to RGB and transparency goes over
/// white. The orientation comes from an eXIf chunk before the pixel data, the colour
/// description from iCCP (gAMA, cHRM and sRGB chunks are not used). Plain files stream their
/// rows; interlaced ones are decoded whole, as their passes need. Failures raise EFileError or
/// EImageError naming the file; nothing is printed. Reentrant.

/// Whether data starts with the PNG signature.
bool IsPngData(const std::uint8_t* data, std::size_t size);

/// Opens fileName and reads everything up to the pixel data. Sizes beyond TBM_Bitmap's limits,
/// or too large for the file's size (TBM_Bitmap::CheckDataSize), are refused here.
std::unique_ptr<TPictureReader> OpenPngPicture(const std::string& fileName);
