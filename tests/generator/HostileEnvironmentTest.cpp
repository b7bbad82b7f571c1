// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Gallery runs, also with a full disk, vanishing folders, pipes, giant pictures and hostile names.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "generator/TKelGalleryRun.h"
#include "generator/TKelPageGenerator.h"
#include "imaging/JpegFile.h"
#include "imaging/LoadPicture.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TKelLayer.h"
#include "model/TKelPicture.h"
#include "model/TKelProject.h"
#include "support/GalleryFixture.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectoryList.h"

namespace fs = std::filesystem;

namespace {

// A hang is the fault looked for, and a blocked thread cannot be joined: end the whole program.
void WithinSeconds(int seconds, const std::function<void()>& work) {
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(seconds)) == std::future_status::timeout) {
        std::fprintf(stderr, "hung for %d s\n", seconds);
        std::_Exit(1);
    }
    done.get();
}

// Counts the progress steps and does something to the disk once the pictures begin.
class SabotagingProgress : public RecordingProgress {
public:
    void Step(int delta, const std::string& text) override {
        RecordingProgress::Step(delta, text);
        if (delta == 10 && Sabotage) // the first picture is decoded, the rest are not
            std::exchange(Sabotage, nullptr)();
    }
    std::function<void()> Sabotage;
};

// Four 80 x 60 photos; an overview of two pages and a page per picture: 6 pages, 8 pictures.
class GalleryRun : public testing::Test {
protected:
    void SetUp() override {
        // Padding makes every page larger than the disk-full limit below.
        const std::string padding = "<!--" + std::string(2000, '-') + "-->\n";
        tmp.write("Layouts/Standard/index.html",
                  padding + "<table><tr><td><img src=\"#kel_picture_filename def_cols=2 "
                            "def_rows=1 def_width=16 def_height=12#\"></td></tr></table>"
                            "#kel_page_next#");
        tmp.write("Layouts/Standard/large.html",
                  padding + "<img src=\"#kel_picture_filename def_width=80 def_height=60#\">");
        directories.Load(tmp.dir() + "Layouts/");
        project.Layouts().LoadFromDirectories(directories);
        for (int i = 0; i < 4; ++i) {
            const std::string file = tmp.dir() + "src/p" + std::to_string(i) + ".jpg";
            WritePatternPhoto(file, 80, 60);
            project.Pictures().CreatePicture()->SetFileName(file);
        }
    }

    std::vector<TKelGenerationFailure> Run(const std::string& outDir,
                                           TCustomProgress* progress = nullptr) {
        TKelGalleryRun run;
        run.Jobs = 1;
        run.Progress = progress;
        WithinSeconds(
            60, [&] { EXPECT_EQ(run.Execute(project, outDir), TKelGalleryRun::TStatus::Done); });
        for (const auto& failure : run.Failures)
            EXPECT_FALSE(failure.Message.empty()) << failure.FileName;
        return run.Failures;
    }

    TempDir tmp;
    TKelPageDirectoryList directories;
    TKelProject project;
    RecordingProgress progress;
};
class Hostile : public GalleryRun {};

int CountEnding(const std::vector<TKelGenerationFailure>& failures, std::string_view ending) {
    return static_cast<int>(std::ranges::count_if(
        failures, [&](const auto& failure) { return failure.FileName.ends_with(ending); }));
}

} // namespace

// Progress: a step per layer for the pages and ten per picture and layer; failures are the run's.
TEST_F(GalleryRun, ProgressRangeAndPages) {
    TKelGalleryRun run;
    run.Progress = &progress;
    bool started = false;
    run.OnStarted = [&] { started = true; };
    tmp.write("src/p1.jpg", ""); // fails to load
    EXPECT_EQ(run.Execute(project, tmp.dir() + "out/"), TKelGalleryRun::TStatus::Done);
    EXPECT_TRUE(started);
    EXPECT_EQ(progress.Max, 4 * 2 * 10 + 2);
    EXPECT_EQ(progress.Total, 3 * 2 * 10 + 2); // the empty file fails before its steps
    EXPECT_EQ(progress.Position, 0);           // reset at the end
    EXPECT_EQ(run.StartPage, tmp.dir() + "out/index.html");
    EXPECT_TRUE(fs::exists(tmp.dir() + "out/large_4.html"));
    ASSERT_EQ(run.Failures.size(), 1u);
    EXPECT_EQ(run.Failures[0].FileName, tmp.dir() + "src/p1.jpg");
}

