// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelPageDirectory.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "template/TKelPageDirectoryList.h"

namespace {

std::vector<std::string> Relative(const std::vector<std::string>& paths, const std::string& base) {
    std::vector<std::string> result;
    for (const auto& p : paths)
        result.push_back(p.substr(base.size()));
    return result;
}

} // namespace

// A layout folder sorts its files into template pages and files to copy, and records its
// folder tree in pre-order; the order never depends on the file system.
TEST(PageDirectory, ScansPagesOtherFilesAndFolders) {
    TempDir tmp;
    tmp.write("Simple/index.html", "<h1>#kel_page_title#</h1>");
    tmp.write("Simple/about.html", "<p>no tags</p>");
    tmp.write("Simple/notes.txt", "#kel_page_title#");
    tmp.write("Simple/style.css", "body {}");
    tmp.write("Simple/images/logo.gif", "GIF89a");
    tmp.write("Simple/Big.HTM", "#KEL_PAGE_TEXT#");
    tmp.write("Simple/sub/Deep/page.shtml", "#kel_page_title#");
    tmp.write("Simple/.git/index.html", "#kel_page_title#");
    tmp.write("Simple/.hidden.html", "#kel_page_title#");
    // Template detection needs both the page extension and the marker, in any letter case.
    tmp.write("Simple/a.shtm", "x\n#Kel");
    tmp.write("Simple/b.htm", "# kel");
    tmp.write("Simple/html", "#kel");

    TKelPageDirectory dir;
    const std::string path = tmp.dir() + "Simple/";
    dir.Load(path);
    EXPECT_EQ(dir.Path, path);
    EXPECT_EQ(dir.GetName(), "Simple");
    EXPECT_EQ(Relative(dir.Directories, path),
              (std::vector<std::string>{"", "images/", "sub/", "sub/Deep/"}));
    EXPECT_EQ(Relative(dir.OtherFiles, path),
              (std::vector<std::string>{"about.html", "b.htm", "html", "images/logo.gif",
                                        "notes.txt", "style.css"}));
    ASSERT_EQ(dir.PageFiles.Count(), 4);
    EXPECT_EQ(dir.PageFiles.Items(0)->GetName(), "a");
    EXPECT_EQ(dir.PageFiles.Items(1)->GetName(), "Big");
    EXPECT_EQ(dir.PageFiles.Items(2)->GetName(), "index");
    EXPECT_EQ(dir.PageFiles.Items(3)->FileName, path + "sub/Deep/page.shtml");
    EXPECT_EQ(dir.PageFiles.Items(4), nullptr);
}

// The layouts root: one directory per visible sub-folder, in case-insensitive name order; files
// in the root are ignored and the list is not cleared first. A missing folder is an empty
// layout; a symbolic link back up the tree must not recurse forever.
TEST(PageDirectory, ListLoadsEveryLayoutFolder) {
    TempDir tmp;
    tmp.write("standard/index.html", "#kel_page_title#");
    tmp.write("Classic/index.html", "#kel_page_title#");
    tmp.write(".svn/index.html", "#kel_page_title#");
    tmp.write("readme.txt", "x");
    std::filesystem::create_directory_symlink(tmp.path() / "Classic",
                                              tmp.path() / "Classic" / "again");
    TKelPageDirectoryList list;
    list.Load(tmp.dir());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->GetName(), "Classic");
    EXPECT_EQ(list.Items(0)->Directories.size(), 1u);
    EXPECT_EQ(list.Items(0)->PageFiles.Count(), 1);
    EXPECT_EQ(list.Items(1)->GetName(), "standard");
    EXPECT_EQ(list.Items(1)->Path, tmp.dir() + "standard/");
    list.Load(tmp.dir());
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(4), nullptr);

    TKelPageDirectory missing;
    missing.Load(tmp.dir() + "Gone/");
    EXPECT_TRUE(missing.Directories.empty());
    EXPECT_EQ(missing.GetName(), "Gone");
}
