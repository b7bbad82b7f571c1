// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "imaging/TDecodedPicture.h"
#include "imaging/TPictureReader.h"

/// HEIF files through libheif: HEIC (HEVC), AVIF (AV1) and other HEIF pictures. The primary
/// picture is decoded, grid (tiled) pictures assembled, alpha composited over white; more than
/// 8 bits a sample (10, 12) come out as 16-bit samples scaled to the full range. libheif turns
/// and mirrors the picture by its irot/imir properties, so Orientation is always 1 and an EXIF
/// orientation inside the file is ignored: the picture is never turned twice. The colour
/// description is the file's ICC profile or its nclx code points. Reentrant; nothing is
/// printed.

/// True when the first bytes (size may be short) are this format's signature: an ftyp box
/// naming a HEIC, HEIF or AVIF brand.
bool IsHeifData(const std::uint8_t* data, std::size_t size);
/// The size of the primary picture as LoadHeifFile gives it (turned by irot, Orientation 1),
/// from the headers, without decoding the pixels; Layout and Colour are left as they are.
/// Raises as LoadHeifFile.
TPictureInfo ReadHeifInfo(const std::string& fileName);
/// Decodes the picture and serves its rows through the common reader interface from libheif's
/// own decoded image, without a copy of the whole. Raises as LoadHeifFile.
std::unique_ptr<TPictureReader> OpenHeifPicture(const std::string& fileName);
/// Decodes the whole picture. Raises EFileError (cannot open) or EImageError (damaged, truncated,
/// unsupported, oversized), each naming the file.
TDecodedPicture LoadHeifFile(const std::string& fileName);
/// The smallest thumbnail embedded for the primary picture that is at least minWidth x
/// minHeight (upright, as libheif turns it), decoded as OpenHeifPicture decodes the picture;
/// nullptr when the file has no such thumbnail. Raises as LoadHeifFile.
std::unique_ptr<TPictureReader> OpenHeifThumbnail(const std::string& fileName, int minWidth,
                                                  int minHeight);
/// The same thumbnail as one whole picture; nothing when the file has none.
std::optional<TDecodedPicture> LoadHeifThumbnail(const std::string& fileName, int minWidth,
                                                 int minHeight);
