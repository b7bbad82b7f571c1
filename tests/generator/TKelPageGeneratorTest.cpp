// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPageGenerator.h"

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "generator/TKelPictureGenerator.h"
#include "model/TKelLayer.h"
#include "model/TKelLayoutList.h"
#include "model/TKelPicture.h"
#include "support/GalleryFixture.h"
#include "support/RecordingProgress.h"

namespace {

// An overview with a picture table and paging links, and a page per picture that links back.
constexpr std::string_view overviewPage =
    "<h1>#kel_page_title#</h1>\n"
    "<table>\n"
    "  <tr>\n"
    "    <td><a href=\"#kel_page_filename layer=large#\"><img src=\"#kel_picture_filename "
    "def_cols=5 def_rows=2#\" alt=\"#kel_picture_title#\"></a></td>\n"
    "  </tr>\n"
    "</table>\n"
    "<a rel=prev href=\"#kel_page_previous#\">&lt;</a> <a rel=next "
    "href=\"#kel_page_next#\">&gt;</a>\n";
constexpr std::string_view picturePage =
    "<img src=\"#kel_picture_filename#\"><p>#kel_picture_title#: #kel_picture_comment#</p>\n"
    "<a rel=up href=\"#kel_page_overview layer=index#\">up</a>\n";

class PageGenerator : public testing::Test {
protected:
    void SetUp() override {
        gallery.Page("index.html", overviewPage);
        gallery.Page("large.html", picturePage);
    }
    void AddPictures(int count) {
        for (int i = 0; i < count; ++i)
            gallery.AddPicture("p" + std::to_string(100 + i) + ".jpg");
    }
    TKelLayer& Layer(std::string_view name) { return *gallery.Layout->Layers().FindLayer(name); }
    void Generate() { generator.Generate(gallery.Pictures, *gallery.Layout, gallery.OutDir); }

    GalleryFixture gallery;
    TKelPageGenerator generator;
};

} // namespace

// 23 pictures in 5 x 2: pages of 10, 10 and 3 cells, clamped links, padded picture page names.
TEST_F(PageGenerator, PagesCellsAndLinks) {
    gallery.Load();
    AddPictures(23);
    Generate();
    EXPECT_EQ(generator.PageCount(Layer("index")), 3);
    EXPECT_EQ(generator.PageCount(Layer("large")), 23);
    std::vector<std::string> files = {"index.html", "index_2.html", "index_3.html", "large.html"};
    for (int i = 2; i <= 23; ++i)
        files.push_back((i < 10 ? "large_0" : "large_") + std::to_string(i) + ".html");
    EXPECT_EQ(gallery.OutputFiles(), files);
    const std::string first = gallery.Output("index.html");
    for (const std::string& page : {first, gallery.Output("index_2.html")})
        EXPECT_EQ(std::pair(CountOf(page, "<tr>"), CountOf(page, "<td>")), std::pair(2, 10));
    EXPECT_NE(first.find("rel=prev href=\"index.html\">&lt;</a> <a rel=next href=\"index_2.html\""),
              std::string::npos);
    // Each repeated row and cell starts on a line of its own, indented as in the template.
    EXPECT_EQ(
        gallery.Output("index_3.html"),
        "<h1></h1>\n<table>\n  <tr>\n"
        "    <td><a href=\"large_21.html\"><img src=\"p120_index.jpg\" alt=\"p120\"></a></td>\n"
        "    <td><a href=\"large_22.html\"><img src=\"p121_index.jpg\" alt=\"p121\"></a></td>\n"
        "    <td><a href=\"large_23.html\"><img src=\"p122_index.jpg\" alt=\"p122\"></a></td>\n"
        "  </tr>\n</table>\n"
        "<a rel=prev href=\"index_2.html\">&lt;</a> <a rel=next href=\"index_3.html\">&gt;</a>\n");
    // Picture 12 (the 13th) stands on the second overview page.
    EXPECT_EQ(
        gallery.Output("large_13.html"),
        "<img src=\"p112_large.jpg\"><p>p112: </p>\n<a rel=up href=\"index_2.html\">up</a>\n");
}

// Only checked pictures count. Rows 0 puts all on one page in rows of Cols; Cols 0 in one row.
TEST_F(PageGenerator, UncheckedPicturesAndUnlimitedRowsOrColumns) {
    gallery.Load();
    AddPictures(23);
    gallery.Pictures.GetPicture(0)->SetChecked(false);
    gallery.Pictures.GetPicture(1)->SetChecked(false);
    Layer("index").SetRowCount(0);
    Generate();
    EXPECT_EQ(generator.PageCount(Layer("large")), 21);
    EXPECT_TRUE(gallery.OutputExists("large_21.html"));
    EXPECT_FALSE(gallery.OutputExists("large_22.html"));
    EXPECT_NE(gallery.Output("large.html").find("p102"), std::string::npos);
    EXPECT_EQ(generator.PageCount(Layer("index")), 1);
    const auto rowsAndCells = [&] {
        const std::string page = gallery.Output("index.html");
        return std::pair(CountOf(page, "<tr>"), CountOf(page, "<td>"));
    };
    EXPECT_EQ(rowsAndCells(), std::pair(5, 21));
    EXPECT_FALSE(gallery.OutputExists("index_2.html"));

    Layer("index").SetColCount(0);
    Layer("index").SetRowCount(3);
    Generate();
    EXPECT_EQ(rowsAndCells(), std::pair(1, 21));

    for (TKelPicture* picture : gallery.Pictures)
        picture->SetChecked(false);
    GalleryFixture empty;
    generator.Generate(gallery.Pictures, *gallery.Layout, empty.OutDir);
    EXPECT_TRUE(empty.OutputFiles().empty());
}

