// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelParser.h"

#include <gtest/gtest.h>

#include "base/KelErrors.h"
#include "template/TKelTag.h"
#include "template/TKelTagList.h"

namespace {

// The tags Parse finds, as "name key=value ...", separated by " | ".
std::string Describe(const TKelTagList& tags) {
    std::string s;
    for (const TKelTag* t : tags) {
        s += (s.empty() ? "" : " | ") + t->Name;
        for (const auto& [key, value] : t->Attributes)
            s += " " + key + "=" + value;
    }
    return s;
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
          {"DuplicateKeysKept", "#kel_x a=1 a=2#", "kel_x a=1 a=2"},
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
    EXPECT_EQ(SearchText("ab", "xabxab", 1, true), 2);
    EXPECT_EQ(SearchText("ab", "xabxab", 3, true), 5);
    EXPECT_EQ(SearchText("ab", "xabxab", 5, false), 5);
    EXPECT_EQ(SearchText("ab", "xabxab", 4, false), 2);
    EXPECT_EQ(SearchText("ab", "xabxab", 6, false), 0); // start beyond the last fitting place
    EXPECT_EQ(SearchText("ab", "xabxab", 0, true), 0);
    EXPECT_EQ(SearchText("ab", "xabxab", 1, false), 0);
    EXPECT_EQ(SearchText("abc", "ab", 1, true), 0);
}
