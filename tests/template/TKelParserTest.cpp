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

// Name and attribute splitting: only the space separates, keys are folded, values are not,
// nothing is unquoted, and a trailing word without '=' is dropped; an empty value takes the
// next word, as there is no quoting to end it. The closing '#' of one tag is never the opening
// of the next; malformed text is plain text, and Parse always starts from an empty list.
TEST(Parser, SplitsTagsNamesAndAttributes) {
    TKelTagList tags;
    for (const auto& [name, text, expected] :
         {std::tuple<const char*, std::string, const char*>{"Plain", "#kel_page_title#",
                                                            "kel_page_title"},
          {"CaseKept", "#Kel_Page_Title#", "Kel_Page_Title"},
          {"SpacesAroundEquals", "#kel_picture_filename def_cols=3 def_rows = 2#",
           "kel_picture_filename def_cols=3 def_rows=2"},
          {"QuotesAreValueCharacters", "#kel_page_filename layer=\"big\"#",
           "kel_page_filename layer=\"big\""},
          {"TrailingWordDropped", "#kel_page_filename layer=a b=c d#",
           "kel_page_filename layer=a b=c"},
          {"KeyFoldedValueKept", "#kel_x LAYER=Big#", "kel_x layer=Big"},
          {"LineBreakBelongsToName", "#kel_picture_filename\r\ndef_cols=3#",
           "kel_picture_filename\r\ndef_cols=3"},
          {"TrailingWhiteSpaceCut", "#kel_page_text \t\r\n#", "kel_page_text"},
          {"EmptyValue", "#kel_x def_cols=#", "kel_x def_cols="},
          {"EmptyValueTakesNextWord", "#kel_x def_rows= def_cols=2#", "kel_x def_rows=def_cols=2"},
          {"DuplicateKeysKept", "#kel_x a=1 a=2#", "kel_x a=1 a=2"},
          {"AdjacentTags", "#kel_a##kel_b#", "kel_a | kel_b"},
          {"HashInsideTagEndsIt", "#kel_a #kel_b#", "kel_a"},
          {"Unterminated", "#kel_a# and #kel_b without end", "kel_a"},
          {"NoTags", "no tags # here #kel", ""},
          {"Empty", "", ""}}) {
        TKelParser().Parse(text, tags);
        EXPECT_EQ(Describe(tags), expected) << name;
    }
}

// Positions are 1-based and point at the two '#'.
TEST(Parser, Positions) {
    TKelTagList tags;
    TKelParser().Parse("ab#kel_page_title#c#kel_a##kel_b #x#", tags);
    ASSERT_EQ(tags.Count(), 3);
    for (const auto& [index, start, end] : {std::tuple{0, 3, 18}, {1, 20, 26}, {2, 27, 34}}) {
        EXPECT_EQ(tags.Items(index)->StartPos, start) << index;
        EXPECT_EQ(tags.Items(index)->EndPos, end) << index;
    }
}

// Replacing from the last tag to the first keeps earlier positions valid; values go in raw.
TEST(Parser, ReplaceLastToFirst) {
    std::string text = "a#kel_page_title#b#kel_page_text#c";
    TKelTagList tags;
    TKelParser parser;
    parser.Parse(text, tags);
    parser.ReplaceTag(text, "Y", *tags.Items(1));
    parser.ReplaceTag(text, "X & <2>", *tags.Items(0));
    EXPECT_EQ(text, "aX & <2>bYc");
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
TEST(Parser, VocabularyAndLookup) {
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
}

// An owning list never takes over another list's tags; a non-owning one does.
TEST(Parser, OwningListRefusesAssignAndAppend) {
    TKelTagList owner;
    TKelParser().Parse("#kel_a##kel_b#", owner);
    TKelTagList other;
    for (const bool assign : {true, false}) {
        try {
            assign ? other.Assign(owner) : other.Append(owner);
            ADD_FAILURE() << assign;
        } catch (const EListError& e) {
            EXPECT_STREQ(e.what(), assign ? "TKelTagList.Assign" : "TKelTagList.Append");
        }
    }
    EXPECT_EQ(other.Count(), 0);

    TKelTagRefs refs;
    refs.Assign(owner);
    refs.Append(refs);
    EXPECT_EQ(refs.Count(), 4);
    EXPECT_EQ(refs.Items(2), owner.Items(0));
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