// Missing files lose their check mark; with no checked picture left, nothing is written.
TEST_F(GalleryRun, NoPicturesAndNoLayout) {
    fs::remove_all(tmp.dir() + "src");
    TKelGalleryRun run;
    EXPECT_EQ(run.Execute(project, tmp.dir() + "out/"), TKelGalleryRun::TStatus::NoPictures);
    EXPECT_FALSE(project.Pictures().GetPicture(0)->Checked());
    EXPECT_TRUE(project.History().IsModified());
    EXPECT_FALSE(fs::exists(tmp.dir() + "out"));

    TKelProject empty;
    empty.Pictures().CreatePicture()->SetFileName(tmp.write("src/x.jpg", ""));
    EXPECT_EQ(run.Execute(empty, tmp.dir() + "out/"), TKelGalleryRun::TStatus::NoLayout);
}

// A cancel is reported as such, and the pages written before it stay.
TEST_F(GalleryRun, Cancelled) {
    progress.CancelAfterSteps = 2; // the pages of the first layer, then stop
    TKelGalleryRun run;
    run.Progress = &progress;
    EXPECT_EQ(run.Execute(project, tmp.dir() + "out/"), TKelGalleryRun::TStatus::Cancelled);
    EXPECT_TRUE(fs::exists(tmp.dir() + "out/index_2.html"));
    EXPECT_FALSE(fs::exists(tmp.dir() + "out/large.html"));
}

// The output sub-folder may not lead out of the output folder.
TEST(GalleryRunOutput, SubFolderMustStayInside) {
    EXPECT_EQ(TKelGalleryRun::OutputDirectory("/web/", "holiday/"), "/web/holiday/");
    EXPECT_EQ(TKelGalleryRun::OutputDirectory("/web/", ""), "/web/");
    EXPECT_THROW(TKelGalleryRun::OutputDirectory("/web/", "../etc/"), EFileError);
    EXPECT_THROW(TKelGalleryRun::OutputDirectory("/web/", "/etc/"), EFileError);
}

// A full disk: failures reported, nothing half-written, the project untouched; then a full run.
TEST_F(Hostile, DiskFullDuringRun) {
    const std::string projectFile = tmp.dir() + "holiday.kel";
    ASSERT_TRUE(project.SaveToFile(projectFile));
    const std::string saved = kelvo::ReadFileBytes(projectFile);
    const auto savedTime = fs::last_write_time(projectFile);

    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = old;
    full.rlim_cur = 1500; // thumbnails fit, pages and large pictures do not
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    const auto failures = Run(tmp.dir() + "out/");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(CountEnding(failures, ".html"), 6);
    EXPECT_EQ(CountEnding(failures, "_large.jpg"), 4);
    for (const auto& entry : fs::recursive_directory_iterator(tmp.dir() + "out/")) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(name.ends_with(".tmp") || name.ends_with(".html")) << name;
        if (name.ends_with(".jpg")) {
            TBM_Bitmap thumbnail;
            EXPECT_NO_THROW(LoadJpegFile(entry.path().string(), thumbnail)) << name;
        }
    }
    EXPECT_EQ(kelvo::ReadFileBytes(projectFile), saved);
    EXPECT_EQ(fs::last_write_time(projectFile), savedTime);

    EXPECT_TRUE(Run(tmp.dir() + "out2/").empty());
}

