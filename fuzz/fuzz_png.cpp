// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG reader with its eXIf and iCCP chunks, through orientation and colour conversion.
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "WholePictureCheck.h"
#include "base/KelErrors.h"
#include "imaging/LoadPicture.h"
#include "imaging/PngFile.h"
#include "imaging/TBM_Bitmap.h"
#include "imaging/TPictureReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& file = fuzz::MemoryFile(fuzz::Bytes(data, size));
    try {
        const std::unique_ptr<TPictureReader> reader = OpenPngPicture(file);
        const TPictureInfo& info = reader->Info();
        if (info.Width <= 0 || info.Height <= 0 || info.Orientation < 1 || info.Orientation > 8)
            fuzz::Fail("the headers gave an impossible size or orientation");
        if (static_cast<std::int64_t>(info.Width) * info.Height > fuzz::MaxPicturePixels)
            return 0;
        const bool swap = info.Orientation >= 5;
        const int width = swap ? info.Height : info.Width;
        const int height = swap ? info.Width : info.Height;
        TBM_Bitmap bitmap;
        LoadUpright(*reader, bitmap);
        if (bitmap.Width() != width || bitmap.Height() != height)
            fuzz::Fail("the picture differs from the size its headers gave");
    } catch (const EImageError&) {
    }
    return 0;
}
