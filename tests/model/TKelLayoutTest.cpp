// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelLayoutList.h"

#include <gtest/gtest.h>

#include "model/TSXmlReader.h"
#include "support/GalleryFixture.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelPageDirectoryList.h"

using Entries = std::vector<std::string>;

namespace {

// A picture page: table, row and cell around the picture tag, optionally with a link.
std::string PicturePage(const std::string& tagAttributes, bool links = true) {
    return std::string("<h1>#kel_page_title#</h1><table><tr><td>") +
           "<img src=\"#kel_picture_filename " + tagAttributes + "#\"></td></tr></table>" +
           (links ? "<a href=\"#kel_page_next#\">next</a>" : "");
}

// Every layout folder below tmp/Layouts, read as the layout dialog does.
struct Layouts {
    explicit Layouts(const TempDir& tmp) {
        directories.Load(tmp.dir() + "Layouts/");
        ok = list.LoadFromDirectories(directories);
    }
    TKelPageDirectoryList directories;
    TKelLayoutList list;
    bool ok = false;
};

} // namespace

// Paging follows the page; a template whose defaults are no numbers is left out.
TEST(Layout, LayersFromTemplatePages) {
    TempDir tmp;
    tmp.write("Layouts/A/bad.html", PicturePage("def_cols=five"));
    tmp.write("Layouts/A/good.html", PicturePage("def_cols=2"));
    tmp.write("Layouts/S/large.html", "<img src=\"#kel_picture_filename def_cols=4 def_rows=3#\">");
    tmp.write("Layouts/S/nolinks.html", PicturePage("def_cols=4 def_rows=3", false));
    tmp.write("Layouts/S/up.html", PicturePage("def_directory=../../etc def_densities=3,x,1,9,3"));
    tmp.write("Layouts/Standard/index.html", PicturePage("def_cols=4 def_rows=3 def_width=200 "
                                                         "def_height=150 def_quality=70 "
                                                         "def_directory=pics/small"));
    tmp.write("Layouts/Standard/Detail.html", "#kel_page_title#");
    tmp.write("Layouts/Standard/about.htm", "#kel_page_text#");
    const Layouts l(tmp);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(
        DescribeLayouts(l.list),
        "L:A good,,,2,0,140,140,80,|L:S large,,,1,1,140,140,80, nolinks,,,4,0,140,140,80, "
        "up,,,5,0,140,140,80,,d=1,3|L:Standard about,,,1,1,140,140,80, Detail,,,1,1,140,140,80, "
        "index,,,4,3,200,150,70,pics/small|");
    EXPECT_EQ(l.list.GetLayout(2)->Directory(), l.directories.Items(2));
    TKelLayer* large = l.list.FindLayout("S")->Layers().FindLayer("large");
    // Stored settings are corrected against the current page when they are carried over.
    TKelLayer stored;
    stored.SetRowCount(9);
    large->AssignSettings(stored);
    EXPECT_EQ(std::to_string(large->ColCount()) + "x" + std::to_string(large->RowCount()), "1x1");
}

// What is rooted anywhere or climbs is no picture folder.
TEST(Layout, UnsafePictureDirectoryIsEmpty) {
    for (const char* safe :
         {"", "pics", "pics/big/", "pics\\big", "./pics", "a..b", "...", "pics:2"})
        EXPECT_TRUE(TKelLayer::IsSafePictureDirectory(safe)) << safe;
    for (const char* unsafe : {"..", "../x", "x/..", "a/../b", "a\\..\\b", "/abs", "\\abs",
                               "//server/share", "C:\\x", "c:x", "C:"})
        EXPECT_FALSE(TKelLayer::IsSafePictureDirectory(unsafe)) << unsafe;
}

