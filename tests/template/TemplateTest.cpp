// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelPageDirectoryList.h"
#include "template/TKelPageFile.h"
#include "template/TKelParser.h"
#include "template/TKelTag.h"
#include "template/TKelTagList.h"

using Entries = std::vector<std::string>;

namespace {

// The tags, as "name key=value ...", separated by " | ".
std::string Describe(const TKelTagRefs& tags) {
    std::string s;
    for (const TKelTag* t : tags) {
        s += (s.empty() ? "" : " | ") + t->Name;
        for (const auto& [key, value] : t->Attributes)
            s += " " + key + "=" + value;
    }
    return s;
}

// Page files are not copyable: AllTags refers into the page's own tag lists.
std::unique_ptr<TKelPageFile> Load(const TempDir& tmp, std::string_view text) {
    auto page = std::make_unique<TKelPageFile>();
    page->LoadFromFile(tmp.write("index.html", text));
    return page;
}

} // namespace

// Only the space separates; keys are folded, values are not; nothing is unquoted.
TEST(Parser, SplitsTagsNamesAndAttributes) {
    TKelTagList tags;
    for (const auto& [name, text, expected] :
         {std::tuple<const char*, std::string, const char*>{"CaseKept", "#Kel_Page_Title#",
                                                            "Kel_Page_Title"},
          {"SpacesAroundEquals", "#kel_x a=3 b = 2#", "kel_x a=3 b=2"},
          {"QuotesAreValueCharacters", "#kel_x layer=\"big\"#", "kel_x layer=\"big\""},
          {"TrailingWordDropped", "#kel_x a=1 b=c d#", "kel_x a=1 b=c"},
          {"KeyFoldedValueKept", "#kel_x LAYER=Big#", "kel_x layer=Big"},
          {"LineBreakBelongsToName", "#kel_x\r\na=3#", "kel_x\r\na=3"},
          {"TrailingWhiteSpaceCut", "#kel_page_text \t\r\n#", "kel_page_text"},
          {"EmptyValue", "#kel_x def_cols=#", "kel_x def_cols="},
          {"EmptyValueTakesNextWord", "#kel_x def_rows= def_cols=2#", "kel_x def_rows=def_cols=2"},
          {"AdjacentTags", "#kel_a##kel_b#", "kel_a | kel_b"},
          {"HashInsideTagEndsIt", "#kel_a #kel_b#", "kel_a"},
          {"Unterminated", "#kel_a# and #kel_b without end", "kel_a"},
          {"NoTags", "no tags # here #kel", ""}}) {
        TKelParser().Parse(text, tags);
        EXPECT_EQ(Describe(tags), expected) << name;
    }
}

// Attribute lookup: first key wins, empty means default, non-integers raise with the value.
TEST(Parser, AttributeLookup) {
    TKelTagList tags;
    TKelParser().Parse("#kel_picture_filename def_cols=3 DEF_COLS=4 def_width=five "
                       "def_directory=pics def_rows=#",
                       tags);
    const TKelTag& tag = *tags.Items(0);
    EXPECT_EQ(tag.GetIntAttribute("def_cols", 5), 3);
    EXPECT_EQ(tag.GetIntAttribute("Def_Cols", 5), 3);
    EXPECT_EQ(tag.GetIntAttribute("def_rows", 7), 7);
    EXPECT_EQ(tag.GetIntAttribute("def_height", 140), 140);
    EXPECT_EQ(tag.GetStrAttribute("def_directory", ""), "pics");
    EXPECT_EQ(tag.GetStrAttribute("missing", "x"), "x");
    EXPECT_THROW(tag.GetIntAttribute("def_width", 140), EConvertError);
}

// The vocabulary predicates compare exact lower-case names; FindTag folds only its argument.
TEST(Parser, TagListsAndVocabulary) {
    TKelTagList tags;
    TKelParser().Parse("#Kel_Page_Title##kel_page_text##kel_picture_comment#", tags);
    EXPECT_FALSE(tags.Items(0)->IsContentTag());
    EXPECT_TRUE(tags.Items(1)->IsContentTag());
    EXPECT_FALSE(tags.Items(1)->IsPictureTag());
    EXPECT_TRUE(tags.Items(2)->IsPictureTag());
    EXPECT_TRUE(tags.Items(2)->IsContentTag());
    EXPECT_EQ(tags.FindTag("kel_page_title"), nullptr);
    EXPECT_EQ(tags.FindTag("KEL_PAGE_TEXT"), tags.Items(1));
    EXPECT_TRUE(tags.ContainsPictureTag());
    EXPECT_EQ(tags.Items(3), nullptr);
    EXPECT_EQ(tags.Items(-1), nullptr);

    TKelTagList plain;
    TKelParser().Parse("#kel_page_next#", plain);
    EXPECT_FALSE(plain.ContainsContentTag());
    EXPECT_FALSE(plain.ContainsPictureTag());

    // An owning list never takes over another list's tags; a non-owning one does.
    EXPECT_THROW(plain.Assign(tags), EListError);
    EXPECT_THROW(plain.Append(tags), EListError);
    EXPECT_EQ(plain.Count(), 1);
    TKelTagRefs refs;
    refs.Assign(tags);
    refs.Append(refs);
    EXPECT_EQ(refs.Count(), 6);
    EXPECT_EQ(refs.Items(3), tags.Items(0));
}

// SearchText only tries positions where the pattern fits, in both directions.
TEST(Parser, SearchTextBounds) {
    EXPECT_EQ(SearchText("ab", "xabxab", 2, true), 2);
    EXPECT_EQ(SearchText("ab", "xabxab", 3, true), 5);
    EXPECT_EQ(SearchText("ab", "xabxab", 5, false), 5);
    EXPECT_EQ(SearchText("ab", "xabxab", 4, false), 2);
    EXPECT_EQ(SearchText("ab", "xabxab", 6, false), 0); // start beyond the last fitting place
    EXPECT_EQ(SearchText("ab", "xabxab", 0, true), 0);
    EXPECT_EQ(SearchText("abc", "ab", 1, true), 0);
}

// Each region takes its indentation and line break, so every copy starts on a new line.
TEST(PageFile, CutsNestedRegionsWithTheirLineBreaks) {
    TempDir tmp;
    const auto page = Load(tmp, "<h1>#kel_page_title#</h1>\r\n"
                                "  <table>\r\n"
                                "    <tr>\r\n"
                                "      <td><img src=\"#kel_picture_filename def_cols=4#\"></td>\r\n"
                                "    </tr>\r\n"
                                "  </table>\r\n");
    EXPECT_EQ(page->Text, "<h1>#kel_page_title#</h1>#kel_internal_table#\r\n");
    EXPECT_EQ(page->TableText, "\r\n  <table>#kel_internal_row#\r\n  </table>");
    EXPECT_EQ(page->RowText, "\r\n    <tr>#kel_internal_cell#\r\n    </tr>");
    EXPECT_EQ(page->CellText, "\r\n      <td><img src=\"#kel_picture_filename def_cols=4#\"></td>");
    EXPECT_EQ(Describe(page->AllTags), "kel_page_title | kel_internal_table | kel_internal_row | "
                                       "kel_internal_cell | kel_picture_filename def_cols=4");
}

// Rows: text|table|row|cell, and whether it is a picture page.
TEST(PageFile, CutsRegions) {
    TempDir tmp;
    for (const auto& [text, regions, picturePage] :
         {std::tuple<const char*, const char*, bool>{
              "<table><tr><td>x</td>\t<td>#kel_picture_filename#</td></tr></table>",
              "#kel_internal_table#|<table>#kel_internal_row#</table>|<tr><td>x</td>\t"
              "#kel_internal_cell#</tr>|<td>#kel_picture_filename#</td>",
              true},
          {"<p>#kel_picture_filename#</p><td>a</td>", "<p>#kel_picture_filename#</p><td>a</td>|||",
           false},
          {"<td>a</td> #kel_picture_filename#", "<td>a</td> #kel_picture_filename#|||", false},
          {"<td>a</td><td>b #kel_picture_filename# c</td>",
           "<td>a</td>#kel_internal_cell#|||<td>b #kel_picture_filename# c</td>", true},
          {"<tr><td>#kel_picture_filename#</td></tr>",
           "#kel_internal_row#||<tr>#kel_internal_cell#</tr>|<td>#kel_picture_filename#</td>",
           true},
          // The tag is found, but its name is not the vocabulary's: no picture page.
          {"<TABLE class=Ä><TR><TD>#KEL_Picture_FileName#</TD></TR></TABLE>",
           "#kel_internal_table#|<TABLE class=Ä>#kel_internal_row#</TABLE>|<TR>"
           "#kel_internal_cell#</TR>|<TD>#KEL_Picture_FileName#</TD>",
           false}}) {
        const auto page = Load(tmp, text);
        EXPECT_EQ(page->Text + "|" + page->TableText + "|" + page->RowText + "|" + page->CellText,
                  regions)
            << text;
        EXPECT_EQ(page->IsPicturePage(), picturePage) << text;
    }
}

// A dot in first place is no extension; an unreadable file raises an error naming it.
TEST(PageFile, NamesAndMissingFiles) {
    TKelPageFile page;
    for (const auto& [file, name] : {std::pair{"/x/S/index.html", "index"},
                                     {"/x/S/.htm", ".htm"},
                                     {"/x/S/a.b.shtml", "a.b"}}) {
        page.FileName = file;
        EXPECT_EQ(page.GetName(), name);
    }
    TempDir tmp;
    TKelPageFile missing;
    missing.LoadFromFile(tmp.dir() + "nothing.html");
    EXPECT_EQ(missing.FileName + missing.Text, "");
    try {
        kelvo::ReadFileBytes(tmp.dir() + "locked.html");
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("locked.html"), std::string::npos);
    }
}

// Pages need a page extension and the marker, in any case; the order is never the disk's. The
// list is not cleared first; a symbolic link back up the tree must not recurse forever.
TEST(PageDirectory, ScansLayoutFolders) {
    TempDir tmp;
    for (const auto& [file, text] : {std::pair{"Simple/index.html", "<h1>#kel_page_title#</h1>"},
                                     {"Simple/notes.txt", "#kel_page_title#"},
                                     {"Simple/images/logo.gif", "GIF89a"},
                                     {"Simple/Big.HTM", "#KEL_PAGE_TEXT#"},
                                     {"Simple/sub/Deep/page.shtml", "#kel_page_title#"},
                                     {"Simple/.git/index.html", "#kel_page_title#"},
                                     {"Simple/a.shtm", "x\n#Kel"},
                                     {"Simple/b.htm", "# kel"},
                                     {"Simple/html", "#kel"},
                                     {"standard/index.html", "#kel_page_title#"},
                                     {".svn/index.html", "#kel_page_title#"},
                                     {"readme.txt", "x"}})
        tmp.write(file, text);
    std::filesystem::create_directory_symlink(tmp.path() / "Simple", tmp.path() / "Simple/again");
    TKelPageDirectoryList list;
    list.Load(tmp.dir());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1)->Path, tmp.dir() + "standard/");
    const TKelPageDirectory& dir = *list.Items(0);
    const std::string path = tmp.dir() + "Simple/";
    EXPECT_EQ(dir.Directories,
              (Entries{path, path + "images/", path + "sub/", path + "sub/Deep/"}));
    EXPECT_EQ(dir.OtherFiles, (Entries{path + "b.htm", path + "html", path + "images/logo.gif",
                                       path + "notes.txt"}));
    Entries pages;
    for (int i = 0; i < dir.PageFiles.Count(); ++i)
        pages.push_back(dir.PageFiles.Items(i)->FileName.substr(path.size()));
    EXPECT_EQ(pages, (Entries{"a.shtm", "Big.HTM", "index.html", "sub/Deep/page.shtml"}));
    EXPECT_EQ(dir.PageFiles.Items(4), nullptr);
    list.Load(tmp.dir());
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(4), nullptr);

    TKelPageDirectory missing;
    missing.Load(tmp.dir() + "Gone/");
    EXPECT_TRUE(missing.Directories.empty());
}
