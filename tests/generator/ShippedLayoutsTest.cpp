// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/KelText.h"
#include "template/TKelPageDirectoryList.h"
#include "template/TKelTag.h"
#include "template/TKelTemplateCheck.h"

// The layouts the program ships, read from the source tree as the layout dialog reads them.
namespace {

const TKelPageDirectoryList& ShippedLayouts() {
    static const TKelPageDirectoryList layouts = [] {
        TKelPageDirectoryList list;
        list.Load(KELVO_LAYOUTS_DIR);
        return list;
    }();
    return layouts;
}

template <class List>
auto FindByName(const List& list, const std::string& name) {
    for (int i = 0; i < list.Count(); ++i)
        if (kelvo::SameTextAZ(list.Items(i)->GetName(), name))
            return list.Items(i);
    return decltype(list.Items(0))(nullptr);
}

struct ShippedLayer {
    const char* name;
    const char* layout;
    const char* layer;
    bool repeatsPictures; // an overview with a picture cell, else a page per picture
    bool pages;           // has previous/next links
};

class ShippedLayerTest : public testing::TestWithParam<ShippedLayer> {};

} // namespace

// A template edit that loses the picture cell (or its first picture tag) or the paging links.
TEST_P(ShippedLayerTest, HasItsRegions) {
    const ShippedLayer& want = GetParam();
    const TKelPageDirectory* layout = FindByName(ShippedLayouts(), want.layout);
    ASSERT_NE(layout, nullptr) << "no layout folder " << want.layout;
    const TKelPageFile* page = FindByName(layout->PageFiles, want.layer);
    ASSERT_NE(page, nullptr) << "no template page " << want.layer;
    EXPECT_EQ(page->IsPicturePage(), want.repeatsPictures);
    EXPECT_EQ(!page->RowText.empty() && !page->TableText.empty(), want.repeatsPictures);
    EXPECT_TRUE(page->AllTags.ContainsPictureTag());
    for (const char* link : {"kel_page_previous", "kel_page_next"})
        EXPECT_EQ(page->AllTags.FindTag(link) != nullptr, want.pages) << link;
}

INSTANTIATE_TEST_SUITE_P(Layouts, ShippedLayerTest,
                         testing::Values(ShippedLayer{"StandardIndex", "Standard", "index", 1, 1},
                                         ShippedLayer{"StandardPhoto", "Standard", "photo", 0, 1},
                                         ShippedLayer{"ClassicIndex", "Classic", "index", 1, 0},
                                         ShippedLayer{"ClassicPicture", "Classic", "picture", 0, 1},
                                         ShippedLayer{"DarkroomIndex", "Darkroom", "index", 1, 1},
                                         ShippedLayer{"DarkroomStrip", "Darkroom", "strip", 1, 0},
                                         ShippedLayer{"DarkroomView", "Darkroom", "view", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// The program falls back to the layout named Standard; every layout needs a start page.
TEST(ShippedLayouts, HaveStandardAndAStartPageEach) {
    const auto& layouts = ShippedLayouts();
    EXPECT_NE(FindByName(layouts, "Standard"), nullptr);
    for (int i = 0; i < layouts.Count(); ++i)
        EXPECT_NE(FindByName(layouts.Items(i)->PageFiles, "index"), nullptr)
            << layouts.Items(i)->GetName();
}

// A shipped layout with a mistake its authors would see in kelvo-cli check.
TEST(ShippedLayouts, PassTheTemplateCheck) {
    const auto& layouts = ShippedLayouts();
    ASSERT_EQ(layouts.Count(), 3);
    for (int i = 0; i < layouts.Count(); ++i) {
        for (const TKelTemplateFinding& finding : TKelTemplateCheck::Check(*layouts.Items(i)))
            ADD_FAILURE() << layouts.Items(i)->GetName() << '/' << finding.File << ':'
                          << finding.Line << ':' << finding.Column << ": " << finding.Text();
    }
}

// A word a shipped page asks for that a language lacks would show its key, or English.
TEST(ShippedLayouts, EveryWordInEnglishAndGerman) {
    const auto& layouts = ShippedLayouts();
    for (int i = 0; i < layouts.Count(); ++i) {
        const TKelPageDirectory& layout = *layouts.Items(i);
        EXPECT_EQ(layout.Words.Languages(), (std::vector<std::string>{"en", "de"}))
            << layout.GetName();
        for (int p = 0; p < layout.PageFiles.Count(); ++p) {
            const TKelTagRefs& tags = layout.PageFiles.Items(p)->AllTags;
            for (int t = 0; t < tags.Count(); ++t) {
                if (tags.Items(t)->Name != "kel_word")
                    continue;
                const std::string key = tags.Items(t)->GetStrAttribute("name", "");
                const std::string english = layout.Words.Word(key, "en");
                EXPECT_NE(english, key) << layout.GetName() << ": " << key;
                EXPECT_NE(layout.Words.Word(key, "de"), english) << layout.GetName() << ": " << key;
            }
        }
    }
}
