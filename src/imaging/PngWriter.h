// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

class TBM_Bitmap;

/// A tEXt chunk of a PNG file: a keyword and its text, both Latin-1.
struct TPngText {
    std::string Key;
    std::string Text;
};

/// The bytes of bitmap as an 8-bit RGB PNG file (the padding byte dropped) with texts before
/// the pixels. The pixels are stored, not compressed or filtered: the encoder serves caches of
/// small pictures, where writing fast matters more than a third of the size. Raises
/// EImageError when libpng fails.
std::string EncodePng(const TBM_Bitmap& bitmap, const std::vector<TPngText>& texts);
