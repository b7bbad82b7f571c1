// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

class TBM_Bitmap;

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

/// Decodes fileName into bitmap. scaleDenom 1 gives the full size; 2, 4 or 8 decode at that
/// fraction through the decoder's scaled DCT (each side divided and rounded up, so a 4000 x 3000
/// picture gives 500 x 375 at 8), which is much faster and is what thumbnails use. Other
/// values raise EImageError. Pictures beyond TBM_Bitmap's limits are refused before anything is
/// allocated. A truncated file raises rather than coming out half grey.
void LoadJpegFile(const std::string& fileName, TBM_Bitmap& bitmap, int scaleDenom = 1);

/// Decodes fileName once, at 1/scaleDenom as LoadJpegFile does, and resamples the upright
/// picture into every bitmap of dests at the size it already has while the rows arrive
/// (TBM_BandResampler): the pixels of LoadJpegFile followed by Resample into each, byte for
/// byte, holding only a band of rows instead of the whole picture. Raises as LoadJpegFile;
/// the dests are then partly filled.
void LoadJpegFileResampled(const std::string& fileName, const std::vector<TBM_Bitmap*>& dests,
                           int scaleDenom = 1);

/// The largest scaleDenom (8, 4 or 2) at which a width x height picture still decodes to at
/// least minWidth x minHeight, or 1 when none does.
int ReducedScaleDenom(int width, int height, int minWidth, int minHeight);

/// Encodes bitmap as a baseline (not progressive) colour JPEG with 4:2:0 chroma and the given
/// quality, 1 to 100 (clamped). An empty bitmap raises EImageError; on a write failure the
/// partial file is removed and EFileError raised.
void SaveJpegFile(const std::string& fileName, const TBM_Bitmap& bitmap, int quality);
