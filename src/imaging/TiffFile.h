// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/TDecodedPicture.h"
#include "imaging/TPictureReader.h"

/// TIFF files through libtiff: the first picture of the file, in strips or tiles. RGB, grey
/// and CMYK of 8 or 16 bits a sample (with or without alpha, interleaved or in planes) are read
/// at their own depth, 16 bits staying 16; palette pictures, YCbCr (JPEG-compressed) and depths
/// below 8 go through libtiff's RGBA interface and come out as 8 bits. CMYK becomes RGB by the
/// plain formula R = (1 - C)(1 - K) and so on. The Orientation tag is reported, not applied;
/// the ICC profile tag becomes the colour description. Reentrant; nothing is printed.

/// True when the first bytes (size may be short) are this format's signature.
bool IsTiffData(const std::uint8_t* data, std::size_t size);
/// The stored size and orientation from the headers, without decoding the
/// pixels; Layout and Colour are left as they are. Raises as LoadTiffFile.
TPictureInfo ReadTiffInfo(const std::string& fileName);
/// Reads the headers and serves the rows through the common reader interface, decoding them a
/// strip (or a row of tiles) at a time as they are asked for; the pictures that go through
/// libtiff's RGBA interface are decoded whole here. Raises as LoadTiffFile, while reading the
/// rows as well.
std::unique_ptr<TPictureReader> OpenTiffPicture(const std::string& fileName);
/// Decodes the whole picture. Raises EFileError (cannot open) or EImageError (damaged, truncated,
/// unsupported, oversized), each naming the file.
TDecodedPicture LoadTiffFile(const std::string& fileName);
