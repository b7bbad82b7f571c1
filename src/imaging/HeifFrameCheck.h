// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

/// Raises EImageError when a picture that libheif decodes with the primary picture of the
/// HEIF file in bytes (its grid tiles, alpha, thumbnails) declares a frame that the file
/// cannot back: in its HEVC or AV1 stream, or as the canvas of a grid or overlay. Each such
/// frame is allocated whole before a pixel is decoded, whatever the picture's declared size
/// (ispe) says, so each is held to TBM_Bitmap's limits for a file of this size (CheckSize,
/// CheckDataSize) and may exceed its declared size by padding only: at most twice it per side,
/// rounded up to 64 (the largest HEVC coding block), which also covers an AV1 frame header's
/// own size. A picture without a declared size is held to the limits alone.
void CheckHeifCodedFrames(std::string_view bytes);
