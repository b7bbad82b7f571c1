// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "imaging/TPictureReader.h"

/// Turns the rows a reader delivers into sRGB rows of TBM_Bitmap's layout (R, G, B, padding).
///
/// A picture with a colour description (an ICC profile, or H.273 primaries and transfer) is
/// converted with Little CMS: the perceptual intent, or relative colorimetric where the profile
/// has no perceptual table. A picture without one, or with an sRGB description, is not
/// transformed: 8-bit RGB stays as it is, 16 bits are rounded to 8 and CMYK goes through the
/// plain ink formula, so its result does not depend on Little CMS at all. A description that
/// cannot be used (a damaged profile, one for another colour space, HDR transfer) is treated
/// as absent and Warning says why.
///
/// Building a transform is costly, so they are kept per distinct description for the life of
/// the program; made on any thread, one object is used by one thread at a time.
class TColourConverter {
public:
    TColourConverter(const TPictureColour& colour, TSampleLayout layout);
    ~TColourConverter();
    TColourConverter(const TColourConverter&) = delete;
    TColourConverter& operator=(const TColourConverter&) = delete;

    /// True when rows of layout Rgbx8 are already what Convert would make of them.
    bool Identity() const { return m_layout == TSampleLayout::Rgbx8 && !m_transform; }
    /// Why the colour description was ignored; empty when it was used or there was none.
    const std::string& Warning() const { return m_warning; }
    /// Converts width pixels of the layout at in into R, G, B, padding at out. in and out may
    /// be the same buffer when the layout has four bytes a pixel.
    void Convert(const std::uint8_t* in, std::uint8_t* out, int width) const;

    struct TTransform;

private:
    TSampleLayout m_layout;
    std::shared_ptr<const TTransform> m_transform;
    std::string m_warning;
};
