// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

/// What a picture file says about the colours of its pixel values: an embedded ICC profile, or
/// the code points of ITU-T H.273 that HEIF and AVIF files may carry instead ("nclx"). A
/// picture that says nothing is untagged and taken as sRGB. Plain data, copied freely.
struct TPictureColour {
    /// The profile's bytes as stored in the file; empty when there is none.
    std::vector<std::uint8_t> IccProfile;
    /// True when the code points below were given (and no profile was).
    bool HasNclx = false;
    /// H.273 colour primaries (1 = BT.709/sRGB, 9 = BT.2020, 12 = Display P3); 2 = unspecified.
    int ColourPrimaries = 2;
    /// H.273 transfer characteristics (13 = sRGB, 16 = PQ, 18 = HLG); 2 = unspecified.
    int TransferCharacteristics = 2;

    bool Empty() const { return IccProfile.empty() && !HasNclx; }
};
