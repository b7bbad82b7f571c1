// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Incremental gallery runs: what is kept, rewritten and removed, and that the folder always ends
// as one fresh run into an empty folder leaves it.
#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/FileUtils.h"
#include "generator/TKelGalleryRun.h"
#include "generator/TKelRunRecord.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "model/TKelPicture.h"
#include "model/TKelProject.h"
#include "support/GalleryFixture.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectoryList.h"

namespace fs = std::filesystem;

namespace {

// Where each file is and when it was written: a rewritten file has a new inode.
using Snapshot = std::map<std::string, std::pair<ino_t, std::int64_t>>;

Snapshot Take(const std::string& dir) {
    Snapshot snapshot;
    for (const std::string& file : FilesBelow(dir)) {
        struct stat status {};
        ::stat((dir + file).c_str(), &status);
        snapshot[file] = {status.st_ino,
                          status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec};
    }
    return snapshot;
}

// The files of after that are new or were written since before.
std::vector<std::string> Written(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> files;
    for (const auto& [file, identity] : after) {
        const auto old = before.find(file);
        if (old == before.end() || old->second != identity)
            files.push_back(file);
    }
    return files;
}

std::map<std::string, std::string> Contents(const std::string& dir) {
    std::map<std::string, std::string> contents;
    for (const std::string& file : FilesBelow(dir))
        contents[file] = kelvo::ReadFileBytes(dir + file);
    return contents;
}

int Count(const std::vector<std::string>& files, std::string_view part) {
    return static_cast<int>(std::count_if(files.begin(), files.end(), [&](const auto& f) {
        return f.find(part) != std::string::npos;
    }));
}

// Two layouts: "Standard" with an overview page and a page per photo,
// "Other" with one page of pictures and a style sheet; four photos of different sizes.
class IncrementalRun : public testing::Test {
protected:
    void SetUp() override {
        tmp.write("Layouts/Standard/index.html",
                  "<img src=\"#kel_picture_filename def_cols=2 def_rows=1 def_width=16 "
                  "def_height=12 def_directory=thumbs#\" alt=\"#kel_picture_title#\">"
                  "#kel_page_next#");
        tmp.write("Layouts/Standard/large.html",
                  "<img src=\"#kel_picture_filename def_width=40 def_height=30 "
                  "def_directory=photos#\">");
        tmp.write("Layouts/Other/gallery.html",
                  "<table><tr><td><img src=\"#kel_picture_filename def_width=20 def_height=20 "
                  "def_directory=pics#\"></td></tr></table>");
        tmp.write("Layouts/Other/css/site.css", "img { border: 0 }");
        directories.Load(tmp.dir() + "Layouts/");
        project.Layouts().LoadFromDirectories(directories);
        project.Layouts().SetActiveLayout("Standard");
        for (int i = 0; i < 4; ++i) {
            const std::string file = tmp.dir() + "src/p" + std::to_string(i) + ".jpg";
            WritePatternPhoto(file, 80 + 10 * i, 60);
            project.Pictures().CreatePicture()->SetFileName(file);
        }
    }

    TKelGalleryRun::TStatus Run(const std::string& outDir, TCustomProgress* progress = nullptr,
                                bool fast = false) {
        run.Jobs = 2;
        run.Fast = fast;
        run.Progress = progress;
        return run.Execute(project, outDir);
    }

    // The output folder holds exactly what a fresh run into an empty folder writes.
    void ExpectSameAsFreshRun(bool fast = false) {
        const std::string fresh = tmp.dir() + "fresh" + std::to_string(++freshRuns) + "/";
        TKelGalleryRun other;
        other.Fast = fast;
        ASSERT_EQ(other.Execute(project, fresh), TKelGalleryRun::TStatus::Done);
        auto contents = Contents(out);
        contents.erase("mine.txt");
        contents.erase("thumbs/mine.jpg");
        const auto expected = Contents(fresh);
        std::vector<std::string> differing;
        for (const auto& [file, bytes] : contents)
            if (!expected.count(file) || expected.at(file) != bytes)
                differing.push_back(file);
        for (const auto& [file, bytes] : expected)
            if (!contents.count(file))
                differing.push_back(file);
        EXPECT_EQ(differing, std::vector<std::string>());
    }

    TempDir tmp;
    TKelPageDirectoryList directories;
    TKelProject project;
    TKelGalleryRun run;
    std::string out = tmp.dir() + "out/";
    int freshRuns = 0;
};

} // namespace

