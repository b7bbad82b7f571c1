// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/TDecodedPicture.h"
#include "imaging/TPictureReader.h"

/// WebP files through libwebp: lossy and lossless pictures, with or without alpha (composited
/// over white), always 8 bits a sample. The orientation comes from the EXIF chunk and is not
/// applied; the ICCP chunk becomes the colour description. Animated files are refused.
/// Reentrant; nothing is printed.

/// True when the first bytes (size may be short) are this format's signature.
bool IsWebpData(const std::uint8_t* data, std::size_t size);
/// The stored size and orientation from the headers, without decoding the
/// pixels; Layout and Colour are left as they are. Raises as LoadWebpFile.
TPictureInfo ReadWebpInfo(const std::string& fileName);
/// Reads the headers and serves the rows through the common reader interface, handing them on
/// as the decoder completes them. Raises as LoadWebpFile, while reading the rows as well.
std::unique_ptr<TPictureReader> OpenWebpPicture(const std::string& fileName);
/// Decodes the whole picture. Raises EFileError (cannot open) or EImageError (damaged, truncated,
/// unsupported, oversized), each naming the file.
TDecodedPicture LoadWebpFile(const std::string& fileName);
