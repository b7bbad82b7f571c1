// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "base/FileUtils.h"
#include "imaging/JpegFile.h"
#include "support/GalleryFixture.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int Status = -1;
    std::string Out;
};

// Runs kelvo-cli with arguments (already quoted for the shell); stderr goes to a file.
Result Cli(const TempDir& tmp, const std::string& arguments) {
    const std::string command =
        std::string("'") + KELVO_CLI + "' " + arguments + " 2>'" + tmp.dir() + "stderr.txt'";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.Out.append(buffer, n);
    const int status = pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

class KelvoCli : public testing::Test {
protected:
    void SetUp() override {
        tmp.write("Layouts/Standard/index.html",
                  "<!doctype html><link rel=stylesheet href=\"css/site.css\">\n"
                  "<table>\n <tr>\n  <td><a href=\"#kel_page_filename layer=photo#\"><img "
                  "src=\"#kel_picture_filename def_cols=3 def_rows=2 def_width=60 def_height=60 "
                  "def_directory=thumbs#\" alt=\"#kel_picture_title#\"></a></td>\n </tr>\n"
                  "</table>\n<a href=\"#kel_page_previous#\">prev</a> <a "
                  "href=\"#kel_page_next#\">next</a>\n");
        tmp.write("Layouts/Standard/photo.html",
                  "<!doctype html><link rel=stylesheet href=\"css/site.css\">\n"
                  "<img src=\"#kel_picture_filename def_width=200 def_height=150 "
                  "def_directory=photos#\"><p>#kel_picture_comment#</p>\n"
                  "<a href=\"#kel_page_overview layer=index#\">up</a>\n");
        tmp.write("Layouts/Standard/css/site.css", "img { max-width: 100% }");
        tmp.write("Layouts/Plain/gallery.html",
                  "<table><tr><td>#kel_picture_filename#</td></tr></table>");
        layouts = Quote(tmp.dir() + "Layouts");
        for (const char* name :
             {"Beach Ü.jpg", "b-2.jpg", "c.jpg", "d.jpeg", "e.jpg", "f.jpg", "g.jpg"})
            WritePatternPhoto(tmp.dir() + "photos/" + name, 90, 60);
        WritePatternPhoto(tmp.dir() + "photos/more/b_2.jpg", 60, 90); // collides with b-2.jpg
    }

    TempDir tmp;
    std::string layouts;
};

} // namespace

// The whole way from a folder of photos to a complete gallery.
TEST_F(KelvoCli, NewThenGenerateMakesACompleteGallery) {
    const std::string project = tmp.dir() + "trip.kel";
    Result made =
        Cli(tmp, "new " + Quote(project) + " --layouts " + layouts + " --layout standard " +
                     Quote(tmp.dir() + "photos") + " " + Quote(tmp.dir() + "photos/more/b_2.jpg"));
    ASSERT_EQ(made.Status, 0) << kelvo::ReadFileBytes(tmp.dir() + "stderr.txt");
    ASSERT_TRUE(fs::is_regular_file(project));

    const std::string out = tmp.dir() + "site";
    Result run = Cli(tmp, "generate " + Quote(project) + " --layouts " + layouts + " --output " +
                              Quote(out) + " --jobs 2 --quiet");
    ASSERT_EQ(run.Status, 0) << kelvo::ReadFileBytes(tmp.dir() + "stderr.txt");
    EXPECT_EQ(run.Out, out + "/index.html\n");
    EXPECT_EQ(kelvo::ReadFileBytes(tmp.dir() + "stderr.txt"), "");

    // Two overview pages, a page per picture, the style sheet, every picture for both layers.
    EXPECT_EQ(FilesBelow(out).size(), 2u + 8 + 1 + 2 * 8);
    for (const char* file : {"index_2.html", "photo_8.html", "css/site.css",
                             "photos/Beach_U_photo.jpg", "thumbs/b_2_2_index.jpg"})
        EXPECT_TRUE(fs::is_regular_file(out + "/" + file)) << file;
}

// new collects every picture extension (and only those); generate reads files by content and
// prints an unusable colour profile as a warning while the picture is still made.
TEST_F(KelvoCli, OtherFormatsAndColourWarnings) {
    const std::string jpeg = kelvo::ReadFileBytes(tmp.dir() + "photos/c.jpg");
    const std::string profile = std::string("ICC_PROFILE\0\x01\x01", 14) + std::string(100, 'x');
    tmp.write("mixed/odd.jpg",
              std::string(jpeg).insert(
                  2, std::string{'\xFF', '\xE2', '\0', char(profile.size() + 2)} + profile));
    tmp.write("mixed/named.png", jpeg); // a JPEG under another name
    tmp.write("mixed/notes.txt", "not a picture");
    const std::string project = Quote(tmp.dir() + "m.kel");
    ASSERT_EQ(Cli(tmp, "new " + project + " " + Quote(tmp.dir() + "mixed")).Status, 0);
    const std::string out = tmp.dir() + "m";
    ASSERT_EQ(Cli(tmp, "generate " + project + " --layouts " + layouts + " --layout Plain -o " +
                           Quote(out) + " --quiet")
                  .Status,
              0);
    EXPECT_EQ(kelvo::ReadFileBytes(tmp.dir() + "stderr.txt"),
              "kelvo-cli: warning: \"" + tmp.dir() +
                  "mixed/odd.jpg\": Damaged colour profile; colours taken as sRGB\n");
    EXPECT_EQ(FilesBelow(out).size(), 3u); // the page and both pictures
}

