// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The JPEG loader with its EXIF orientation: headers only, the full picture and one eighth.
#include <cstdint>
#include <exception>

#include "FuzzSupport.h"
#include "base/KelErrors.h"
#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"

namespace {

// Larger pictures only cost time here: each decode of a few megapixels under the sanitizers
// takes seconds, and the code paths are those of small ones.
constexpr std::int64_t MaxFuzzPixels = 1 << 20;

int CeilDiv(int a, int b) {
    return (a + b - 1) / b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& file = fuzz::MemoryFile(fuzz::Bytes(data, size));
    TJpegInfo info;
    try {
        info = ReadJpegInfo(file);
    } catch (const EImageError&) {
        return 0;
    }
    if (info.Width <= 0 || info.Height <= 0 || info.Orientation < 1 || info.Orientation > 8)
        fuzz::Fail("ReadJpegInfo gave an impossible size or orientation");
    if (static_cast<std::int64_t>(info.Width) * info.Height > MaxFuzzPixels)
        return 0;

    for (const int scale : {1, 8}) {
        TBM_Bitmap bitmap;
        try {
            LoadJpegFile(file, bitmap, scale);
        } catch (const EImageError&) {
            continue;
        }
        // Every loaded picture has the upright size the headers promised.
        if (bitmap.Width() != CeilDiv(info.Width, scale) ||
            bitmap.Height() != CeilDiv(info.Height, scale))
            fuzz::Fail("decoded size differs from ReadJpegInfo");
    }
    return 0;
}
