// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

/// Raises EImageError when the picture of item id in the HEIF file in bytes, or one that
/// libheif decodes with it (its grid tiles or overlay layers, its alpha), declares a frame that
/// the file cannot back: in its HEVC or AV1 stream, or as the canvas of a grid or overlay. Each
/// such frame is allocated whole before a pixel is decoded, whatever the picture's declared size
/// (ispe) says, so each is held to TBM_Bitmap's limits for a file of this size (CheckSize,
/// CheckDataSize) and may exceed its declared size by padding only: at most twice it per side,
/// rounded up to 64 (the largest HEVC coding block), which also covers an AV1 frame header's
/// own size. A picture without a declared size is held to the limits alone. Also raises when
/// the file has more data extents or coded units (NAL units, OBUs) than 65536.
void CheckHeifCodedFrames(std::string_view bytes, std::uint32_t id);
