// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "FuzzSupport.h"
#include "base/KelErrors.h"
#include "imaging/TDecodedPicture.h"
#include "imaging/TPictureReader.h"

namespace fuzz {

/// Larger pictures only cost time under the sanitizers; their code paths are those of small
/// ones.
constexpr std::int64_t MaxPicturePixels = 1 << 20;

/// What every whole picture a reader returns must hold: a size, an orientation of 1 to 8, and
/// exactly three samples a pixel in the vector of its depth (8, or 16 where maxBits allows).
inline void CheckWholePicture(const TDecodedPicture& picture, int maxBits) {
    const auto samples =
        static_cast<std::uint64_t>(picture.Width) * static_cast<std::uint64_t>(picture.Height) * 3;
    const bool deep = picture.BitsPerSample == 16;
    if (picture.Width <= 0 || picture.Height <= 0)
        Fail("a decoded picture without pixels");
    if (picture.Orientation < 1 || picture.Orientation > 8)
        Fail("an orientation outside 1 to 8");
    if ((picture.BitsPerSample != 8 && !deep) || picture.BitsPerSample > maxBits)
        Fail("an unexpected sample depth");
    if ((deep ? picture.Pixels16.size() : picture.Pixels8.size()) != samples ||
        !(deep ? picture.Pixels8.empty() : picture.Pixels16.empty()))
        Fail("the samples do not match the size");
}

/// What read gives from the headers alone; nothing when it refuses them.
inline std::optional<TPictureInfo> ReadHeaders(const std::function<TPictureInfo()>& read) {
    try {
        return read();
    } catch (const EImageError&) {
        return std::nullopt;
    }
}

/// Headers must be read wherever the picture is, and agree with it on the orientation and (unless
/// sameSize is false, where the decoder has the last word on the size) the size.
inline void CheckHeaders(const std::optional<TPictureInfo>& headers, const TDecodedPicture& picture,
                         bool sameSize = true) {
    if (!headers)
        Fail("the headers refused where the picture was read");
    if (headers->Orientation != picture.Orientation ||
        (sameSize && (headers->Width != picture.Width || headers->Height != picture.Height)))
        Fail("the headers disagree with the picture");
}

} // namespace fuzz