// Every edit rewrites only the files it changes, removes what is no longer made, leaves the
// user's own files alone, and ends with the folder of a fresh run.
TEST_F(IncrementalRun, SequenceOfEditsRewritesOnlyWhatChanged) {
    struct Step {
        const char* Name;
        std::function<void()> Edit;
        int PicturesWritten;
        int PagesWritten;
        int Removed;
        bool Fast = false;
    };
    const std::string p2 = tmp.dir() + "src/p2.jpg";
    TKelPicture& third = *project.Pictures().GetPicture(2);
    const Step steps[] = {
        {"FirstRun", [] {}, 8, 8, 0},
        {"Unchanged", [] {}, 0, 0, 0},
        {"SourceTouched",
         [&] { fs::last_write_time(p2, fs::last_write_time(p2) + std::chrono::hours(1)); }, 0, 0,
         0},
        // The same size with other bytes (the JFIF density): only the content hash tells.
        {"SourceChanged",
         [&] { kelvo::WriteFileBytes(p2, kelvo::ReadFileBytes(p2).replace(14, 1, "\x07")); }, 2, 0,
         0},
        {"OutputEdited", [&] { tmp.write("out/thumbs/p1_index.jpg", "edited"); }, 1, 0, 0},
        {"TitleChanged", [&] { third.SetTitle("Harbour"); }, 0, 1, 0},
        {"LayerQuality",
         [&] {
             project.Layouts().GetActiveLayout()->Layers().FindLayer("index")->SetPictureQuality(
                 50);
         },
         4, 0, 0},
        {"PictureUnchecked", [&] { third.SetChecked(false); }, 0, 2, 2 + 2},
        {"FastMode", [] {}, 6, 0, 0, true},
        // A fast decode picks its scale for all the layers made together: both are redone.
        {"FastLayerQuality",
         [&] {
             project.Layouts().GetActiveLayout()->Layers().FindLayer("index")->SetPictureQuality(
                 60);
         },
         6, 0, 0, true},
        {"ExactAgain", [] {}, 6, 0, 0},
        {"AnotherLayout", [&] { project.Layouts().SetActiveLayout("Other"); }, 3, 2, 6 + 6},
        {"PictureRemoved",
         [&] { project.Pictures().RemovePicture(project.Pictures().GetPicture(0)); }, 0, 1, 1},
        {"HighDensity",
         [&] {
             project.Layouts().GetActiveLayout()->Layers().FindLayer("gallery")->SetDensities(
                 {1, 2});
         },
         2, 0, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Edit();
        const Snapshot before = Take(out);
        const auto recordIdentity = TKelRunRecord::Identify(out + TKelRunRecord::FileName);
        ASSERT_EQ(Run(out, nullptr, step.Fast), TKelGalleryRun::TStatus::Done);
        if (step.Name == std::string_view("Unchanged")) { // not even the record is written
            EXPECT_EQ(recordIdentity, TKelRunRecord::Identify(out + TKelRunRecord::FileName));
        }
        const auto written = Written(before, Take(out));
        EXPECT_EQ(Count(written, ".jpg"), step.PicturesWritten);
        EXPECT_EQ(static_cast<int>(written.size()) - Count(written, ".jpg"), step.PagesWritten)
            << testing::PrintToString(written);
        EXPECT_EQ(run.Counts.PicturesWritten, step.PicturesWritten);
        EXPECT_EQ(run.Counts.PagesWritten, step.PagesWritten);
        EXPECT_EQ(run.Counts.PicturesRemoved + run.Counts.PagesRemoved, step.Removed);
        EXPECT_TRUE(run.Failures.empty());
        ExpectSameAsFreshRun(step.Fast);
        if (step.Name == std::string_view("FirstRun")) {
            tmp.write("out/mine.txt", "the user's");
            tmp.write("out/thumbs/mine.jpg", "the user's");
        }
    }
    EXPECT_EQ(kelvo::ReadFileBytes(out + "mine.txt"), "the user's");
    EXPECT_EQ(kelvo::ReadFileBytes(out + "thumbs/mine.jpg"), "the user's");
    EXPECT_FALSE(fs::exists(out + "photos")); // emptied, and Kelvo made it
}

namespace {

// A run stopped after some steps: cancelled, or the process killed outright.
struct Interruption {
    const char* Name;
    bool Kill;
    int AfterSteps;
};

void PrintTo(const Interruption& interruption, std::ostream* out) {
    *out << interruption.Name;
}

class InterruptedRun : public IncrementalRun, public testing::WithParamInterface<Interruption> {};

class KillingProgress : public RecordingProgress {
public:
    void Step(int delta, const std::string& text) override {
        RecordingProgress::Step(delta, text);
        if (Total >= CancelAfterSteps)
            ::kill(::getpid(), SIGKILL);
    }
};

} // namespace

// A run cut short, then a full one: no stray, half-written or outdated file survives.
TEST_P(InterruptedRun, ThenRerunEqualsFreshRun) {
    const Interruption& interruption = GetParam();
    TKelPicture& second = *project.Pictures().GetPicture(1);
    second.SetChecked(false);
    ASSERT_EQ(Run(out), TKelGalleryRun::TStatus::Done);
    TKelLayer& index = *project.Layouts().GetActiveLayout()->Layers().FindLayer("index");
    const int quality = index.PictureQuality();
    index.SetPictureQuality(40);
    project.Layouts().GetActiveLayout()->Layers().FindLayer("large")->SetPictureWidth(36);
    second.SetChecked(true);
    WritePatternPhoto(tmp.dir() + "src/p3.jpg", 30, 30);

    if (interruption.Kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            KillingProgress progress;
            progress.CancelAfterSteps = interruption.AfterSteps;
            Run(out, &progress);
            ::_exit(0); // the kill came too late
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        // What a kill while writing a picture leaves beside it.
        tmp.write("out/thumbs/.p0_index.jpg.0a1b2c3d.tmp.jpg", "half");
    } else {
        RecordingProgress progress;
        progress.CancelAfterSteps = interruption.AfterSteps;
        ASSERT_EQ(Run(out, &progress), TKelGalleryRun::TStatus::Cancelled);
    }
    // Thumbnails the interrupted run rewrote must not pass for the ones recorded before it, and
    // the files it added are Kelvo's to remove.
    index.SetPictureQuality(quality);
    second.SetChecked(false);
    ASSERT_EQ(Run(out), TKelGalleryRun::TStatus::Done);
    EXPECT_TRUE(run.Failures.empty());
    ExpectSameAsFreshRun();
}

INSTANTIATE_TEST_SUITE_P(Runs, InterruptedRun,
                         testing::Values(Interruption{"CancelledInPages", false, 1},
                                         Interruption{"CancelledInPictures", false, 23},
                                         Interruption{"KilledInPages", true, 1},
                                         Interruption{"KilledInFirstPicture", true, 3},
                                         Interruption{"KilledLate", true, 52}),
                         [](const auto& info) { return std::string(info.param.Name); });

namespace {

struct DamagedRecord {
    const char* Name;
    std::function<void(const std::string& record)> Damage;
    /// Whether a run can write a new record in its place.
    bool Replaceable = true;
};

void PrintTo(const DamagedRecord& record, std::ostream* out) {
    *out << record.Name;
}

class DamagedRecordRun : public IncrementalRun,
                         public testing::WithParamInterface<DamagedRecord> {};

void Replace(const std::string& file, const std::string& from, const std::string& to) {
    std::string text = kelvo::ReadFileBytes(file);
    text.replace(text.find(from), from.size(), to);
    kelvo::WriteFileBytes(file, text);
}

} // namespace

// A record that cannot be trusted: a full run that removes nothing, not even what it names.
TEST_P(DamagedRecordRun, MeansFullRunThatDeletesNothing) {
    ASSERT_EQ(Run(out), TKelGalleryRun::TStatus::Done);
    const std::string victim = tmp.write("victim.txt", "keep me");
    GetParam().Damage(out + TKelRunRecord::FileName);
    project.Pictures().GetPicture(3)->SetChecked(false); // its files would be orphans

    ASSERT_EQ(Run(out), TKelGalleryRun::TStatus::Done);
    EXPECT_EQ(run.Counts.PicturesWritten, 6);
    EXPECT_EQ(run.Counts.PicturesKept, 0);
    EXPECT_EQ(run.Counts.PicturesRemoved + run.Counts.PagesRemoved, 0);
    EXPECT_TRUE(fs::exists(out + "thumbs/p3_index.jpg"));
    EXPECT_TRUE(fs::exists(out + "index_4.html"));
    EXPECT_EQ(kelvo::ReadFileBytes(victim), "keep me");
    // The record is whole again, and the next run knows what to keep.
    ASSERT_EQ(Run(out), TKelGalleryRun::TStatus::Done);
    EXPECT_EQ(run.Counts.PicturesKept, GetParam().Replaceable ? 6 : 0);
    EXPECT_EQ(run.Failures.size(), GetParam().Replaceable ? 0u : 2u); // the record, twice
}

INSTANTIATE_TEST_SUITE_P(
    Records, DamagedRecordRun,
    testing::Values(
        DamagedRecord{"Garbage", [](const std::string& r) { kelvo::WriteFileBytes(r, "\x01<no"); }},
        DamagedRecord{"Truncated",
                      [](const std::string& r) {
                          kelvo::WriteFileBytes(r, kelvo::ReadFileBytes(r).substr(0, 300));
                      }},
        DamagedRecord{"AnotherFolder",
                      [](const std::string& r) { Replace(r, "/out/\"", "/elsewhere/\""); }},
        DamagedRecord{"PathLeadsOut",
                      [](const std::string& r) {
                          Replace(r, "path=\"index.html\"", "path=\"../victim.txt\"");
                      }},
        DamagedRecord{"NumberMissing", [](const std::string& r) { Replace(r, "size=\"", "x=\""); }},
        DamagedRecord{"Unreadable",
                      [](const std::string& r) {
                          fs::remove(r);
                          fs::create_directory(r);
                      },
                      false}),
    [](const auto& info) { return std::string(info.param.Name); });
