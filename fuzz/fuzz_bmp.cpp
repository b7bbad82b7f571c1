// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The BMP loader: every header kind, depth, palette, bit-field mask and RLE stream.
#include <cstdint>

#include "FuzzSupport.h"
#include "base/KelErrors.h"
#include "imaging/BmpFile.h"
#include "imaging/TBM_Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TBM_Bitmap bitmap;
    try {
        LoadBmpFile(fuzz::MemoryFile(fuzz::Bytes(data, size)), bitmap);
    } catch (const EImageError&) {
        return 0;
    }
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0)
        fuzz::Fail("a BMP loaded without pixels");
    return 0;
}
