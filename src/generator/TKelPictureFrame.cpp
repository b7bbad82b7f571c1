// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPictureFrame.h"

#include "imaging/BM_Geometry.h"
#include "imaging/PictureFormat.h"
#include "model/TKelLayer.h"

namespace {

// The picture for a frame of frameWidth x frameHeight: the source fitted into it, a frame side
// of 0 taking the source's.
TRect Fit(int frameWidth, int frameHeight, const TRect& source) {
    TRect frame{0, 0, frameWidth - 1, frameHeight - 1};
    if (frame.Right < 0)
        frame.Right = source.Right;
    if (frame.Bottom < 0)
        frame.Bottom = source.Bottom;
    return FitRect(frame, source);
}

} // namespace

std::vector<TKelPictureFrame> PictureFrames(const TKelLayer& layer, int width, int height) {
    const TRect source{0, 0, width - 1, height - 1};
    const TRect first = Fit(layer.PictureWidth(), layer.PictureHeight(), source);
    std::vector<TKelPictureFrame> frames{{1, first.Right + 1, first.Bottom + 1}};
    for (const int density : layer.Densities()) {
        if (density == 1)
            continue;
        // A frame side of 0 stays 0: the source's own size, which is the cap anyway.
        TRect fitted = Fit(layer.PictureWidth() * density, layer.PictureHeight() * density, source);
        if (fitted.Right > source.Right || fitted.Bottom > source.Bottom)
            fitted = source;
        const TKelPictureFrame& last = frames.back();
        if (fitted.Right + 1 <= last.Width && fitted.Bottom + 1 <= last.Height)
            continue;
        frames.push_back({density, fitted.Right + 1, fitted.Bottom + 1});
    }
    return frames;
}

TKelPictureFrame PlaceholderFrame(const TKelLayer& layer) {
    constexpr int fallbackSide = 140;
    return {1, layer.PictureWidth() > 0 ? layer.PictureWidth() : fallbackSide,
            layer.PictureHeight() > 0 ? layer.PictureHeight() : fallbackSide};
}
