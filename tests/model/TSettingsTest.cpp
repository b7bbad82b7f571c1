// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TSettings.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempDir.h"

namespace fs = std::filesystem;

// An installed program, without Layouts beside it, takes the installation's data folder.
TEST(Settings, FoldersBesideOrInstalled) {
    TempDir tmp;
    const std::string bin = tmp.dir() + "app/bin";
    const std::string share = tmp.dir() + "app/share/kelvo/";
    fs::create_directories(bin);
    const auto folders = [&](const std::string& program) {
        const TSettings settings(program, tmp.dir() + "t");
        return settings.LayoutsDirectory() + "|" + settings.PicturesDirectory();
    };
    EXPECT_EQ(folders(bin), bin + "/Layouts/|" + bin + "/Pictures/");
    tmp.write("app/share/kelvo/Layouts/Standard/index.html", "#kel_page_title#");
    EXPECT_EQ(folders(bin), share + "Layouts/|" + share + "Pictures/");
    fs::create_directories(bin + "/Layouts");
    EXPECT_EQ(folders(bin + "/"), bin + "/Layouts/|" + bin + "/Pictures/");
}

// Each running copy removes only its own folder; an older shared KelvoTmp is left alone.
TEST(Settings, PrivateTemporaryFolders) {
    TempDir tmp;
    const std::string parent = tmp.dir() + "missing/parent";
    const std::string shared = tmp.write("missing/parent/KelvoTmp/keep.txt", "x");
    {
        TSettings a(tmp.dir(), parent);
        {
            TSettings b(tmp.dir(), parent);
            EXPECT_NE(a.TempDirectory(), b.TempDirectory());
            EXPECT_EQ(b.TempDirectory().rfind(parent + "/KelvoTmp-", 0), 0U);
            tmp.write(b.TempDirectory().substr(tmp.dir().size()) + "sub/page.html", "p");
        }
        struct stat st {};
        ASSERT_EQ(::stat(a.TempDirectory().c_str(), &st), 0); // b left it alone
        EXPECT_EQ(st.st_mode & 077, 0U) << "readable by others";
    }
    EXPECT_TRUE(fs::exists(shared));
    EXPECT_EQ(std::distance(fs::directory_iterator(parent), {}), 1); // KelvoTmp alone
}

// The default constructor finds this test program's folder and honours TMPDIR.
TEST(Settings, DefaultsFromProgramAndTmpdir) {
    TempDir tmp;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", tmp.path().c_str(), 1);
    const TSettings settings;
    old ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    EXPECT_EQ(settings.TempDirectory().rfind(tmp.dir(), 0), 0U);
    EXPECT_TRUE(fs::exists(TSettings::ProgramDirectory() + "kelvo_model_tests"));
}
