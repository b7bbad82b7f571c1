// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPictureReader;

/// The one place that knows which picture formats Kelvo reads. A file's format is found from
/// its first bytes, never from its name: a PNG named "photo.jpg" is read as a PNG. Names only
/// decide which files are offered in dialogs and collected from folders. Reentrant.

enum class TPictureFormat { None, Jpeg, Bmp, Png, Webp, Tiff, Heif };

/// The format whose signature data starts with; None when no reader knows it.
TPictureFormat SniffPictureFormat(const std::uint8_t* data, std::size_t size);

/// The format of the file's content. When no reader knows the content (or the file cannot be
/// read), a file named like a JPEG or BMP still goes to that reader, so that its message says
/// what is wrong; anything else is None.
TPictureFormat PictureFormatOf(const std::string& fileName);

/// Opens fileName with the reader for its format and reads its headers. Raises EImageError
/// when no reader knows it, otherwise as that reader does.
std::unique_ptr<TPictureReader> OpenPicture(const std::string& fileName);

/// A picture's upright size (width and height swapped for the quarter-turn orientations).
struct TPictureSize {
    int Width = 0;
    int Height = 0;
};

/// The upright size of the picture in fileName, from its headers alone. Raises as OpenPicture.
TPictureSize ReadPictureSize(const std::string& fileName);

/// A kind of picture file as the open dialog offers it: its name and its extensions
/// (lower case, without the dot).
struct TPictureFamily {
    std::string Name;
    std::vector<std::string> Extensions;
};

/// Every kind Kelvo reads, one entry per family of formats.
const std::vector<TPictureFamily>& PictureFamilies();

/// Whether fileName ends in one of the extensions of PictureFamilies, compared without regard
/// to the case of A-Z: the files offered and collected as pictures.
bool HasPictureExtension(const std::string& fileName);
