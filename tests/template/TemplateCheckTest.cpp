// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelTemplateCheck.h"

using TKind = TKelTemplateFinding::TKind;

namespace {

struct Expected {
    const char* name;
    const char* file;
    int line;
    int column;
    TKind kind;
    const char* suggestion;
};

} // namespace

// Each kind of mistake, found at the author's line and column (code points: the "ü" before a
// tag counts once), with the name meant offered where one is close; correct use of every tag,
// the new ones included, and a picture tag outside the table of a page without paging (a cover
// picture) give nothing.
TEST(TemplateCheck, FindsEachKindOfMistakeWhereTheAuthorWroteIt) {
    const TempDir tmp;
    tmp.write(
        "Bad/index.html",
        "<html lang=\"#kel_gallery_language#\"><title>#Kel_Page_Title#</title>\n"
        "<p>ü #kel_pictrue_title# #kel_word name=next# #kel_word name=nxet# #kel_word#\n"
        "<table>\n"
        " <tr><th>#kel_picture_title#</th>\n"
        "  <td><a href=\"#kel_page_filename layer=\"photo\"#\"><img src=\"#kel_picture_"
        "filename def_cols=five def_rows=101 def_quality=0 def_width=99999 def_directory=../x "
        "def_densities=1,5 def_colz=3#\" srcset=\"#kel_picture_srcset#\" "
        "width=\"#kel_picture_width#\" height=\"#kel_picture_height#\"></a></td>\n"
        " </tr>\n"
        "</table>\n"
        "#kel_picture_comment# #kel_internal_row# #kel_page_title layer=x#\n"
        "<a href=\"#kel_page_next#\">#kel_word name=prev#</a> #kel_page_text\n");
    tmp.write("Bad/photo.html", "<p>#kel_picture_filename def_densities=1,2# "
                                "#kel_page_overview layer=INDEX#</p>");
    tmp.write("Bad/sub/strip.htm", "<table><td>#kel_picture_filename#</td></table>\n"
                                   "#kel_picture_title#\r\n#kel_picture_filename\ndef_cols=3#");
    tmp.write("Bad/kelvo-words.ini", "\xEF\xBB\xBF# words\n[en]\nprev = Previous\nnext = Next\n"
                                     "[de]\r\nprev = Zurück\r\n; none yet for next\nstray line\n");
    TKelPageDirectory layout;
    layout.Load(tmp.dir() + "Bad/");

    const std::vector<Expected> expected{
        {"CaseOfName", "index.html", 1, 44, TKind::UnknownTag, "kel_page_title"},
        {"Misspelt", "index.html", 2, 6, TKind::UnknownTag, "kel_picture_title"},
        {"WordMissingInOneLanguage", "index.html", 2, 26, TKind::MissingWord, ""},
        {"WordInNoLanguage", "index.html", 2, 47, TKind::MissingWord, "next"},
        {"WordWithoutName", "index.html", 2, 68, TKind::MissingAttribute, ""},
        {"PictureBesideTheCell", "index.html", 4, 10, TKind::PictureInRow, ""},
        {"QuotedLayer", "index.html", 5, 35, TKind::MissingLayer, "photo"},
        {"NotANumber", "index.html", 5, 83, TKind::BadNumber, ""},
        {"AboveRange", "index.html", 5, 97, TKind::BadNumber, ""},
        {"BelowRange", "index.html", 5, 110, TKind::BadNumber, ""},
        {"LeavesTheGallery", "index.html", 5, 140, TKind::BadDirectory, ""},
        {"DensityAboveFour", "index.html", 5, 159, TKind::BadDensities, ""},
        {"MisspeltAttribute", "index.html", 5, 177, TKind::UnknownAttribute, "def_cols"},
        {"PictureOutsideTableWithPaging", "index.html", 8, 1, TKind::PictureOnPage, ""},
        {"InternalMarker", "index.html", 8, 23, TKind::InternalTag, ""},
        {"AttributeOfATagWithout", "index.html", 8, 58, TKind::UnknownAttribute, ""},
        {"Unclosed", "index.html", 9, 52, TKind::UnclosedTag, ""},
        {"CellWithoutRow", "sub/strip.htm", 1, 12, TKind::CellOutsideRow, ""},
        {"LineBreakInsteadOfSpace", "sub/strip.htm", 3, 1, TKind::UnknownTag,
         "kel_picture_filename"},
        {"StrayWordsLine", "kelvo-words.ini", 8, 1, TKind::BadWordsLine, ""},
    };
    const std::vector<TKelTemplateFinding> found = TKelTemplateCheck::Check(layout);
    for (std::size_t i = 0; i < std::max(found.size(), expected.size()); ++i) {
        if (i >= expected.size()) {
            ADD_FAILURE() << "unexpected: " << found[i].File << ':' << found[i].Line << ':'
                          << found[i].Column << ": " << found[i].Text();
            continue;
        }
        const Expected& want = expected[i];
        ASSERT_LT(i, found.size()) << "missing: " << want.name;
        const TKelTemplateFinding& got = found[i];
        EXPECT_EQ(got.File, want.file) << want.name;
        EXPECT_EQ(got.Line, want.line) << want.name;
        EXPECT_EQ(got.Column, want.column) << want.name << ": " << got.Text();
        EXPECT_EQ(got.Kind, want.kind) << want.name << ": " << got.Text();
        EXPECT_EQ(got.Suggestion, want.suggestion) << want.name;
    }
}

// The messages name what is wrong in the author's terms, with the languages that lack a word.
TEST(TemplateCheck, MessagesQuoteWhatWasWritten) {
    const TempDir tmp;
    tmp.write("L/index.html", "#kel_picture_filename def_width=-1# #kel_word name=next#\n"
                              "#kel_page_filename layer=gone# #kel_x\tlong-name-that-goes-on-and-"
                              "on-and-on-and-on#");
    tmp.write("L/kelvo-words.ini", "[EN]\nprev=Previous\n[de]\nnext=Weiter\n[fr]\n");
    TKelPageDirectory layout;
    layout.Load(tmp.dir() + "L/");
    std::vector<std::string> texts;
    for (const TKelTemplateFinding& finding : TKelTemplateCheck::Check(layout))
        texts.push_back(finding.Text());
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "def_width must be a whole number from 0 to 99999, not \"-1\"",
                         "the word \"next\" is missing for en, fr",
                         "there is no layer \"gone\" in this layout",
                         "unknown tag \"kel_x\\tlong-name-that-goes-on-and-on-and-...\""}));
}
