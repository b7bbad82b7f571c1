// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "base/FileUtils.h"
#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

int Cli(const std::string& arguments) {
    const int status = std::system(("'" KELVO_CLI "' " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

std::vector<std::string> FilesBelow(const std::string& dir) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), dir).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

// Catches a fast mode that changes what a gallery holds: the same files under the same names and
// every picture the same size as in exact mode; only pixels may differ, and must somewhere, or
// the option never reached the decoder.
TEST(KelvoCliFast, SameNamesAndSizesAsExact) {
    const TempDir tmp;
    tmp.write("Layouts/Two/index.html", "<table><tr><td><img src=\"#kel_picture_filename "
                                        "def_width=60 def_height=60#\"></td></tr></table>");
    tmp.write("Layouts/Two/photo.html",
              "<img src=\"#kel_picture_filename def_width=200 def_height=150#\">");
    // Large enough for every reduced scale, portrait, odd-sized, and one enlarged.
    for (const auto& [name, width, height] : {std::tuple{"wide.jpg", 1600, 1200},
                                              {"tall.jpg", 300, 700},
                                              {"odd.jpg", 1001, 333},
                                              {"small.jpg", 120, 90}}) {
        TBM_Bitmap bitmap;
        bitmap.SetSize(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.SetPixel(x, y, static_cast<std::uint32_t>(x * 3 ^ y * 5) * 0x010203u);
        fs::create_directories(tmp.dir() + "photos");
        bitmap.SaveToFile(tmp.dir() + "photos/" + name, 85);
    }
    const std::string project = Quote(tmp.dir() + "p.kel");
    const std::string layouts = " --layouts " + Quote(tmp.dir() + "Layouts");
    ASSERT_EQ(Cli("new " + project + layouts + " --layout Two " + Quote(tmp.dir() + "photos")), 0);
    ASSERT_EQ(Cli("generate " + project + layouts + " -q -o " + Quote(tmp.dir() + "exact")), 0);
    ASSERT_EQ(Cli("generate " + project + layouts + " -q --fast -o " + Quote(tmp.dir() + "fast")),
              0);

    const std::vector<std::string> files = FilesBelow(tmp.dir() + "exact");
    ASSERT_EQ(files, FilesBelow(tmp.dir() + "fast"));
    int pictures = 0;
    int differing = 0;
    for (const std::string& file : files) {
        if (fs::path(file).extension() != ".jpg")
            continue;
        ++pictures;
        const TJpegInfo exact = ReadJpegInfo(tmp.dir() + "exact/" + file);
        const TJpegInfo fast = ReadJpegInfo(tmp.dir() + "fast/" + file);
        EXPECT_EQ(fast.Width, exact.Width) << file;
        EXPECT_EQ(fast.Height, exact.Height) << file;
        differing += kelvo::ReadFileBytes(tmp.dir() + "exact/" + file) !=
                     kelvo::ReadFileBytes(tmp.dir() + "fast/" + file);
    }
    EXPECT_EQ(pictures, 8);
    EXPECT_GT(differing, 0);
}
