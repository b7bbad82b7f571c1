// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Page generation must stay linear in the number of pictures: the time per picture of a
// gallery of 10,000 pictures should be that of one of 1,000. Uses the shipped Standard layout
// (overview pages plus a page per picture); the pictures are empty files, as pages never read
// them.

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "generator/TKelPageGenerator.h"
#include "model/TKelLayout.h"
#include "model/TKelPicture.h"
#include "model/TKelPictureList.h"
#include "template/TKelPageDirectory.h"

namespace fs = std::filesystem;

namespace {

void BM_GalleryPages(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const fs::path work =
        fs::temp_directory_path() / ("kelvo-page-bench-" + std::to_string(getpid()));
    fs::create_directories(work / "src");
    TKelPictureList list;
    for (int i = 0; i < count; ++i) {
        const fs::path file = work / "src" / ("photo " + std::to_string(i) + ".jpg");
        std::ofstream{file};
        list.CreatePicture()->SetFileName(file.string());
    }
    TKelPictureRefs pictures;
    pictures.Assign(list, false, true);
    TKelPageDirectory directory;
    directory.Load(KELVO_LAYOUTS_DIR "Standard/");
    TKelLayout layout;
    layout.LoadFromDirectory(&directory);
    const std::string outDir = (work / "out").string() + "/";

    for (auto _ : state) {
        TKelPageGenerator pages;
        pages.CreateDirectories(layout, outDir);
        pages.Generate(pictures, layout, outDir);
        if (!pages.Failures.empty())
            state.SkipWithError("a page could not be written");
    }
    state.counters["per_picture"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    fs::remove_all(work);
}
BENCHMARK(BM_GalleryPages)
    ->ArgName("pictures")
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace
