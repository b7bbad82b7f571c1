// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelLayoutList.h"

#include <gtest/gtest.h>

#include "model/TSXmlReader.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelPageDirectoryList.h"

using Entries = std::vector<std::string>;

namespace {

// A picture page: table, row and cell around the picture tag, with links to other pages.
std::string PicturePage(const std::string& tagAttributes, bool links = true) {
    return std::string("<h1>#kel_page_title#</h1><table><tr><td>") +
           "<img src=\"#kel_picture_filename " + tagAttributes + "#\"></td></tr></table>" +
           (links ? "<a href=\"#kel_page_next#\">next</a>" : "");
}

// Reads every layout folder below tmp/Layouts into a layout list, as the layout dialog does.
struct Layouts {
    explicit Layouts(const TempDir& tmp) {
        directories.Load(tmp.dir() + "Layouts/");
        ok = list.LoadFromDirectories(directories);
    }
    TKelLayer* Layer(const std::string& layout, const std::string& layer) const {
        const TKelLayout* l = list.FindLayout(layout);
        return l ? l->Layers().FindLayer(layer) : nullptr;
    }
    TKelPageDirectoryList directories;
    TKelLayoutList list;
    bool ok = false;
};

Entries LayerNames(const TKelLayout& layout) {
    Entries names;
    for (const TKelLayer* layer : layout.Layers())
        names.push_back(layer->Name());
    return names;
}

// A layer's settings in one comparable text: cols, rows, width x height, quality, folder.
std::string Settings(const TKelLayer* l) {
    return std::to_string(l->ColCount()) + "," + std::to_string(l->RowCount()) + "," +
           std::to_string(l->PictureWidth()) + "x" + std::to_string(l->PictureHeight()) + "," +
           std::to_string(l->PictureQuality()) + "," + l->PictureDirectory();
}

} // namespace

// Layouts read from template folders. Defaults come from the first picture tag; a layer is
// named after its page, and the layers are sorted by name without regard to case. Paging
// follows what the page can show: no picture cell means one picture per page, a picture page
// without links to other pages shows all pictures on one. Picture folders that would lead
// outside the gallery are taken as empty. A template whose defaults are not numbers is left
// out and fails the load; the other pages of its layout and the following layouts are still
// read whole.
TEST(Layout, LayersFromTemplatePages) {
    TempDir tmp;
    tmp.write("Layouts/A/bad.html", PicturePage("def_cols=five"));
    tmp.write("Layouts/A/good.html", PicturePage("def_cols=2"));
    tmp.write("Layouts/B/index.html", PicturePage("def_cols=3"));
    tmp.write("Layouts/S/large.html", "<img src=\"#kel_picture_filename def_cols=4 def_rows=3#\">");
    tmp.write("Layouts/S/nolinks.html", PicturePage("def_cols=4 def_rows=3", false));
    tmp.write("Layouts/S/text.html", "#kel_page_title#");
    tmp.write("Layouts/S/up.html", PicturePage("def_directory=../../etc"));
    tmp.write("Layouts/S/root.html", PicturePage("def_directory=/tmp/x"));
    tmp.write("Layouts/Standard/index.html", PicturePage("def_cols=4 def_rows=3 def_width=200 "
                                                         "def_height=150 def_quality=70 "
                                                         "def_directory=pics/small"));
    tmp.write("Layouts/Standard/Detail.html", "#kel_page_title#");
    tmp.write("Layouts/Standard/about.htm", "#kel_page_text#");
    tmp.write("Layouts/Standard/style.css", "#kel_page_title#");
    const Layouts l(tmp);
    EXPECT_FALSE(l.ok);
    ASSERT_EQ(l.list.Count(), 4);
    const TKelLayout* layout = l.list.GetLayout(3);
    EXPECT_EQ(layout->Name(), "Standard");
    EXPECT_EQ(layout->Directory(), l.directories.Items(3));
    EXPECT_EQ(LayerNames(*layout), (Entries{"about", "Detail", "index"}));
    const TKelLayer* index = layout->Layers().FindLayer("INDEX");
    ASSERT_NE(index, nullptr);
    EXPECT_NE(index->PageFile(), nullptr);
    EXPECT_EQ(Settings(index), "4,3,200x150,70,pics/small");

    TKelLayer* large = l.Layer("S", "large");
    EXPECT_EQ(Settings(large), "1,1,140x140,80,");
    EXPECT_EQ(Settings(l.Layer("S", "nolinks")), "4,0,140x140,80,");
    EXPECT_EQ(Settings(l.Layer("S", "text")), "1,1,140x140,80,");
    EXPECT_EQ(Settings(l.Layer("S", "up")), "5,0,140x140,80,");
    EXPECT_EQ(Settings(l.Layer("S", "root")), "5,0,140x140,80,");
    // Stored settings are corrected against the current page when they are carried over.
    TKelLayer stored;
    stored.SetColCount(7);
    stored.SetRowCount(9);
    large->AssignSettings(stored);
    EXPECT_EQ(Settings(large), "1,1,140x140,80,");

    EXPECT_EQ(LayerNames(*l.list.GetLayout(0)), (Entries{"good"}));
    EXPECT_EQ(l.Layer("B", "index")->ColCount(), 3);
}

