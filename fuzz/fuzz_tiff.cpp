// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The TIFF reader: its own strip and tile reading, and libtiff's RGBA interface.
#include <cstdint>

#include <tiffio.h>

#include "FuzzSupport.h"
#include "WholePictureCheck.h"
#include "base/KelErrors.h"
#include "imaging/TiffFile.h"

namespace {

// The pixels the first directory declares; 0 when libtiff cannot open it.
std::int64_t DeclaredPixels(const std::string& file) {
    TIFF* tif = TIFFOpen(file.c_str(), "rm");
    if (!tif)
        return 0;
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFClose(tif);
    return static_cast<std::int64_t>(width) * height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)quiet;
    const std::string& file = fuzz::MemoryFile(fuzz::Bytes(data, size));
    // A few bytes can declare a plain picture of many megapixels, which only costs time here.
    if (DeclaredPixels(file) > fuzz::MaxPicturePixels)
        return 0;
    const auto headers = fuzz::ReadHeaders([&] { return ReadTiffInfo(file); });
    try {
        const TDecodedPicture picture = LoadTiffFile(file);
        fuzz::CheckHeaders(headers, picture);
        fuzz::CheckWholePicture(picture, 16);
    } catch (const EImageError&) {
    }
    return 0;
}