// Picture names take the link form; names that would be one file are numbered, links follow.
TEST_F(PageGenerator, LinkFormAndCollisionsOfPictureNames) {
    gallery.Page("big.html", "<img src=\"#kel_picture_filename def_directory=pics#\">");
    gallery.Load();
    TKelPicture* picture = gallery.AddPicture("Strand Ü-1.jpg");
    for (const char* name :
         {"scan.bmp", "photo.jpeg", "a b.jpg", "a_b.jpg", "x/a_b.png", "A_B_2.jpg"})
        gallery.AddPicture(name);
    Generate();
    EXPECT_EQ(generator.GetPictureFileName(*gallery.Layout, Layer("big"), picture, gallery.OutDir),
              gallery.OutDir + "pics/Strand Ü-1_big.jpg");
    const char* expected[] = {"Strand_U_1", "scan", "photo", "a_b", "a_b_3", "a_b_4", "A_B_2"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(gallery.Output(i ? "big_" + std::to_string(i + 1) + ".html" : "big.html"),
                  "<img src=\"pics/" + std::string(expected[i]) + "_big.jpg\">");
}

// The link form, code point by code point, and only after the last folder delimiter.
TEST(PageGeneratorNames, MakeUrl) {
    for (const auto& [path, convert, url] :
         {std::tuple{"index_02.html", true, "index_02.html"},
          {"ÄÖÜäöüèé.jpg", false, "AOUaouee.jpg"}, // umlauts and accents lose their marks
          {"ßñ€ x.jpg", false, "____x.jpg"},
          {"a-b_c d(1).jpg", false, "a_b_c_d_1_.jpg"},
          {"my pics/Ü ber.jpg", false, "my pics/U_ber.jpg"},
          {"sub\\dir\\a b.jpg", true, "sub/dir/a_b.jpg"},
          {"sub\\a b.jpg", false, "sub\\a_b.jpg"},
          {"a\xff\xc3.jpg", false, "a__.jpg"}}) // broken UTF-8
        EXPECT_EQ(TKelPageGenerator::MakeUrl(path, convert), url) << path;
}

// Page names: numbered from the second page, padded to the digits of the page count (10: 2).
TEST_F(PageGenerator, PageFileNames) {
    gallery.Page("sub/page.htm", "<table><tr><td>#kel_picture_filename def_cols=1 def_rows=1#"
                                 "#kel_page_next#</td></tr></table>");
    gallery.Load();
    AddPictures(10);
    Generate();
    const TKelLayer& page = Layer("page");
    for (const auto& [index, name] :
         {std::pair{0, "page.htm"}, {8, "page_09.htm"}, {99, "page_10.htm"}, {-3, "page.htm"}})
        EXPECT_EQ(generator.GetPageFileName(*gallery.Layout, page, "/o/", index),
                  "/o/sub/" + std::string(name));
    // Pictures of a layer without picture folder go beside its template.
    EXPECT_EQ(gallery.Output("sub/page_02.htm"),
              "<table><tr><td>p101_page.jpgpage_03.htm</td></tr></table>");
}

// A preview writes page 0 with the chosen picture first; other cells show the placeholder.
TEST_F(PageGenerator, Preview) {
    gallery.Page("grid.html", "<table><tr><td>#kel_picture_filename def_cols=3 def_rows=1#|"
                              "#kel_picture_title#</td></tr></table>#kel_page_next#");
    gallery.Load();
    AddPictures(5);
    const std::string file = generator.GeneratePreview(
        *gallery.Layout, &Layer("grid"), 2, gallery.Pictures, gallery.Tmp.dir() + "tmp/");
    EXPECT_EQ(file, gallery.Tmp.dir() + "tmp/grid.html");
    EXPECT_EQ(kelvo::ReadFileBytes(file),
              "<table><tr><td>p102_grid.jpg|p102</td><td>dummy_grid.bmp|p100</td>"
              "<td>dummy_grid.bmp|p101</td></tr></table>grid_2.html");
    EXPECT_FALSE(gallery.OutputExists("grid.html"));
}

// The start page: a copied index page wins, wherever it stands; else a template's page 0.
TEST_F(PageGenerator, StartPage) {
    gallery.Load();
    EXPECT_EQ(generator.GetStartPage(*gallery.Layout, "/o/"), "/o/index.html");

    gallery.Page("start/index.html", "<p>welcome</p>");
    gallery.Page("default.htm", "<p>other</p>");
    gallery.Load();
    EXPECT_EQ(generator.GetStartPage(*gallery.Layout, "/o/"), "/o/start/index.html");

    // index.html wins over index.htm, whatever order the files are listed in.
    gallery.Page("both/index.htm", "<p>htm</p>");
    gallery.Page("both/index.html", "<p>html</p>");
    gallery.Load();
    EXPECT_EQ(generator.GetStartPage(*gallery.Layout, "/o/"), "/o/both/index.html");

    GalleryFixture none;
    none.Page("gallery.html", "#kel_page_title#");
    none.Load();
    EXPECT_EQ(generator.GetStartPage(*none.Layout, "/o/"), "");
}

// Cancelling stops before the next layer or page; what was written stays.
TEST_F(PageGenerator, CancelBeforeLayerAndPage) {
    gallery.Load();
    AddPictures(23);
    // Query 0 before layer "index", 1 before its first page, 2 before its second.
    using Names = std::vector<std::string>;
    for (const auto& [query, files, steps] :
         {std::tuple{0, Names{}, Names{}}, {2, Names{"index.html"}, Names{"index"}}}) {
        RecordingProgress progress;
        progress.CancelAtQuery = query;
        generator.Progress = &progress;
        Generate();
        EXPECT_EQ(gallery.OutputFiles(), files) << query;
        EXPECT_EQ(progress.Texts, steps) << query;
    }
}

// A layer without picture tags is one page; unknown tags and links to missing layers stay as
// written. Nothing lands outside the output folder; link folders are escaped.
TEST_F(PageGenerator, PagesAsWrittenAndInsideTheOutputFolder) {
    gallery.Page("odd.html", "#kel_unknown# #Kel_Page_Title# #kel_page_filename layer=gone#");
    gallery.Page("big.html", "<img src=\"#kel_picture_filename def_directory=../../escape#\">");
    gallery.Page("pct.html", "<img src=\"#kel_picture_filename def_directory=50%#\">");
    gallery.Load();
    AddPictures(30);
    Generate();
    EXPECT_FALSE(gallery.OutputExists("odd_2.html"));
    EXPECT_EQ(gallery.Output("odd.html"),
              "#kel_unknown# #Kel_Page_Title# #kel_page_filename layer=gone#");
    EXPECT_EQ(gallery.Output("big.html"), "<img src=\"p100_big.jpg\">");
    EXPECT_FALSE(std::filesystem::exists(gallery.Tmp.path() / "escape"));
    EXPECT_EQ(gallery.Output("pct.html"), "<img src=\"50%25/p100_pct.jpg\">");
}

// srcset lists exactly the densities the picture generator writes, sizes are the 1x picture's;
// an unreadable source and a preview's placeholder get the frame and no further density.
TEST(PageGeneratorTags, SrcSetAndSizes) {
    GalleryFixture gallery;
    gallery.Page("index.html",
                 "<table><tr><td><img src=\"#kel_picture_filename def_width=64 def_height=48 "
                 "def_densities=1,2,3 def_directory=a,b#\" srcset=\"#kel_picture_srcset#\" "
                 "width=\"#kel_picture_width#\" height=\"#kel_picture_height#\">\n"
                 "</td></tr></table>");
    gallery.Load();
    gallery.AddPhoto("wide.jpg", 300, 200);
    gallery.AddPhoto("small.bmp", 100, 80);
    gallery.AddPicture("broken.jpg");
    TKelPageGenerator pages;
    pages.Generate(gallery.Pictures, *gallery.Layout, gallery.OutDir);
    EXPECT_EQ(gallery.Output("index.html"),
              "<table><tr><td><img src=\"a,b/wide_index.jpg\" srcset=\"a%2Cb/wide_index.jpg, "
              "a%2Cb/2x/wide_index.jpg 2x, a%2Cb/3x/wide_index.jpg 3x\" width=\"64\" "
              "height=\"43\">\n</td><td><img src=\"a,b/small_index.jpg\" "
              "srcset=\"a%2Cb/small_index.jpg, a%2Cb/2x/small_index.jpg 2x\" width=\"60\" "
              "height=\"48\">\n</td><td><img src=\"a,b/broken_index.jpg\" "
              "srcset=\"a%2Cb/broken_index.jpg\" width=\"64\" height=\"48\">\n"
              "</td></tr></table>");

    TKelPictureGenerator pictures;
    pictures.Generate(*gallery.Layout, nullptr, gallery.Pictures, gallery.OutDir);
    for (const char* written :
         {"a,b/2x/wide_index.jpg", "a,b/3x/wide_index.jpg", "a,b/2x/small_index.jpg"})
        EXPECT_TRUE(gallery.OutputExists(written)) << written;
    EXPECT_FALSE(gallery.OutputExists("a,b/3x/small_index.jpg"));

    const std::string preview =
        pages.GeneratePreview(*gallery.Layout, gallery.Layout->Layers().FindLayer("index"), 1,
                              gallery.Pictures, gallery.Tmp.dir() + "tmp/");
    EXPECT_NE(kelvo::ReadFileBytes(preview).find("srcset=\"a%2Cb/dummy_index.bmp\" width=\"64\" "
                                                 "height=\"48\""),
              std::string::npos);
}

// A layout's words in the gallery's language, else English, else the key; its words file is
// not copied. Without the new tags a page is exactly as before.
TEST(PageGeneratorTags, WordsInTheGalleryLanguage) {
    GalleryFixture gallery;
    gallery.Page("index.html", "<html lang=\"#kel_gallery_language#\">#kel_word name=next# "
                               "#kel_word name=only_en# #kel_word name=none# #kel_word#");
    gallery.Page("kelvo-words.ini", "\xEF\xBB\xBF# words\n[en]\nnext = Next <page>\n"
                                    "only_en = Made with Kelvo\n; comment\n[DE]\r\n"
                                    "next = Nächste Seite\r\nbroken line\n");
    gallery.Load();
    gallery.AddPicture("a.jpg");
    TKelLayoutList layouts;
    TKelLayout* layout = layouts.CreateLayout();
    layout->LoadFromDirectory(&gallery.Directory);
    TKelPageGenerator pages;
    pages.CopyFiles(*layout, gallery.OutDir);
    pages.Generate(gallery.Pictures, *layout, gallery.OutDir);
    EXPECT_EQ(gallery.Output("index.html"),
              "<html lang=\"en\">Next &lt;page&gt; Made with Kelvo none #kel_word#");
    layouts.SetLanguage("de");
    pages.Generate(gallery.Pictures, *layout, gallery.OutDir);
    EXPECT_EQ(gallery.Output("index.html"),
              "<html lang=\"de\">Nächste Seite Made with Kelvo none #kel_word#");
    EXPECT_EQ(gallery.Directory.Words.Languages(), (std::vector<std::string>{"en", "de"}));
    EXPECT_EQ(gallery.OutputFiles(), std::vector<std::string>{"index.html"});
}