// An output folder that cannot be written: every page and picture is reported, no hang.
TEST_F(Hostile, UnwritableOutputFolder) {
    fs::create_directories(tmp.dir() + "ro");
    fs::permissions(tmp.dir() + "ro", fs::perms::owner_read | fs::perms::owner_exec);
    for (const std::string& out : {tmp.write("blocker", "x") + "/gallery/", tmp.dir() + "ro/"}) {
        SCOPED_TRACE(out);
        if (out.ends_with("ro/") && ::geteuid() == 0)
            continue; // root writes into read-only folders
        const auto failures = Run(out);
        EXPECT_EQ(CountEnding(failures, ".html"), 6);
        EXPECT_EQ(CountEnding(failures, ".jpg"), 8);
    }
    fs::permissions(tmp.dir() + "ro", fs::perms::owner_all); // lets TempDir remove the folder
}

// Pictures not yet decoded vanish or turn into folders or pipes: each fails by name, no hang.
TEST_F(Hostile, PicturesChangeDuringRun) {
    const std::string src = tmp.dir() + "src/";
    const auto eachLaterPicture = [src](const std::function<void(const std::string&)>& action) {
        for (int i = 1; i < 4; ++i) {
            const std::string file = src + "p" + std::to_string(i) + ".jpg";
            fs::remove(file);
            action(file);
        }
    };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"FolderVanishes", [src] { fs::remove_all(src); }},
        {"FileBecomesFolder",
         [&] { eachLaterPicture([](const std::string& f) { fs::create_directory(f); }); }},
        {"FileBecomesPipe",
         [&] { eachLaterPicture([](const std::string& f) { ::mkfifo(f.c_str(), 0600); }); }},
    };
    for (const auto& [name, sabotage] : cases) {
        SCOPED_TRACE(name);
        fs::remove_all(src);
        for (int i = 0; i < 4; ++i)
            WritePatternPhoto(src + "p" + std::to_string(i) + ".jpg", 80, 60);
        SabotagingProgress sabotaging;
        sabotaging.Sabotage = sabotage;
        const auto failures = Run(tmp.dir() + "out-" + name + "/", &sabotaging);
        ASSERT_EQ(failures.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(failures[i].FileName, src + "p" + std::to_string(i + 1) + ".jpg");
    }
}

// A template page that is a named pipe is no layer and blocks nothing; the others work.
TEST_F(Hostile, TemplatePageIsPipe) {
    const std::string pipe = tmp.dir() + "Layouts/Standard/blocked.html";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    WithinSeconds(20, [&] {
        TKelPageDirectoryList again;
        again.Load(tmp.dir() + "Layouts/");
        TKelProject other;
        other.Layouts().LoadFromDirectories(again);
        EXPECT_EQ(other.Layouts().GetActiveLayout()->Layers().Count(), 2);
        EXPECT_THROW(TKelPageDirectory::IsTemplateFile(pipe), EFileError);
        EXPECT_THROW(kelvo::ReadFileBytes(pipe), EFileError);
    });
    EXPECT_TRUE(Run(tmp.dir() + "out/").empty());
}

// A small file declaring a giant picture is refused within 256 MB more address space.
TEST(DecompressionBomb, RefusedBeforeAllocating) {
    TempDir tmp;
    const auto jpegDeclaring = [&tmp](int side) { // side x side
        const std::string file = tmp.dir() + "bomb-" + std::to_string(side) + ".jpg";
        WritePatternPhoto(file, 16, 16);
        std::string data = kelvo::ReadFileBytes(file);
        const auto sof = data.find("\xFF\xC0");
        for (const std::size_t at : {sof + 5, sof + 7})
            data[at] = static_cast<char>(side >> 8), data[at + 1] = static_cast<char>(side);
        kelvo::WriteFileBytes(file, data);
        return file;
    };
    // An RLE8 BMP of 20,000 x 20,000 whose data ends the picture at once.
    std::string bmp = "BM" + std::string(12, '\0');
    const auto put32 = [&bmp](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<char>(v >> (8 * i));
    };
    bmp.resize(14 + 40 + 4 + 2);
    put32(10, 58), put32(14, 40), put32(18, 20000), put32(22, 20000);
    bmp[26] = 1, bmp[28] = 8, put32(30, 1), bmp[59] = 1;
    const std::string bmpFile = tmp.write("bomb-rle.bmp", bmp);

    for (const std::string& file : {jpegDeclaring(60000), jpegDeclaring(20000), bmpFile}) {
        SCOPED_TRACE(file);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
#ifndef __SANITIZE_ADDRESS__ // the sanitizer reserves terabytes of address space up front
            long pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            const rlimit limit{static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE)) + (256 << 20),
                               RLIM_INFINITY};
            ::setrlimit(RLIMIT_AS, &limit);
