// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/KelErrors.h"

/// The frame a coded stream declares, which its decoder allocates before it decodes a pixel,
/// and the largest frame the stream may still switch to (an AV1 frame header may replace the
/// sequence's size by any that its bits can hold). Zero when the stream declares none.
struct TCodedFrame {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
    std::int64_t MaxWidth = 0;
    std::int64_t MaxHeight = 0;

    /// Widens this frame, side by side, to cover other as well.
    void Cover(const TCodedFrame& other) {
        Width = std::max(Width, other.Width);
        Height = std::max(Height, other.Height);
        MaxWidth = std::max(MaxWidth, other.MaxWidth);
        MaxHeight = std::max(MaxHeight, other.MaxHeight);
    }
};

/// Counts one unit (NAL unit, OBU) of a coded stream against the units left; raises EImageError
/// when none are, so that a file of countless tiny units takes no longer than a normal one.
inline void CountCodedUnit(std::int64_t& units) {
    if (--units < 0)
        throw EImageError("The coded picture has too many units");
}