// What is rooted anywhere or climbs is no picture folder, also in a project file; plain names
// are.
TEST(Layout, UnsafePictureDirectoryIsEmpty) {
    for (const char* safe :
         {"", "pics", "pics/big/", "pics\\big", "./pics", "a..b", "...", "pics:2"})
        EXPECT_TRUE(TKelLayer::IsSafePictureDirectory(safe)) << safe;
    for (const char* unsafe : {"..", "../x", "x/..", "a/../b", "a\\..\\b", "/abs", "\\abs",
                               "//server/share", "C:\\x", "c:x"})
        EXPECT_FALSE(TKelLayer::IsSafePictureDirectory(unsafe)) << unsafe;
    TSXmlReader reader;
    reader.LoadFromString(R"(<layer name="x" picture_directory="pics/../../x"/>)");
    TKelLayer layer;
    ASSERT_TRUE(layer.LoadFromXml(reader.Root()));
    EXPECT_EQ(layer.PictureDirectory(), "");
}

// The active layout falls back from the chosen name to "standard" to the first, to none.
TEST(Layout, ActiveLayoutResolves) {
    for (const auto& [folders, active, expected] :
         {std::tuple<Entries, const char*, const char*>{{"Classic", "Standard"}, "", "Standard"},
          {{"Classic", "Standard"}, "classic", "Classic"},
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
    }
}

// Settings stored by name (any case) reach the freshly read layouts; new layers keep their
// template defaults and the active layout name comes along. Carrying settings over records
// nothing; a layer's setters climb the owner chain into the layout list's own history, only on
// a real change.
TEST(Layout, AssignSettingsByName) {
    TSXmlReader reader;
    reader.LoadFromString(R"(<layouts active_layout="standard">
        <layout name="standard"><layers>
          <layer name="index" page_title="Hi" page_text="x" col_count="3" row_count="2"
                 picture_width="10" picture_height="20" picture_quality="30"
                 picture_directory="p"/>
        </layers></layout>
        <layout name="gone"><layers/></layout>
      </layouts>)");
    TKelLayoutList stored;
    ASSERT_TRUE(stored.LoadFromXml(reader.Root()));

    TempDir tmp;
    tmp.write("Layouts/Standard/Index.html", PicturePage("def_cols=4"));
    tmp.write("Layouts/Standard/new.html", PicturePage("def_cols=6"));
    Layouts l(tmp);
    l.list.AssignSettings(stored);
    EXPECT_EQ(l.list.ActiveLayout(), "standard");
    const TKelLayer* index = l.Layer("Standard", "Index");
    EXPECT_EQ(Settings(index) + index->PageTitle() + index->PageText(), "3,2,10x20,30,pHix");
    EXPECT_EQ(index->Name(), "Index");
    EXPECT_NE(index->PageFile(), nullptr);
    EXPECT_EQ(l.Layer("Standard", "new")->ColCount(), 6);
    EXPECT_EQ(l.list.Count(), 1);
    EXPECT_FALSE(l.list.History().IsModified());

    TKelLayer* layer = l.Layer("Standard", "new");
    layer->SetColCount(6);
    layer->SetPageTitle("");
    EXPECT_FALSE(l.list.History().IsModified());
    layer->SetColCount(3);
    layer->SetRowCount(2);
    layer->SetPictureWidth(1);
    layer->SetPictureHeight(2);
    layer->SetPictureQuality(3);
    layer->SetPageTitle("T");
    layer->SetPageText("a\r\nb");
    EXPECT_EQ(l.list.History().Items(),
              (Entries{"SetColCount", "SetRowCount", "SetPictureWidth", "SetPictureHeight",
                       "SetPictureQuality", "SetPageTitle", "SetPageText"}));
}

// Reading the layouts elements: bad numbers and missing names take their defaults, a layout
// without layers fails the load (after keeping its name), and the layers are sorted.
TEST(Layout, LoadFromXmlDefaultsAndFailures) {
    TSXmlReader reader;
    reader.LoadFromString(R"(<layouts>
        <layout><layers><layer name="b" col_count="x"/><layer name="A"/></layers></layout>
        <layout name="nolayers"/>
        <layout name="after"><layers><layer name="z"/></layers></layout>
      </layouts>)");
    TKelLayoutList list;
    list.SetActiveLayout("old");
    EXPECT_FALSE(list.LoadFromXml(reader.Root()));
    EXPECT_EQ(list.ActiveLayout(), "");
    ASSERT_EQ(list.Count(), 3);
    const TKelLayout* first = list.GetLayout(0);
    EXPECT_EQ(first->Name(), "unknown");
    EXPECT_EQ(first->Directory(), nullptr);
    EXPECT_EQ(LayerNames(*first), (Entries{"A", "b"}));
    const TKelLayer* b = first->Layers().GetLayer(1);
    EXPECT_EQ(Settings(b), "5,0,140x140,80,");
    EXPECT_EQ(b->PageFile(), nullptr);
    EXPECT_EQ(list.GetLayout(1)->Name(), "nolayers");
    EXPECT_EQ(list.GetLayout(1)->Layers().Count(), 0);
    EXPECT_EQ(list.GetLayout(2)->Name(), ""); // created, no longer loaded
    EXPECT_EQ(list.GetLayout(3), nullptr);
    EXPECT_FALSE(list.LoadFromXml(pugi::xml_node()));
}
