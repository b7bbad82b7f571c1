// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The HEIF reader (HEIC and AVIF), the primary picture and its embedded thumbnail.
#include <cstdint>
#include <memory>

#include <libheif/heif.h>

#include "FuzzSupport.h"
#include "WholePictureCheck.h"
#include "base/KelErrors.h"
#include "imaging/HeifFile.h"

namespace {

// A quarter of the other targets' limit: the decoders keep several reference frames, each up to
// twice the declared size a side, and under the sanitizers a megapixel picture's took a run
// within 90 MB of the memory limit.
constexpr std::int64_t MaxHeifPixels = fuzz::MaxPicturePixels / 4;

// The pixels the primary picture declares; 0 when libheif cannot parse the file.
std::int64_t DeclaredPixels(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                              heif_context_free);
    heif_image_handle* handle = nullptr;
    if (heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr).code !=
            heif_error_Ok ||
        heif_context_get_primary_image_handle(context.get(), &handle).code != heif_error_Ok)
        return 0;
    const std::int64_t pixels =
        static_cast<std::int64_t>(heif_image_handle_get_ispe_width(handle)) *
        heif_image_handle_get_ispe_height(handle);
    heif_image_handle_release(handle);
    return pixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A few bytes can declare a plain picture of many megapixels, which only costs time here.
    if (DeclaredPixels(data, size) > MaxHeifPixels)
        return 0;
    const std::string& file = fuzz::MemoryFile(fuzz::Bytes(data, size));
    const auto headers = fuzz::ReadHeaders([&] { return ReadHeifInfo(file); });
    try {
        const TDecodedPicture picture = LoadHeifFile(file);
        fuzz::CheckHeaders(headers, picture, false);
        fuzz::CheckWholePicture(picture, 16);
        if (const auto thumbnail = LoadHeifThumbnail(file, 1, 1))
            fuzz::CheckWholePicture(*thumbnail, 16);
    } catch (const EImageError&) {
    }
    return 0;
}