// Usage errors exit with 2, failures with 1 and a message naming what went wrong.
TEST_F(KelvoCli, ExitStatusAndMessages) {
    const std::string project = Quote(tmp.dir() + "p.kel");
    const std::string photo = Quote(tmp.dir() + "photos/c.jpg");
    const std::string out = " --layouts " + layouts + " -o " + Quote(tmp.dir() + "o");
    const std::string gone = "generate " + project + out, q = Quote(tmp.dir() + "q.kel");
    for (const auto& [arguments, status, message] :
         {std::tuple<std::string, int, std::string>{"--version", 0, ""},
          {"", 2, ""},
          {"generate", 2, ""},
          {"generate x.kel --jobs 0", 2, ""},
          {"frobnicate", 2, ""},
          {"generate " + Quote(tmp.dir() + "none.kel"), 1, "none.kel"},
          {"generate " + photo, 1, ""}, // a JPEG is no project file
          {"new " + project + " " + photo, 0, ""},
          {"new " + project + " " + photo, 1, ""}, // exists
          {"new " + project + " --force " + photo, 0, ""},
          {"new " + q + " " + Quote(tmp.dir() + "nope.jpg"), 1, ""},
          {"new " + q + " --layouts " + layouts + " --layout Gone " + photo, 1, ""},
          // The project has no output folder and none is given.
          {"generate " + project + " --layouts " + layouts, 1, "--output"},
          {gone + " --layout Gone", 1, ""}}) {
        EXPECT_EQ(Cli(tmp, arguments).Status, status) << arguments;
        EXPECT_NE(kelvo::ReadFileBytes(tmp.dir() + "stderr.txt").find(message), std::string::npos)
            << arguments;
    }
    fs::remove(tmp.dir() + "photos/c.jpg"); // no checked picture whose file exists
    EXPECT_EQ(Cli(tmp, gone).Status, 1);
    // The root folder stands for none; with no picture left a fault cannot write into it.
    std::string text = kelvo::ReadFileBytes(tmp.dir() + "p.kel");
    text.insert(text.find("output_directory=\"") + 18, "/");
    kelvo::WriteFileBytes(tmp.dir() + "p.kel", text);
    EXPECT_EQ(Cli(tmp, "generate " + project + " --layouts " + layouts).Status, 1);
    EXPECT_NE(kelvo::ReadFileBytes(tmp.dir() + "stderr.txt").find("--output"), std::string::npos);
}

// The layouts command lists every layout with its layers and marks the default one.
TEST_F(KelvoCli, ListsLayouts) {
    const Result result = Cli(tmp, "layouts --layouts " + layouts);
    ASSERT_EQ(result.Status, 0);
    for (const char* line :
         {"Standard  (default)", "  photo: a page per picture", "\nPlain\n",
          "  index: 3 x 2 pictures per page; pictures 60 x 60, quality 80, in thumbs"})
        EXPECT_NE(result.Out.find(line), std::string::npos) << result.Out;
    EXPECT_EQ(Cli(tmp, "layouts --layouts " + Quote(tmp.dir() + "none")).Status, 1);
}

// check lists each mistake as FILE:LINE:COLUMN: message, names files as the layout was given,
// and tells problems (1) from a clean layout (0) and a layout that is not there (2).
TEST_F(KelvoCli, CheckListsMistakesCompilerStyle) {
    tmp.write("Layouts/Bad/index.html", "<p>\n  #kel_page_titel#</p>");
    const std::string bad = tmp.dir() + "Layouts/Bad";
    const std::string finding =
        "index.html:2:3: unknown tag \"kel_page_titel\" (did you mean \"kel_page_title\"?)\n";
    for (const auto& [arguments, status, out] :
         {std::tuple<std::string, int, std::string>{"standard plain", 0,
                                                    "No problems found in 2 layouts.\n"},
          {"Bad", 1, "Bad/" + finding + "1 problem found in 1 of 1 layout.\n"},
          {"", 1, "Bad/" + finding + "1 problem found in 1 of 3 layouts.\n"},
          {Quote(bad), 1, bad + "/" + finding + "1 problem found in 1 of 1 layout.\n"},
          {"Gone", 2, ""}}) {
        const Result result = Cli(tmp, "check --layouts " + layouts + " " + arguments);
        EXPECT_EQ(result.Status, status) << arguments;
        EXPECT_EQ(result.Out, out) << arguments;
    }
}

