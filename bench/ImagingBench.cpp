// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// What one gallery picture costs: a 24-megapixel baseline camera JPEG is decoded once, then
// resampled and encoded for each layer (here a 640 x 480 and a 140 x 140 frame). Decoding
// should dominate. The photo is synthetic (smooth shading, edges and fine grain, so that it
// compresses about as well as a camera picture), encoded once by our own encoder into a
// temporary file.

#include <cstdint>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "imaging/BM_Geometry.h"
#include "imaging/BM_Resample.h"
#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"

namespace {

constexpr int PhotoWidth = 6000;
constexpr int PhotoHeight = 4000;

TBM_Bitmap MakePhoto() {
    TBM_Bitmap photo;
    photo.SetSize(PhotoWidth, PhotoHeight);
    std::uint32_t seed = 12345;
    for (int y = 0; y < PhotoHeight; ++y) {
        std::uint8_t* row = photo.ScanLine(y);
        for (int x = 0; x < PhotoWidth; ++x, row += 4) {
            seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
            const int grain = static_cast<int>(seed % 17) - 8;
            // Sky above a horizon, a ground texture below it and a few hard-edged blocks.
            const bool ground = y > 2400 + (x % 1500) / 6;
            const bool block = (x / 700 + y / 500) % 5 == 0 && x % 700 > 200;
            int r = ground ? 90 + (x * 7 + y * 3) % 60 : 120 + y / 40;
            int g = ground ? 110 + (x * 3 + y * 11) % 50 : 160 + y / 50;
            int b = ground ? 60 + (x + y) % 40 : 220 - y / 30;
            if (block)
                r = 200, g = 80, b = 40;
            const auto clamp = [](int v) {
                return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            };
            row[0] = clamp(r + grain), row[1] = clamp(g + grain), row[2] = clamp(b + grain),
            row[3] = 0;
        }
    }
    return photo;
}

// The decoded photo and its JPEG file, made once for all benchmarks.
struct TPhoto {
    TBM_Bitmap Bitmap;
    std::string FileName;

    TPhoto()
        : Bitmap(MakePhoto()) {
        FileName = (std::filesystem::temp_directory_path() /
                    ("kelvo-bench-" + std::to_string(getpid()) + ".jpg"))
                       .string();
        SaveJpegFile(FileName, Bitmap, 92);
    }
    ~TPhoto() { std::filesystem::remove(FileName); }
};

const TPhoto& Photo() {
    static const TPhoto photo;
    return photo;
}

TRect Fit(int frameWidth, int frameHeight) {
    return FitRect({0, 0, frameWidth - 1, frameHeight - 1},
                   {0, 0, PhotoWidth - 1, PhotoHeight - 1});
}

void BM_Resample(benchmark::State& state) {
    const TBM_Bitmap& source = Photo().Bitmap;
    const TRect target = Fit(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const int threads = static_cast<int>(state.range(2));
    TBM_Bitmap dest;
    for (auto _ : state) {
        Resample(source, dest, target.Right + 1, target.Bottom + 1, threads);
        benchmark::DoNotOptimize(dest.ScanLine(0));
    }
    state.SetLabel(std::to_string(target.Right + 1) + " x " + std::to_string(target.Bottom + 1));
}
BENCHMARK(BM_Resample)
    ->ArgNames({"frameW", "frameH", "threads"})
    ->Args({640, 480, 1})
    ->Args({140, 140, 1})
    ->Args({640, 480, 2})
    ->Unit(benchmark::kMillisecond);

void BM_JpegDecode(benchmark::State& state) {
    const std::string& fileName = Photo().FileName;
    const int scaleDenom = static_cast<int>(state.range(0));
    TBM_Bitmap bitmap;
    for (auto _ : state) {
        LoadJpegFile(fileName, bitmap, scaleDenom);
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
    state.SetLabel(std::to_string(std::filesystem::file_size(fileName) / 1000) + " kB, " +
                   std::to_string(bitmap.Width()) + " x " + std::to_string(bitmap.Height()));
}
BENCHMARK(BM_JpegDecode)->ArgName("scaleDenom")->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

void BM_JpegEncode640x480(benchmark::State& state) {
    TBM_Bitmap small;
    Resample(Photo().Bitmap, small, 640, 480);
    const std::string fileName = Photo().FileName + ".out.jpg";
    for (auto _ : state)
        SaveJpegFile(fileName, small, 80);
    std::filesystem::remove(fileName);
}
BENCHMARK(BM_JpegEncode640x480)->Unit(benchmark::kMillisecond);

// Everything a decoded picture costs for a gallery of two layers; compare with BM_JpegDecode/1.
void BM_TwoLayers(benchmark::State& state) {
    const TBM_Bitmap& source = Photo().Bitmap;
    const std::string fileName = Photo().FileName + ".layer.jpg";
    TBM_Bitmap dest;
    for (auto _ : state) {
        for (const TRect target : {Fit(640, 480), Fit(140, 140)}) {
            Resample(source, dest, target.Right + 1, target.Bottom + 1);
            SaveJpegFile(fileName, dest, 80);
        }
    }
    std::filesystem::remove(fileName);
}
BENCHMARK(BM_TwoLayers)->Unit(benchmark::kMillisecond);

} // namespace
