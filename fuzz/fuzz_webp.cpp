// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The WebP reader with its EXIF and ICCP chunks.
#include <cstdint>

#include <webp/decode.h>

#include "FuzzSupport.h"
#include "WholePictureCheck.h"
#include "base/KelErrors.h"
#include "imaging/WebpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A few bytes can declare a plain picture of many megapixels, which only costs time here.
    int width = 0, height = 0;
    if (WebPGetInfo(data, size, &width, &height) &&
        static_cast<std::int64_t>(width) * height > fuzz::MaxPicturePixels)
        return 0;
    const std::string& file = fuzz::MemoryFile(fuzz::Bytes(data, size));
    const auto headers = fuzz::ReadHeaders([&] { return ReadWebpInfo(file); });
    try {
        const TDecodedPicture picture = LoadWebpFile(file);
        fuzz::CheckHeaders(headers, picture);
        fuzz::CheckWholePicture(picture, 8);
    } catch (const EImageError&) {
    }
    return 0;
}
