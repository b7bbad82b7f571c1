// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelGalleryRun.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "base/KelErrors.h"
#include "model/TKelPicture.h"
#include "model/TKelProject.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectoryList.h"

namespace {

// A project over a layout folder with three layers, as the output dialog and kelvo-cli have it.
class GalleryRun : public testing::Test {
protected:
    void SetUp() override {
        tmp.write("Layouts/Standard/index.html",
                  "<table><tr><td><a href=\"#kel_page_filename layer=large#\"><img "
                  "src=\"#kel_picture_filename def_cols=4 def_rows=2 def_width=40 def_height=40#\">"
                  "</a></td></tr></table>#kel_page_next#");
        tmp.write("Layouts/Standard/large.html", "<img src=\"#kel_picture_filename def_width=80 "
                                                 "def_height=60#\">");
        tmp.write("Layouts/Standard/notes.html", "#kel_page_text#");
        tmp.write("Layouts/Standard/style.css", "body {}");
        directories.Load(tmp.dir() + "Layouts/");
        project.Layouts().LoadFromDirectories(directories);
        for (int i = 0; i < 12; ++i) {
            const std::string file = tmp.write("src/p" + std::to_string(i) + ".bmp", "");
            project.Pictures().CreatePicture()->SetFileName(file);
        }
    }

    TempDir tmp;
    TKelPageDirectoryList directories;
    TKelProject project;
};

} // namespace

// The progress range is P x L x 10 + L and a run fills it exactly: one step per layer for the
// pages, ten per picture and layer for the pictures (here the pictures are empty files that
// fail to load, so only the pages count).
TEST_F(GalleryRun, ProgressRangeAndPages) {
    RecordingProgress progress;
    TKelGalleryRun run;
    run.Progress = &progress;
    bool started = false;
    run.OnStarted = [&] { started = true; };
    EXPECT_EQ(run.Execute(project, tmp.dir() + "out/"), TKelGalleryRun::TStatus::Done);
    EXPECT_TRUE(started);
    EXPECT_EQ(progress.Max, 363);
    EXPECT_EQ(progress.Total, 3);
    EXPECT_EQ(progress.Position, 0); // reset at the end
    EXPECT_EQ(run.StartPage, tmp.dir() + "out/index.html");
    EXPECT_TRUE(std::filesystem::exists(tmp.dir() + "out/style.css"));
    EXPECT_TRUE(std::filesystem::exists(tmp.dir() + "out/large_12.html"));
    EXPECT_EQ(run.Failures.size(), 12u); // the empty files
}

// Missing files lose their check mark; with no checked picture left, nothing is written.
TEST_F(GalleryRun, NoPicturesAndNoLayout) {
    for (TKelPicture* picture : project.Pictures())
        std::filesystem::remove(picture->FileName());
    TKelGalleryRun run;
    EXPECT_EQ(run.Execute(project, tmp.dir() + "out/"), TKelGalleryRun::TStatus::NoPictures);
    EXPECT_FALSE(project.Pictures().GetPicture(0)->Checked());
    EXPECT_TRUE(project.History().IsModified());
    EXPECT_FALSE(std::filesystem::exists(tmp.dir() + "out"));

    TKelProject empty;
    empty.Pictures().CreatePicture()->SetFileName(tmp.write("src/x.jpg", ""));
    EXPECT_EQ(run.Execute(empty, tmp.dir() + "out/"), TKelGalleryRun::TStatus::NoLayout);
}

// A cancel is reported as such, and the pages written before it stay.
TEST_F(GalleryRun, Cancelled) {
    RecordingProgress progress;
    progress.CancelAfterSteps = 2; // the pages of the first layer, then stop
    TKelGalleryRun run;
    run.Progress = &progress;
    EXPECT_EQ(run.Execute(project, tmp.dir() + "out/"), TKelGalleryRun::TStatus::Cancelled);
    EXPECT_TRUE(std::filesystem::exists(tmp.dir() + "out/index_2.html"));
    EXPECT_FALSE(std::filesystem::exists(tmp.dir() + "out/large.html"));
}

// The output sub-folder may not lead out of the output folder.
TEST(GalleryRunOutput, SubFolderMustStayInside) {
    EXPECT_EQ(TKelGalleryRun::OutputDirectory("/web/", "holiday/"), "/web/holiday/");
    EXPECT_EQ(TKelGalleryRun::OutputDirectory("/web/", ""), "/web/");
    EXPECT_THROW(TKelGalleryRun::OutputDirectory("/web/", "../etc/"), EFileError);
    EXPECT_THROW(TKelGalleryRun::OutputDirectory("/web/", "/etc/"), EFileError);
}
