// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PngWriter.h"

#include <new>
#include <string>

#include <png.h>

#include "base/KelErrors.h"
#include "imaging/PngGuard.h"
#include "imaging/TBM_Bitmap.h"

namespace {

struct TWriteHandles {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    ~TWriteHandles() {
        if (Png)
            png_destroy_write_struct(&Png, Info ? &Info : nullptr);
    }
};

// No exception may cross libpng's C frames: a failed append becomes a libpng error.
void Append(png_structp png, png_bytep data, std::size_t length) {
    bool appended = true;
    try {
        static_cast<std::string*>(png_get_io_ptr(png))
            ->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::bad_alloc&) {
        appended = false;
    }
    if (!appended)
        png_error(png, "Out of memory");
}

// Without a flush function of its own libpng would take the output for a FILE.
void Flush(png_structp) {}

} // namespace

std::string EncodePng(const TBM_Bitmap& bitmap, const std::vector<TPngText>& texts) {
    TPngError error{};
    TWriteHandles handles;
    handles.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngErrorExit, nullptr);
    if (handles.Png)
        handles.Info = png_create_info_struct(handles.Png);
    if (!handles.Info)
        throw EImageError("Out of memory");
    // libpng keeps pointers to the texts until it writes them; the strings outlive the call.
    std::vector<png_text> chunks(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = const_cast<char*>(texts[i].Key.c_str());
        chunks[i].text = const_cast<char*>(texts[i].Text.c_str());
        chunks[i].text_length = texts[i].Text.size();
    }
    png_structp png = handles.Png;
    png_infop info = handles.Info;
    const png_text* text = chunks.data();
    const int count = static_cast<int>(chunks.size());
    const TBM_Bitmap* pixels = &bitmap;
    std::string bytes;
    std::string* out = &bytes;
    if (!PngGuard(error, [png, info, out, text, count, pixels] {
            png_set_write_fn(png, out, Append, Flush);
            png_set_IHDR(png, info, static_cast<png_uint_32>(pixels->Width()),
                         static_cast<png_uint_32>(pixels->Height()), 8, PNG_COLOR_TYPE_RGB,
                         PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            // Filters only help a compressor; with stored pixels trying them is pure cost
            // (eight times the rest of the writing).
            png_set_compression_level(png, 0);
            png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
            if (count > 0)
                png_set_text(png, info, text, count);
            png_write_info(png, info);
            png_set_filler(png, 0, PNG_FILLER_AFTER); // drops the padding byte
            for (int y = 0; y < pixels->Height(); ++y)
                png_write_row(png, pixels->ScanLine(y));
            png_write_end(png, info);
        }))
        throw EImageError(error.Message);
    return bytes;
}
