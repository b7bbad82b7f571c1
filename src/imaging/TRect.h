// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

/// An inclusive pixel rectangle: Right and Bottom are the last column and row, so a W x H
/// picture is 0, 0, W - 1, H - 1 and the spans Right - Left and Bottom - Top are one less than
/// the pixel counts. A plain value, passed and returned by copy.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    friend bool operator==(const TRect&, const TRect&) = default;
};