#endif
            try {
                TBM_Bitmap bitmap;
                LoadPicture(file, bitmap);
                ::_exit(3);
            } catch (const EImageError&) {
                ::_exit(0);
            } catch (...) {
                ::_exit(2); // out of memory, most likely
            }
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
}

// Titles are text, even from a file name that carries HTML; comments and page texts stay HTML.
TEST(HostileNames, TitlesAreEscapedCommentsAreNot) {
    GalleryFixture gallery;
    gallery.Page("index.html", "<title>#kel_page_title#</title>#kel_page_text#<table><tr><td><img "
                               "alt=\"#kel_picture_title#\" src=\"#kel_picture_filename#\">"
                               "#kel_picture_comment#</td></tr></table>");
    gallery.Load();
    TKelPicture* picture = gallery.AddPicture("x\" onerror=\"alert(1)<b>&'.jpg");
    picture->SetComment("<a href=\"a.html\">a</a><br>");
    TKelLayer& layer = *gallery.Layout->Layers().FindLayer("index");
    layer.SetPageTitle("Tom & \"Jerry\" <2>'s");
    layer.SetPageText("<i>text</i>");
    TKelPageGenerator generator;
    generator.Generate(gallery.Pictures, *gallery.Layout, gallery.OutDir);

    const std::string page = gallery.Output("index.html");
    EXPECT_NE(page.find("<title>Tom &amp; &quot;Jerry&quot; &lt;2&gt;&#39;s</title><i>text</i>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("alt=\"x&quot; onerror=&quot;alert(1)&lt;b&gt;&amp;&#39;\""),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<a href=\"a.html\">a</a><br>"), std::string::npos) << page;
    EXPECT_EQ(page.find("onerror=\""), std::string::npos) << page;
}

// Fuzz finding: a region marker inside its own region recursed until the stack overflowed.
TEST(FuzzFindings, RegionMarkerInsideItsRegionDoesNotRecurse) {
    const std::pair<const char*, const char*> cases[] = {
        {"Table", "<table>#kel_internal_table#<tr><td>#kel_picture_filename#</td></tr></table>"},
        {"Row", "<table><tr>#kel_internal_row#<td>#kel_picture_filename#</td></tr></table>"},
        {"Cell", "<table><tr><td>#kel_internal_cell##kel_picture_filename#</td></tr></table>"},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        GalleryFixture gallery;
        gallery.Page("index.html", text);
        gallery.Load();
        gallery.AddPicture("a.jpg");
        gallery.AddPicture("b.jpg");
        TKelPageGenerator generator;
        generator.Generate(gallery.Pictures, *gallery.Layout, gallery.OutDir);
        EXPECT_NE(gallery.Output("index.html").find("#kel_internal_"), std::string::npos);
    }
}

// Fuzz finding: a line break in a file name came back changed from the project file.
TEST(FuzzFindings, FileNameWithLineBreakSurvivesSaveAndLoad) {
    TempDir tmp;
    TKelProject project;
    const std::string names[] = {"a\rb.jpg", "a\nb.jpg", "a\r\nb.jpg", "\n"};
    for (const std::string& name : names)
        project.Pictures().CreatePicture()->SetFileName(tmp.dir() + name);
    ASSERT_TRUE(project.SaveToFile(tmp.dir() + "p.kel"));
    TKelProject loaded;
    ASSERT_TRUE(loaded.LoadFromFile(tmp.dir() + "p.kel"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(loaded.Pictures().GetPicture(i)->FileName(), tmp.dir() + names[i]) << i;
}
