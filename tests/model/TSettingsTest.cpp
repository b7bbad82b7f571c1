// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TSettings.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempDir.h"

namespace fs = std::filesystem;

// Layouts and Pictures come from beside the program, whether they exist or not, unless an
// installation's data folder has the Layouts; a parent folder given without delimiter gets one.
TEST(Settings, FoldersBesideOrInstalled) {
    TempDir tmp;
    const std::string bin = tmp.dir() + "app/bin";
    fs::create_directories(bin);
    {
        TSettings settings(bin, tmp.dir() + "t");
        EXPECT_EQ(settings.LayoutsDirectory(), bin + "/Layouts/");
        EXPECT_EQ(settings.PicturesDirectory(), bin + "/Pictures/");
    }
    tmp.write("app/share/kelvo/Layouts/Standard/index.html", "#kel_page_title#");
    {
        TSettings settings(bin, tmp.dir() + "t");
        EXPECT_EQ(settings.LayoutsDirectory(), tmp.dir() + "app/share/kelvo/Layouts/");
        EXPECT_EQ(settings.PicturesDirectory(), tmp.dir() + "app/share/kelvo/Pictures/");
    }
    // Layouts beside the program win over an installed copy.
    fs::create_directories(bin + "/Layouts");
    TSettings settings(bin + "/", tmp.dir() + "t");
    EXPECT_EQ(settings.LayoutsDirectory(), bin + "/Layouts/");
}

// Two settings objects (two running copies) get different private folders, created with
// their missing parents; each removes only its own, with its contents, and an older shared
// KelvoTmp folder is left alone.
TEST(Settings, PrivateTemporaryFolders) {
    TempDir tmp;
    const std::string parent = tmp.dir() + "missing/parent";
    const std::string shared = tmp.write("missing/parent/KelvoTmp/keep.txt", "x");
    std::string first;
    {
        TSettings a(tmp.dir(), parent);
        first = a.TempDirectory();
        {
            TSettings b(tmp.dir(), parent);
            EXPECT_NE(a.TempDirectory(), b.TempDirectory());
            EXPECT_EQ(b.TempDirectory().back(), '/');
            EXPECT_EQ(b.TempDirectory().rfind(parent + "/KelvoTmp-", 0), 0U);
            tmp.write(b.TempDirectory().substr(tmp.dir().size()) + "sub/page.html", "p");
        }
        EXPECT_TRUE(fs::is_directory(first));
        struct stat st {};
        ASSERT_EQ(::stat(first.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 077, 0U) << "readable by others";
    }
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(fs::exists(shared));
    int left = 0;
    for (const auto& entry : fs::directory_iterator(parent))
        left += entry.path().filename() == "KelvoTmp" ? 0 : 1;
    EXPECT_EQ(left, 0);
}

// The default constructor finds this test program's folder and honours TMPDIR.
TEST(Settings, DefaultsFromProgramAndTmpdir) {
    TempDir tmp;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", tmp.path().c_str(), 1);
    std::string temp;
    {
        TSettings settings;
        temp = settings.TempDirectory();
        EXPECT_EQ(temp.rfind(tmp.dir(), 0), 0U);
        EXPECT_TRUE(fs::exists(TSettings::ProgramDirectory() + "kelvo_model_tests"));
    }
    old ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    EXPECT_FALSE(fs::exists(temp));
}
