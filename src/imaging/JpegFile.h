// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TBM_Bitmap;
class TPictureReader;

/// JPEG files through libjpeg(-turbo).
///
/// Decoding uses the accurate integer DCT and smooth (fancy) upsampling; greyscale, RGB,
/// YCbCr, CMYK and YCCK pictures all come out as RGB. The EXIF orientation tag (1 to 8) is
/// applied, so the bitmap always holds the picture upright: a portrait photo from a phone has
/// Height > Width. Every function is reentrant (no shared state) and may run concurrently on
/// different files and bitmaps. Failures raise EFileError (cannot open or write the file) or
/// EImageError (damaged, truncated, unsupported or oversized picture), each naming the file;
/// nothing is printed.

/// Size and orientation as read from a JPEG file's headers, without decoding the picture.
struct TJpegInfo {
    /// The upright size (width and height swapped for orientations 5 to 8).
    int Width = 0;
    int Height = 0;
    /// The EXIF orientation, 1 (as stored) to 8; 1 when the file has none or a bad one.
    int Orientation = 1;
};

/// Reads only the headers: cheap even for a large photo.
TJpegInfo ReadJpegInfo(const std::string& fileName);

/// Whether data starts like a JPEG file (a start-of-image marker followed by another marker).
bool IsJpegData(const std::uint8_t* data, std::size_t size);

/// Opens fileName and reads its headers: orientation, an ICC profile spread over APP2 markers,
/// and the size at 1/scaleDenom (1, 2, 4 or 8; other values raise EImageError). Rows come
/// as R, G, B, padding, or as CMYK for CMYK and YCCK files. Pictures beyond TBM_Bitmap's
/// limits, or too large for the file's size, are refused here. Reading the rows raises on a
/// truncated file rather than leaving rows grey.
std::unique_ptr<TPictureReader> OpenJpegPicture(const std::string& fileName, int scaleDenom = 1);

/// Decodes fileName into bitmap, upright and in sRGB (LoadUpright). scaleDenom 1 gives the
/// full size; 2, 4 or 8 decode at that fraction through the decoder's scaled DCT (each side
/// divided and rounded up, so a 4000 x 3000 picture gives 500 x 375 at 8), which is much
/// faster. Other values raise EImageError.
void LoadJpegFile(const std::string& fileName, TBM_Bitmap& bitmap, int scaleDenom = 1);

/// The largest scaleDenom (8, 4 or 2) at which a width x height picture still decodes to at
/// least minWidth x minHeight, or 1 when none does.
int ReducedScaleDenom(int width, int height, int minWidth, int minHeight);

/// Encodes bitmap as a baseline (not progressive) colour JPEG with 4:2:0 chroma and the given
/// quality, 1 to 100 (clamped). An empty bitmap raises EImageError; on a write failure the
/// partial file is removed and EFileError raised.
void SaveJpegFile(const std::string& fileName, const TBM_Bitmap& bitmap, int quality);
