// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

class TKelLayer;

/// One picture a gallery run writes of a source for a layer: its pixel density and its size in
/// pixels. The 1x picture's size is also the size, in CSS pixels, that pages give every
/// density of it. The page and the picture generator both take the frames from PictureFrames,
/// so the pages' srcset lists exactly the pictures that are written.
struct TKelPictureFrame {
    int Density = 1;
    int Width = 0;
    int Height = 0;
};

/// The pictures of a width x height (upright) source for layer: first the 1x picture, fitted
/// into the layer's frame (a side of 0 taking the source's; a small source is enlarged); then,
/// for each further density d of the layer, the picture fitted into the frame times d but never
/// larger than the source, left out when it would be no larger than the one before it (a
/// small source thus gets fewer). Raises EMathError for a source or frame one pixel wide or
/// high, which cannot be fitted.
std::vector<TKelPictureFrame> PictureFrames(const TKelLayer& layer, int width, int height);

/// The placeholder a preview shows for a picture not generated: the layer's frame, 140 pixels
/// where a side is 0 (a placeholder has no size of its own), density 1.
TKelPictureFrame PlaceholderFrame(const TKelLayer& layer);
