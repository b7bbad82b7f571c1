// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelProject.h"

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "base/FileUtils.h"
#include "support/GalleryFixture.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectoryList.h"

namespace fs = std::filesystem;

namespace {

const std::string GoldenFile = std::string(KELVO_MODEL_TEST_DATA) + "golden.kel";

// Everything a save keeps, in one comparable text.
std::string Snapshot(const TKelProject& project) {
    std::string s = project.FileName() + "|" + project.OutputDirectory() + "|" +
                    project.OutputSubDirectory() + "|" + project.Layouts().ActiveLayout() + "|";
    s += DescribeLayouts(project.Layouts());
    for (const TKelPicture* p : project.Pictures())
        s += "P:" + p->FileName() + "," + p->Title() + "," + p->Comment() + "," +
             (p->Checked() ? "1" : "0") + "|";
    for (const std::string& entry : project.History().Items())
        s += "H:" + entry;
    return s;
}

// A project with real pictures, one unchecked, and layouts read from template folders.
struct Sample {
    Sample() {
        tmp.write("Layouts/Standard/index.html",
                  "<table><tr><td>#kel_picture_filename def_cols=4 def_rows=2#</td></tr></table>"
                  "#kel_page_next#");
        tmp.write("Layouts/Classic/index.html", "#kel_page_title#");
        directories.Load(tmp.dir() + "Layouts/");
        project.Layouts().LoadFromDirectories(directories);
        project.Layouts().SetActiveLayout("Classic");
        project.Layouts().FindLayout("Standard")->Layers().FindLayer("index")->SetColCount(3);
        for (const char* name : {"c.jpg", "a.jpg", "b.jpg"})
            project.Pictures().CreatePicture()->SetFileName(
                tmp.write(std::string("photos/") + name, "x"));
        project.Pictures().GetPicture(1)->SetTitle("Title A");
        project.Pictures().GetPicture(2)->SetChecked(false);
        project.SetOutputDirectory(tmp.dir() + "web");
        project.SetOutputSubDirectory("gallery");
    }
    TempDir tmp;
    TKelPageDirectoryList directories;
    TKelProject project;
};

} // namespace

// Saving clears the modified state; loading keeps everything and leaves it clear.
TEST(Project, SaveAndLoadRoundTrip) {
    Sample s;
    const std::string file = s.tmp.dir() + "p.kel";
    ASSERT_TRUE(s.project.SaveToFile(file));
    EXPECT_FALSE(s.project.History().IsModified());
    EXPECT_EQ(s.project.FileName(), file);

    // Loading with thumbnails notifies once per picture, with the project's own list.
    TKelProject loaded;
    int calls = 0;
    ASSERT_TRUE(loaded.LoadFromFile(file, true, [&](TKelPictureList& sender, TKelPicture&) {
        EXPECT_EQ(&sender, &loaded.Pictures());
        ++calls;
    }));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(Snapshot(loaded), Snapshot(s.project)); // with the empty history
    EXPECT_EQ(loaded.Pictures().GetPicture(0)->Date(), s.project.Pictures().GetPicture(0)->Date());
}

// The hand-written file loads with its escapes read as meant and saves again to the byte.
TEST(Project, GoldenFileByteForByte) {
    TKelProject project;
    ASSERT_TRUE(project.LoadFromFile(GoldenFile));
    EXPECT_EQ(Snapshot(project),
              GoldenFile +
                  "|/srv/www/|holiday/|Standard|L:Classic|L:Standard detail,,,1,1,0,0,100, "
                  "index,Tom & Jerry <2> \"live\",Line 1\r\n\tLine 2,-4,3,640,480,75,"
                  "pics/small|P:/nonexistent-kelvo/Beach & Sea <1>.jpg,Beach & \"Sea\" "
                  "<1>,Größe: 5 × 3,0|P:/nonexistent-kelvo/b.jpg,,,0|");
    TempDir tmp;
    ASSERT_TRUE(project.SaveToFile(tmp.dir() + "copy.kel"));
    EXPECT_EQ(kelvo::ReadFileBytes(tmp.dir() + "copy.kel"), kelvo::ReadFileBytes(GoldenFile));
}

// A new project writes the smallest file and reads it back unmodified.
TEST(Project, EmptyProjectFile) {
    TempDir tmp;
    const std::string file = tmp.dir() + "new.kel";
    ASSERT_TRUE(TKelProject().SaveToFile(file));
    EXPECT_EQ(kelvo::ReadFileBytes(file),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<kelvo version=\"1.00\">\r\n"
              "  <project output_directory=\"\" output_subdirectory=\"\">\r\n"
              "    <layouts active_layout=\"\"/>\r\n"
              "    <picture_infos/>\r\n"
              "  </project>\r\n"
              "</kelvo>\r\n");
    TKelProject loaded;
    ASSERT_TRUE(loaded.LoadFromFile(file));
    EXPECT_EQ(Snapshot(loaded), file + "||||");
}

