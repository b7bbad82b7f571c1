// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBM_Bitmap;
class TPictureReader;

/// Windows bitmap (BMP) files, read and written by our own code.
///
/// The reader takes what Windows programs write: the OS/2 1.x core header and the OS/2 2.x,
/// Windows 3 (40 bytes), V2, V3, V4 and V5 info headers; 1, 4 and 8 bits per pixel with a
/// palette, 16 and 32 bits with the default layout or bit-field masks, 24 bits; RLE8 and RLE4;
/// bottom-up and top-down rows. Alpha is ignored. Pixels that an RLE picture skips are black.
/// Every function is reentrant. Failures raise EFileError (cannot open or write) or EImageError
/// (damaged, truncated, unsupported or oversized), each naming the file.

/// The size as read from a BMP file's headers, without reading its pixels.
struct TBmpInfo {
    int Width = 0;
    int Height = 0;
};

/// Reads only the headers: cheap for a picture of any size. Raises as LoadBmpFile for a file
/// whose headers it would refuse.
TBmpInfo ReadBmpInfo(const std::string& fileName);

/// Reads fileName into bitmap. Sizes beyond TBM_Bitmap's limits, and uncompressed pixel data
/// shorter than the header promises, are refused before anything is allocated.
void LoadBmpFile(const std::string& fileName, TBM_Bitmap& bitmap);

/// Whether data starts like a BMP file ("BM").
bool IsBmpData(const std::uint8_t* data, std::size_t size);

/// Reads fileName whole, as LoadBmpFile does, and serves it through the common reader
/// interface.
std::unique_ptr<TPictureReader> OpenBmpPicture(const std::string& fileName);

/// Writes bitmap as a bottom-up BMP of 32 bits per pixel (blue, green, red, 0), uncompressed.
/// An empty bitmap raises EImageError; a write failure removes the partial file and raises
/// EFileError.
void SaveBmpFile(const std::string& fileName, const TBM_Bitmap& bitmap);

/// Writes a BMP of 8 bits per pixel with a palette: palette holds 1 to 256 colours packed as
/// for TBM_Bitmap::SetPixel (R in bits 0-7, G 8-15, B 16-23), indices holds width x height
/// palette indices row by row from the top. Raises EImageError for a size outside 1 to
/// TBM_Bitmap::MaxDimension, a palette of the wrong length, too few or too many indices, or
/// an index beyond the palette; a write failure removes the partial file and raises EFileError.
void SaveBmp8File(const std::string& fileName, int width, int height,
                  const std::vector<std::uint32_t>& palette,
                  const std::vector<std::uint8_t>& indices);