// The active layout falls back from the chosen name to "standard" to the first, to none.
TEST(Layout, ActiveLayoutResolves) {
    for (const auto& [folders, active, expected] :
         {std::tuple<Entries, const char*, const char*>{
              {"Classic", "Standard"}, "classic", "Classic"},
          {{"Classic", "Standard"}, "Gone", "Standard"},
          {{"Zeta", "Alpha"}, "Gone", "Alpha"},
          {{}, "Standard", "(none)"}}) {
        TempDir tmp;
        for (const std::string& folder : folders)
            tmp.write("Layouts/" + folder + "/index.html", "#kel_page_title#");
        Layouts l(tmp);
        l.list.SetActiveLayout(active);
        const TKelLayout* layout = l.list.GetActiveLayout();
        EXPECT_EQ(layout ? layout->Name() : "(none)", expected) << active;
        l.list.Clear(); // a cleared list keeps no choice for the next layouts
        EXPECT_EQ(l.list.ActiveLayout(), "") << active;
    }
}

// Carrying settings over records nothing; a layer's own setters record real changes.
TEST(Layout, AssignSettingsByName) {
    TSXmlReader reader;
    reader.LoadFromString(R"(<layouts active_layout="standard"><layout name="standard"><layers>
        <layer name="index" page_title="Hi" page_text="x" col_count="3" row_count="2"
               picture_width="10" picture_height="20" picture_quality="30" picture_directory="p"
               densities="2"/>
      </layers></layout></layouts>)");
    TKelLayoutList stored;
    ASSERT_TRUE(stored.LoadFromXml(reader.Root()));

    TempDir tmp;
    tmp.write("Layouts/Standard/Index.html", PicturePage("def_cols=4"));
    tmp.write("Layouts/Standard/new.html", PicturePage("def_cols=6"));
    Layouts l(tmp);
    l.list.AssignSettings(stored);
    EXPECT_EQ(l.list.ActiveLayout(), "standard");
    EXPECT_EQ(DescribeLayouts(l.list),
              "L:Standard Index,Hi,x,3,2,10,20,30,p,d=1,2 new,,,6,0,140,140,80,|");
    EXPECT_NE(l.list.FindLayout("Standard")->Layers().FindLayer("Index")->PageFile(), nullptr);

    TKelLayer* layer = l.list.FindLayout("Standard")->Layers().FindLayer("new");
    layer->SetColCount(6);
    layer->SetPageTitle("");
    layer->SetColCount(3);
    layer->SetRowCount(2);
    layer->SetPictureWidth(1);
    layer->SetPictureHeight(2);
    layer->SetPictureQuality(3);
    layer->SetPageTitle("T");
    layer->SetPageText("a\r\nb");
    layer->SetDensities({1});
    layer->SetDensities({3, 2});
    l.list.SetLanguage("EN");
    l.list.SetLanguage("De");
    EXPECT_EQ(l.list.Language(), "de");
    EXPECT_EQ(l.list.History().Items(),
              (Entries{"SetColCount", "SetRowCount", "SetPictureWidth", "SetPictureHeight",
                       "SetPictureQuality", "SetPageTitle", "SetPageText", "SetDensities",
                       "SetLanguage"}));
}

// Unsafe picture folders read as none; a layout without layers fails the load.
TEST(Layout, LoadFromXmlDefaultsAndFailures) {
    TSXmlReader reader;
    reader.LoadFromString(R"(<layouts>
        <layout><layers><layer name="b" col_count="x" picture_directory="p/../../x"
                               densities="two"/>
          <layer name="A" picture_directory="p"/></layers></layout>
        <layout name="nolayers"/>
        <layout name="after"><layers><layer name="z"/></layers></layout>
      </layouts>)");
    TKelLayoutList list;
    list.SetActiveLayout("old");
    EXPECT_FALSE(list.LoadFromXml(reader.Root()));
    EXPECT_EQ(list.ActiveLayout(), "");
    EXPECT_EQ(DescribeLayouts(list),
              "L:unknown A,,,5,0,140,140,80,p b,,,5,0,140,140,80,|L:nolayers|L:|");
    EXPECT_FALSE(list.LoadFromXml(pugi::xml_node()));
}