// The project stays as it was and still records its changes where it did.
TEST(Project, FailedLoadLeavesProjectUntouched) {
    for (const char* content :
         {static_cast<const char*>(nullptr), "\xFF\xD8\xFF\xE0\x01\x02JFIF binary",
          "<kelvo version=\"1.00\"><other/></kelvo>",
          "<kelvo><project><layouts active_layout=\"x\"/></project></kelvo>",
          "<kelvo><project><picture_infos/></project></kelvo>",
          "<kelvo><project><layouts><layout name=\"a\"/></layouts><picture_infos/></project>"
          "</kelvo>",
          "<kelvo><project><layouts/><picture_infos><picture_info title=\"t\"/>"
          "</picture_infos></project></kelvo>"}) {
        SCOPED_TRACE(content ? content : "missing file");
        Sample s;
        const std::string before = Snapshot(s.project);
        if (content)
            s.tmp.write("bad.kel", content);
        EXPECT_FALSE(s.project.LoadFromFile(s.tmp.dir() + "bad.kel"));
        EXPECT_EQ(Snapshot(s.project), before);
        s.project.Pictures().GetPicture(0)->SetTitle("changed");
        EXPECT_EQ(s.project.History().Items().back(), "SetTitle");
        s.project.Layouts().GetLayout(0)->Layers().GetLayer(0)->SetColCount(99);
        EXPECT_EQ(s.project.Layouts().History().Items().back(), "SetColCount");
    }
}

// Root name and version are not checked; relative picture paths follow the project file.
TEST(Project, LoadsWhatItFinds) {
    TempDir tmp;
    const std::string sunset = tmp.write("Pictures/Sunset.jpg", "x");
    tmp.write("Examples/demo.kel",
              "<gallery version=\"9\"><project output_directory=\"/web\">"
              "<layouts/><picture_infos><picture_info><filename>../Pictures/Sunset.jpg"
              "</filename></picture_info></picture_infos></project></gallery>");
    TKelProject project;
    ASSERT_TRUE(project.LoadFromFile(tmp.dir() + "Examples/demo.kel"));
    EXPECT_EQ(Snapshot(project), tmp.dir() + "Examples/demo.kel|/web|||P:" + sunset + ",,,1|");
}

// Folder names are case-sensitive here; the sub-folder is relative and native-separated.
TEST(Project, OutputFolders) {
    TKelProject project;
    for (const char* folder : {"/srv/Web", "/srv/Web/", "/srv/web/"})
        project.SetOutputDirectory(folder);
    EXPECT_EQ(project.OutputDirectory(), "/srv/web/");
    EXPECT_EQ(project.History().Items().size(), 2U);
    for (const auto& [value, stored] : {std::pair{"\\holiday", "holiday/"},
                                        {"", ""},
                                        {"web\\gallery2", "web/gallery2/"},
                                        {"a/b/", "a/b/"},
                                        {"/", ""}}) {
        TKelProject fresh;
        fresh.SetOutputSubDirectory(value);
        EXPECT_EQ(fresh.OutputSubDirectory(), stored) << value;
        EXPECT_EQ(fresh.History().IsModified(), *stored != '\0') << value;
    }
}

// A missing folder, or a disk that "fills up" before the rename, leaves no temporary file.
TEST(Project, FailedSaveKeepsOldFile) {
    Sample s;
    const std::string file = s.tmp.dir() + "p.kel";
    ASSERT_TRUE(s.project.SaveToFile(file));
    const std::string old = kelvo::ReadFileBytes(file);
    s.project.SetOutputSubDirectory("other");
    EXPECT_FALSE(s.project.SaveToFile(s.tmp.dir() + "missing/p.kel"));
    EXPECT_EQ(s.project.FileName(), file);
    for (int i = 0; i < 200; ++i)
        s.project.Pictures().CreatePicture()->SetFileName(s.tmp.dir() + std::to_string(i));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = old.size() + 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved1 = s.project.SaveToFile(file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved1);
    EXPECT_EQ(kelvo::ReadFileBytes(file), old);
    EXPECT_TRUE(s.project.History().IsModified());
    EXPECT_EQ(std::distance(fs::directory_iterator(s.tmp.path()), {}), 3); // Layouts, photos
}
