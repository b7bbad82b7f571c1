// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <ostream>
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "template/TKelPageDirectoryList.h"
#include "template/TKelTag.h"

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

const TKelPageDirectory* FindLayout(const std::string& name) {
    const auto& layouts = ShippedLayouts();
    for (int i = 0; i < layouts.Count(); ++i)
        if (kelvo::SameTextAZ(layouts.Items(i)->GetName(), name))
            return layouts.Items(i);
    return nullptr;
}

const TKelPageFile* FindPage(const TKelPageDirectory& layout, const std::string& name) {
    for (int i = 0; i < layout.PageFiles.Count(); ++i)
        if (kelvo::SameTextAZ(layout.PageFiles.Items(i)->GetName(), name))
            return layout.PageFiles.Items(i);
    return nullptr;
}

struct ShippedLayer {
    const char* name; // "Layout/layer", for the test's name
    const char* layout;
    const char* layer;
    bool repeatsPictures; // has a picture cell (an overview), else one page per picture
    bool pages;           // has previous/next links
    int cols, rows, width, height, quality;
    const char* directory;
};

// Names the row in test output instead of dumping its bytes.
void PrintTo(const ShippedLayer& layer, std::ostream* os) {
    *os << layer.name;
}

class ShippedLayerTest : public testing::TestWithParam<ShippedLayer> {};

} // namespace

// A template edit that loses the picture cell (or moves the first picture tag out of it), drops
// the paging links or changes a default that the README and the example project document.
TEST_P(ShippedLayerTest, HasItsRegionsAndDefaults) {
    const ShippedLayer& want = GetParam();
    const TKelPageDirectory* layout = FindLayout(want.layout);
    ASSERT_NE(layout, nullptr) << "no layout folder " << want.layout;
    const TKelPageFile* page = FindPage(*layout, want.layer);
    ASSERT_NE(page, nullptr) << "no template page " << want.layer;

    EXPECT_EQ(page->IsPicturePage(), want.repeatsPictures);
    if (want.repeatsPictures) {
        EXPECT_FALSE(page->TableText.empty()) << "the cell is not inside a table row";
        EXPECT_FALSE(page->RowText.empty());
    }
    EXPECT_TRUE(page->AllTags.ContainsPictureTag());
    EXPECT_EQ(page->AllTags.FindTag("kel_page_previous") != nullptr, want.pages);
    EXPECT_EQ(page->AllTags.FindTag("kel_page_next") != nullptr, want.pages);

    const TKelTag* picture = page->AllTags.FindTag("kel_picture_filename");
    ASSERT_NE(picture, nullptr);
    if (want.repeatsPictures) {
        EXPECT_EQ(picture->GetIntAttribute("def_cols", 5), want.cols);
        EXPECT_EQ(picture->GetIntAttribute("def_rows", 0), want.rows);
    }
    EXPECT_EQ(picture->GetIntAttribute("def_width", 140), want.width);
    EXPECT_EQ(picture->GetIntAttribute("def_height", 140), want.height);
    EXPECT_EQ(picture->GetIntAttribute("def_quality", 80), want.quality);
    EXPECT_EQ(picture->GetStrAttribute("def_directory", ""), want.directory);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ShippedLayerTest,
                         testing::Values(ShippedLayer{"StandardIndex", "Standard", "index", true,
                                                      true, 4, 3, 200, 200, 80, "thumbs"},
                                         ShippedLayer{"StandardPhoto", "Standard", "photo", false,
                                                      true, 1, 1, 1024, 768, 85, "photos"},
                                         ShippedLayer{"ClassicIndex", "Classic", "index", true,
                                                      false, 5, 0, 160, 160, 82, "images"},
                                         ShippedLayer{"ClassicPicture", "Classic", "picture", false,
                                                      true, 1, 1, 800, 600, 85, "images"},
                                         ShippedLayer{"DarkroomIndex", "Darkroom", "index", true,
                                                      true, 4, 4, 360, 240, 80, "frames"},
                                         ShippedLayer{"DarkroomStrip", "Darkroom", "strip", true,
                                                      false, 12, 0, 180, 120, 75, "frames"},
                                         ShippedLayer{"DarkroomView", "Darkroom", "view", false,
                                                      true, 1, 1, 1600, 1200, 82, "frames"}),
                         [](const testing::TestParamInfo<ShippedLayer>& info) {
                             return std::string(info.param.name);
                         });

// A misspelt tag or a link to a layer that does not exist stays in the gallery page as
// written, a broken link; a def_ number that is not a number makes the layout unusable.
TEST(ShippedLayouts, UseOnlyKnownTagsAndLayers) {
    static const std::set<std::string> vocabulary = {
        "kel_page_title",      "kel_page_text",      "kel_page_previous", "kel_page_next",
        "kel_page_filename",   "kel_page_overview",  "kel_picture_title", "kel_picture_filename",
        "kel_picture_comment", "kel_internal_table", "kel_internal_row",  "kel_internal_cell"};
    const auto& layouts = ShippedLayouts();
    ASSERT_GE(layouts.Count(), 3);
    for (int i = 0; i < layouts.Count(); ++i) {
        const TKelPageDirectory& layout = *layouts.Items(i);
        SCOPED_TRACE(layout.GetName());
        ASSERT_GT(layout.PageFiles.Count(), 0);
        for (int p = 0; p < layout.PageFiles.Count(); ++p) {
            const TKelPageFile& page = *layout.PageFiles.Items(p);
            SCOPED_TRACE(page.GetName());
            for (const TKelTag* tag : page.AllTags) {
                EXPECT_TRUE(vocabulary.count(tag->Name)) << "unknown tag " << tag->Name;
                if (tag->Name == "kel_page_filename" || tag->Name == "kel_page_overview") {
                    const std::string target = tag->GetStrAttribute("layer", page.GetName());
                    bool found = false;
                    for (int q = 0; q < layout.PageFiles.Count(); ++q)
                        found = found ||
                                kelvo::SameTextAZ(layout.PageFiles.Items(q)->GetName(), target);
                    EXPECT_TRUE(found) << tag->Name << " names no layer " << target;
                }
                for (const char* key :
                     {"def_cols", "def_rows", "def_width", "def_height", "def_quality"})
                    EXPECT_NO_THROW(tag->GetIntAttribute(key, 0)) << key;
            }
        }
    }
}

// A gallery must work offline from disk: no style sheet, script, font or picture from the net.
TEST(ShippedLayouts, LoadNothingFromOutside) {
    const std::regex external(
        R"((src|href)\s*=\s*["']?\s*(https?:)?//|url\(\s*["']?\s*(https?:)?//|@import)",
        std::regex::icase);
    std::size_t checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(KELVO_LAYOUTS_DIR)) {
        const std::string ext = kelvo::LowerAZ(entry.path().extension().string());
        if (!entry.is_regular_file() ||
            (ext != ".html" && ext != ".htm" && ext != ".css" && ext != ".js"))
            continue;
        const std::string text = kelvo::ReadFileBytes(entry.path().string());
        EXPECT_FALSE(std::regex_search(text, external)) << entry.path();
        ++checked;
    }
    EXPECT_GT(checked, 0U);
}

// The program falls back to the layout named Standard; every layout needs a start page.
TEST(ShippedLayouts, HaveStandardAndAStartPageEach) {
    EXPECT_NE(FindLayout("Standard"), nullptr);
    const auto& layouts = ShippedLayouts();
    for (int i = 0; i < layouts.Count(); ++i)
        EXPECT_NE(FindPage(*layouts.Items(i), "index"), nullptr) << layouts.Items(i)->GetName();
}