// Fast mode keeps the files and picture sizes of exact mode; only pixels differ, and must.
TEST_F(KelvoCli, FastHasTheSameNamesAndSizesAsExact) {
    // Large enough for every reduced scale, portrait, odd-sized, and one enlarged.
    for (const auto& [name, width, height] : {std::tuple{"wide.jpg", 1600, 1200},
                                              {"tall.jpg", 300, 700},
                                              {"odd.jpg", 1001, 333},
                                              {"small.jpg", 120, 90}})
        WritePatternPhoto(tmp.dir() + "big/" + name, width, height);
    const std::string project = Quote(tmp.dir() + "p.kel") + " --layouts " + layouts;
    ASSERT_EQ(Cli(tmp, "new " + project + " " + Quote(tmp.dir() + "big")).Status, 0);
    for (const std::string mode : {"exact", "fast"})
        ASSERT_EQ(Cli(tmp, "generate " + project + " -q -o " + Quote(tmp.dir() + mode) +
                               (mode == "fast" ? " --fast" : ""))
                      .Status,
                  0);

    const std::vector<std::string> files = FilesBelow(tmp.dir() + "exact");
    ASSERT_EQ(files, FilesBelow(tmp.dir() + "fast"));
    int differing = 0;
    for (const std::string& file : files) {
        if (!file.ends_with(".jpg"))
            continue;
        const TJpegInfo exact = ReadJpegInfo(tmp.dir() + "exact/" + file);
        const TJpegInfo fast = ReadJpegInfo(tmp.dir() + "fast/" + file);
        EXPECT_EQ(std::pair(fast.Width, fast.Height), std::pair(exact.Width, exact.Height)) << file;
        differing += kelvo::ReadFileBytes(tmp.dir() + "exact/" + file) !=
                     kelvo::ReadFileBytes(tmp.dir() + "fast/" + file);
    }
    EXPECT_EQ(files.size(), 1u + 4 + 1 + 2 * 4); // an overview, 4 photo pages, the style sheet
    EXPECT_GT(differing, 0);
}

// A second run keeps what is current and says so on standard error's last line; --force
// rewrites everything. Standard output stays the start page alone.
TEST_F(KelvoCli, RerunCountsWhatWasWrittenKeptAndRemoved) {
    const std::string project = Quote(tmp.dir() + "p.kel");
    ASSERT_EQ(Cli(tmp, "new " + project + " " + Quote(tmp.dir() + "photos")).Status, 0);
    const std::string generate =
        "generate " + project + " --layouts " + layouts + " -o " + Quote(tmp.dir() + "site");
    const auto lastLine = [&] {
        std::string text = kelvo::ReadFileBytes(tmp.dir() + "stderr.txt");
        text.pop_back();
        return text.substr(text.rfind('\n') + 1);
    };
    for (const auto& [options, counts] :
         {std::pair<std::string, std::string>{"", "pictures: 14 written, 0 kept, 0 removed; "
                                                  "pages: 10 written, 0 kept, 0 removed"},
          {"", "pictures: 0 written, 14 kept, 0 removed; pages: 0 written, 10 kept, 0 removed"},
          {" --force",
           "pictures: 14 written, 0 kept, 0 removed; pages: 10 written, 0 kept, 0 removed"}}) {
        const Result result = Cli(tmp, generate + options);
        EXPECT_EQ(result.Status, 0);
        EXPECT_EQ(result.Out, tmp.dir() + "site/index.html\n");
        EXPECT_EQ(lastLine(), "kelvo-cli: " + counts) << options;
    }
}

// A new project's gallery language: --language, else the first locale variable that is set,
// as the C library reads them; C and POSIX are English, which the file does not spell out.
TEST_F(KelvoCli, NewTakesTheLanguageFromTheLocale) {
    const std::string project = tmp.dir() + "p.kel";
    const std::string photo = Quote(tmp.dir() + "photos/c.jpg");
    for (const auto& [lcAll, lcMessages, lang, option, expected] :
         {std::tuple{"", "", "de_DE.UTF-8", "", "de"},
          {"C", "", "de_DE.UTF-8", "", ""},
          {"", "fr_FR@euro", "de_DE.UTF-8", "", "fr"},
          {"", "", "POSIX", "", ""},
          {"", "", "de_DE", " --language PT", "pt"},
          {"", "", "de_DE", " --language en", ""}}) {
        SCOPED_TRACE(std::string(lcAll) + "|" + lcMessages + "|" + lang + "|" + option);
        setenv("LC_ALL", lcAll, 1);
        setenv("LC_MESSAGES", lcMessages, 1);
        setenv("LANG", lang, 1);
        ASSERT_EQ(Cli(tmp, "new --force " + Quote(project) + option + " " + photo).Status, 0);
        const std::string text = kelvo::ReadFileBytes(project);
        const auto at = text.find(" language=\"");
        EXPECT_EQ(at == std::string::npos ? ""
                                          : text.substr(at + 11, text.find('"', at + 11) - at - 11),
                  expected);
    }
    EXPECT_EQ(Cli(tmp, "new --force " + Quote(project) + " --language deutsch " + photo).Status, 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    unsetenv("LANG");
}
