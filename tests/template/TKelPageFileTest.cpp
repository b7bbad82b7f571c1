// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelPageFile.h"

#include <memory>

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "support/TempDir.h"
#include "template/TKelTag.h"

namespace {

// Page files are not copyable: AllTags refers into the page's own tag lists.
std::unique_ptr<TKelPageFile> Load(const TempDir& tmp, std::string_view text,
                                   std::string_view name = "index.html") {
    auto page = std::make_unique<TKelPageFile>();
    page->LoadFromFile(tmp.write(name, text));
    return page;
}

std::vector<std::string> TagNames(const TKelTagRefs& tags) {
    std::vector<std::string> names;
    for (const TKelTag* t : tags)
        names.push_back(t->Name);
    return names;
}

} // namespace

// Indented table, row and cell lines: each region takes its indentation and the line break
// before it, so every repeated copy starts on a new line; the markers nest.
TEST(PageFile, CutsNestedRegionsWithTheirLineBreaks) {
    TempDir tmp;
    const std::string text = "<body>\r\n"
                             "  <h1>#kel_page_title#</h1>\r\n"
                             "  <table>\r\n"
                             "    <tr>\r\n"
                             "      <td><img src=\"#kel_picture_filename def_cols=4#\"></td>\r\n"
                             "    </tr>\r\n"
                             "  </table>\r\n"
                             "</body>\r\n";
    const auto page = Load(tmp, text);
    EXPECT_EQ(page->Text,
              "<body>\r\n  <h1>#kel_page_title#</h1>#kel_internal_table#\r\n</body>\r\n");
    EXPECT_EQ(page->TableText, "\r\n  <table>#kel_internal_row#\r\n  </table>");
    EXPECT_EQ(page->RowText, "\r\n    <tr>#kel_internal_cell#\r\n    </tr>");
    EXPECT_EQ(page->CellText, "\r\n      <td><img src=\"#kel_picture_filename def_cols=4#\"></td>");
    EXPECT_EQ(TagNames(page->AllTags),
              (std::vector<std::string>{"kel_page_title", "kel_internal_table", "kel_internal_row",
                                        "kel_internal_cell", "kel_picture_filename"}));
    EXPECT_TRUE(page->IsPicturePage());
    EXPECT_EQ(page->GetName(), "index");
}

// The cell is the nearest <td before the picture tag: a title cell stays in the row and repeats
// once per row; tabs stop the move back over white space. Missing delimiters leave fewer
// regions, never an error. Markers are found in any letter case, and the regions are copied
// out of the original text. Each row: the page, then text, table, row and cell separated by
// '|', and whether it is a picture page.
TEST(PageFile, CutsRegions) {
    TempDir tmp;
    for (const auto& [name, text, regions, picturePage] :
         {std::tuple<const char*, const char*, const char*, bool>{
              "NearestCellAndTabs",
              "<table><tr><td>x</td>\t<td>#kel_picture_filename#</td></tr></table>",
              "#kel_internal_table#|<table>#kel_internal_row#</table>|<tr><td>x</td>\t"
              "#kel_internal_cell#</tr>|<td>#kel_picture_filename#</td>",
              true},
          {"NoCellBeforeTheTag", "<p>#kel_picture_filename#</p><td>a</td>",
           "<p>#kel_picture_filename#</p><td>a</td>|||", false},
          {"TagBehindTheLastCell", "<td>a</td> #kel_picture_filename#",
           "<td>a</td> #kel_picture_filename#|||", false},
          {"BetweenTwoCells", "<td>a</td><td>b #kel_picture_filename# c</td>",
           "<td>a</td>#kel_internal_cell#|||<td>b #kel_picture_filename# c</td>", true},
          {"RowWithoutTable", "<tr><td>#kel_picture_filename#</td></tr>",
           "#kel_internal_row#||<tr>#kel_internal_cell#</tr>|<td>#kel_picture_filename#</td>",
           true},
          // The tag is found, but its name is not the vocabulary's: no picture page.
          {"CaseInsensitiveDelimiters",
           "<TABLE class=Ä><TR><TD>#KEL_Picture_FileName#</TD></TR></TABLE>",
           "#kel_internal_table#|<TABLE class=Ä>#kel_internal_row#</TABLE>|<TR>"
           "#kel_internal_cell#</TR>|<TD>#KEL_Picture_FileName#</TD>",
           false}}) {
        const auto page = Load(tmp, text);
        EXPECT_EQ(page->Text + "|" + page->TableText + "|" + page->RowText + "|" + page->CellText,
                  regions)
            << name;
        EXPECT_EQ(page->IsPicturePage(), picturePage) << name;
    }
}

// Names: the extension goes unless the only dot is the first character.
TEST(PageFile, Names) {
    TKelPageFile page;
    for (const auto& [file, name] : {std::pair{"/x/S/index.html", "index"},
                                     {"/x/S/.htm", ".htm"},
                                     {"/x/S/a.b.shtml", "a.b"}}) {
        page.FileName = file;
        EXPECT_EQ(page.GetName(), name);
    }
}

// A missing file leaves the page empty; a file that cannot be read raises an error naming it.
TEST(PageFile, MissingAndUnreadableFiles) {
    TempDir tmp;
    TKelPageFile page;
    page.LoadFromFile(tmp.dir() + "nothing.html");
    EXPECT_TRUE(page.FileName.empty());
    EXPECT_EQ(page.AllTags.Count(), 0);

    try {
        kelvo::ReadFileBytes(tmp.dir() + "locked.html");
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("locked.html"), std::string::npos);
    }
}
