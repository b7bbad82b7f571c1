// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

class TBM_Bitmap;
class TPictureReader;

/// Reading pictures for use: whatever the format, the result is upright (orientation applied
/// once) and in sRGB (TColourConverter), transparency over white. Every function returns a
/// warning, empty when there is none: why a colour description was ignored, which leaves the
/// picture as if it had none. Failures raise as the readers do (EFileError, EImageError), each
/// naming the file. Reentrant: different pictures may be read on different threads at once.

/// Reads every row of reader into bitmap, upright and converted.
std::string LoadUpright(TPictureReader& reader, TBM_Bitmap& bitmap);

/// Reads every row of reader and resamples the upright picture into every bitmap of dests at
/// the size it already has (dests without pixels are left alone): the pixels of LoadUpright
/// followed by Resample into each, byte for byte. Every reader goes through TBM_BandResampler:
/// a reader that streams its rows then holds only a band of them, and one that decoded the
/// whole picture is spared an upright copy of it, which costs more than its resampling.
std::string ResamplePicture(TPictureReader& reader, const std::vector<TBM_Bitmap*>& dests);

/// Reads fileName, whatever its format (OpenPicture), into bitmap at its full size.
std::string LoadPicture(const std::string& fileName, TBM_Bitmap& bitmap);

/// Given the upright size of a picture, the bitmaps to fill, each already sized to its frame.
using TFramesFor = std::function<std::vector<TBM_Bitmap*>(int width, int height)>;

/// Reads fileName once and resamples it into the frames framesFor gives for its upright size
/// (ResamplePicture). fast lets the decoder work at a reduced scale where it can (JPEG: 1/2,
/// 1/4 or 1/8), keeping at least twice the largest frame: much faster, slightly different
/// pixels.
std::string LoadPictureResampled(const std::string& fileName, const TFramesFor& framesFor,
                                 bool fast);

/// A quick, small upright decode of fileName for a thumbnail whose longer side is side: a JPEG
/// at the decoder's one-eighth scale, a HEIF or AVIF from the thumbnail it carries when that
/// is at least side x side, any other picture at its full size.
std::string LoadPictureThumbnail(const std::string& fileName, int side, TBM_Bitmap& bitmap);
