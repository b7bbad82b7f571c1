// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class TKelLayer;

/// One file that a gallery run makes from a source picture, for one layer.
struct TKelPictureOutput {
    const TKelLayer* Layer = nullptr;
    /// The full path, in link form.
    std::string FileName;
    /// Everything besides the source that decides the file's bytes, as one text.
    std::string Key;
    /// Pixels per CSS pixel.
    int Density = 1;
    /// Whether the run writes it; false when the file there is still current.
    bool Write = true;
};
