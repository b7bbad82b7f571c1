// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class TBM_Bitmap;

/// A tEXt chunk of a PNG file: a keyword and its text, both Latin-1.
struct TPngText {
    std::string Key;
    std::string Text;
};

/// Writes bitmap to file as an 8-bit RGB PNG (the padding byte dropped) with texts before the
/// pixels. The pixels are stored, not compressed or filtered: the writer serves caches of small
/// pictures, where writing fast matters more than a third of the size. The file stays open and
/// is not flushed. Raises EImageError when libpng fails, for instance on a write error.
void WritePng(std::FILE* file, const TBM_Bitmap& bitmap, const std::vector<TPngText>& texts);
