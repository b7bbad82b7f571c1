// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes as a picture's ICC profile (two bytes: as H.273 primaries and transfer),
// with a few rows of every sample layout converted through it.
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "imaging/TColourConverter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TPictureColour colour;
    if (size == 2) {
        colour.HasNclx = true;
        colour.ColourPrimaries = data[0];
        colour.TransferCharacteristics = data[1];
    } else {
        colour.IccProfile.assign(data, data + size);
    }
    constexpr int Width = 37;
    std::vector<std::uint8_t> in(Width * 8), out(Width * 4);
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<std::uint8_t>(i * 29);
    for (const TSampleLayout layout : {TSampleLayout::Rgbx8, TSampleLayout::Rgbx16,
                                       TSampleLayout::Cmyk8, TSampleLayout::InvertedCmyk8}) {
        const TColourConverter converter(colour, layout);
        if (converter.Identity() && layout != TSampleLayout::Rgbx8)
            fuzz::Fail("only 8-bit RGB rows can pass unchanged");
        for (int row = 0; row < 3; ++row)
            converter.Convert(in.data(), out.data(), Width);
    }
    return 0;
}
