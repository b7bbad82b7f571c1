// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// What a gallery run costs per picture in each format Kelvo reads, against the format
// library's own plain decode of the same files in the same run. For every file of the folders
// given: the library decodes it whole to RGB (libjpeg-turbo, libpng, libwebp, libheif,
// libtiff), and Kelvo does a run's work on it (LoadPictureResampled into a 640 x 480 and a
// 140 x 140 frame, each saved as a JPEG of quality 80). Each is the best of several rounds.
// With --read, Kelvo only reads each file into a full upright bitmap (LoadPicture): the
// readers' own cost, without resampling and saving.
// bench/formats-run.sh makes the folders and runs this; by hand:
//   build-release/bin/kelvo_formats_bench [--read] [rounds] folder...

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <libheif/heif.h>
#include <png.h>
#include <tiffio.h>
#include <webp/decode.h>

#include "base/FileUtils.h"
#include "imaging/BM_Geometry.h"
#include "imaging/JpegFile.h"
#include "imaging/LoadPicture.h"
#include "imaging/TBM_Bitmap.h"

namespace fs = std::filesystem;

namespace {

void DecodeJpeg(const std::string& file) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_RGBX;
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> pixels(std::size_t{info.output_width} * info.output_height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + std::size_t{info.output_scanline} * info.output_width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
}

void DecodePng(const std::string& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_file(&image, file.c_str());
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
}

void DecodeWebp(const std::string& file) {
    const std::string bytes = kelvo::ReadFileBytes(file);
    int width = 0, height = 0;
    WebPFree(WebPDecodeRGB(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                           &width, &height));
}

void DecodeHeif(const std::string& file) {
    heif_context* context = heif_context_alloc();
    heif_context_read_from_file(context, file.c_str(), nullptr);
    heif_image_handle* handle = nullptr;
    heif_context_get_primary_image_handle(context, &handle);
    heif_image* image = nullptr;
    heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(context);
}

void DecodeTiff(const std::string& file) {
    TIFF* tiff = TIFFOpen(file.c_str(), "r");
    std::vector<std::uint8_t> strip(static_cast<std::size_t>(TIFFStripSize(tiff)));
    for (tstrip_t s = 0; s < TIFFNumberOfStrips(tiff); ++s)
        TIFFReadEncodedStrip(tiff, s, strip.data(), static_cast<tmsize_t>(strip.size()));
    TIFFClose(tiff);
}

// A gallery run's work on one picture: two frames, each written as a JPEG.
void RunPicture(const std::string& file, const std::string& outDir) {
    TBM_Bitmap large, small;
    LoadPictureResampled(
        file,
        [&](int width, int height) {
            const TRect source{0, 0, width - 1, height - 1};
            const TRect l = FitRect({0, 0, 639, 479}, source);
            const TRect s = FitRect({0, 0, 139, 139}, source);
            large.SetSize(l.Right + 1, l.Bottom + 1);
            small.SetSize(s.Right + 1, s.Bottom + 1);
            return std::vector<TBM_Bitmap*>{&large, &small};
        },
        false);
    SaveJpegFile(outDir + "large.jpg", large, 80);
    SaveJpegFile(outDir + "small.jpg", small, 80);
}

double BestSeconds(int rounds, const std::vector<std::string>& files,
                   const std::function<void(const std::string&)>& work) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& file : files)
            work(file);
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    int first = 1;
    const bool readOnly = argc > first && std::string(argv[first]) == "--read";
    if (readOnly)
        ++first;
    int rounds = 3;
    if (argc > first && std::atoi(argv[first]) > 0)
        rounds = std::atoi(argv[first++]);
    const std::map<std::string, void (*)(const std::string&)> decoders{
        {".jpg", DecodeJpeg},  {".png", DecodePng},   {".webp", DecodeWebp},
        {".heic", DecodeHeif}, {".avif", DecodeHeif}, {".tif", DecodeTiff}};
    const std::string outDir = fs::temp_directory_path().string() + "/kelvo-formats-bench-";
    std::printf("%-28s %5s %12s %12s %7s\n", "folder", "files", "library ms", "Kelvo ms", "ratio");
    for (int i = first; i < argc; ++i) {
        std::vector<std::string> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(argv[i]))
            files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
        if (files.empty())
            continue;
        const auto decoder = decoders.find(fs::path(files.front()).extension().string());
        if (decoder == decoders.end())
            continue;
        const double library = BestSeconds(rounds, files, decoder->second);
        const double kelvo = BestSeconds(rounds, files, [&](const std::string& file) {
            if (readOnly) {
                TBM_Bitmap bitmap;
                LoadPicture(file, bitmap);
            } else {
                RunPicture(file, outDir);
            }
        });
        const double n = static_cast<double>(files.size());
        std::printf("%-28s %5zu %12.1f %12.1f %7.2f\n", fs::path(argv[i]).filename().c_str(),
                    files.size(), 1000 * library / n, 1000 * kelvo / n, kelvo / library);
    }
    return 0;
}
