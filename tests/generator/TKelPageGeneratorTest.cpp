// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPageGenerator.h"

#include <gtest/gtest.h>

#include "base/FileUtils.h"
#include "model/TKelLayer.h"
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

// Paging: 23 pictures in 5 x 2 make three overview pages of 10, 10 and 3 cells, numbered from
// the second page on, and a page per picture with zero-padded numbers.
TEST_F(PageGenerator, PagesRowsAndCells) {
    gallery.Load();
    AddPictures(23);
    Generate();
    EXPECT_EQ(generator.PageCount(Layer("index")), 3);
    const std::string pages[] = {gallery.Output("index.html"), gallery.Output("index_2.html"),
                                 gallery.Output("index_3.html")};
    EXPECT_EQ(CountOf(pages[0], "<td>"), 10);
    EXPECT_EQ(CountOf(pages[0], "<tr>"), 2);
    EXPECT_EQ(CountOf(pages[1], "<td>"), 10);
    EXPECT_EQ(CountOf(pages[2], "<td>"), 3);
    EXPECT_EQ(CountOf(pages[2], "<tr>"), 1);
    EXPECT_FALSE(gallery.OutputExists("index_4.html"));
    // Each repeated row and cell starts on a line of its own, indented as in the template.
    EXPECT_NE(pages[2].find("<table>\n  <tr>\n    <td><a href=\"large_21.html\"><img "
                            "src=\"p120_index.jpg\" alt=\"p120\"></a></td>\n    <td>"),
              std::string::npos)
        << pages[2];

    EXPECT_EQ(generator.PageCount(Layer("large")), 23);
    EXPECT_TRUE(gallery.OutputExists("large.html"));
    EXPECT_TRUE(gallery.OutputExists("large_02.html"));
    EXPECT_TRUE(gallery.OutputExists("large_23.html"));
    EXPECT_FALSE(gallery.OutputExists("large_2.html"));
}

// Links between pages: previous/next clamp to the page itself at the ends, and a picture page
// links back to the overview page that holds its picture.
TEST_F(PageGenerator, LinksBetweenPagesAndLayers) {
    gallery.Load();
    AddPictures(23);
    Generate();
    const std::string first = gallery.Output("index.html");
    EXPECT_NE(first.find("rel=prev href=\"index.html\""), std::string::npos);
    EXPECT_NE(first.find("rel=next href=\"index_2.html\""), std::string::npos);
    const std::string last = gallery.Output("index_3.html");
    EXPECT_NE(last.find("rel=prev href=\"index_2.html\""), std::string::npos);
    EXPECT_NE(last.find("rel=next href=\"index_3.html\""), std::string::npos);

    // Picture 12 (the 13th) stands on the second overview page.
    const std::string picture = gallery.Output("large_13.html");
    EXPECT_NE(picture.find("<img src=\"p112_large.jpg\"><p>p112: </p>"), std::string::npos);
    EXPECT_NE(picture.find("rel=up href=\"index_2.html\""), std::string::npos);
}

// Rows 0 puts every picture on one page, in rows of Cols; Cols 0 puts them all in one row.
TEST_F(PageGenerator, UnlimitedRowsAndColumns) {
    gallery.Load();
    AddPictures(23);
    Layer("index").SetRowCount(0);
    Generate();
    EXPECT_EQ(generator.PageCount(Layer("index")), 1);
    EXPECT_EQ(CountOf(gallery.Output("index.html"), "<tr>"), 5);
    EXPECT_EQ(CountOf(gallery.Output("index.html"), "<td>"), 23);
    EXPECT_FALSE(gallery.OutputExists("index_2.html"));

    Layer("index").SetColCount(0);
    Layer("index").SetRowCount(3);
    Generate();
    EXPECT_EQ(CountOf(gallery.Output("index.html"), "<tr>"), 1);
    EXPECT_EQ(CountOf(gallery.Output("index.html"), "<td>"), 23);
}

// Only checked pictures take part: indexes, page counts and links count them alone; with none
// checked nothing at all is written.
TEST_F(PageGenerator, UncheckedPicturesTakeNoPart) {
    gallery.Load();
    AddPictures(12);
    gallery.Pictures.GetPicture(0)->SetChecked(false);
    gallery.Pictures.GetPicture(1)->SetChecked(false);
    Generate();
    EXPECT_EQ(generator.PageCount(Layer("large")), 10);
    EXPECT_TRUE(gallery.OutputExists("large_10.html"));
    EXPECT_FALSE(gallery.OutputExists("large_11.html"));
    EXPECT_NE(gallery.Output("large.html").find("p102"), std::string::npos);

    for (TKelPicture* picture : gallery.Pictures)
        picture->SetChecked(false);
    GalleryFixture empty;
    generator.Generate(gallery.Pictures, *gallery.Layout, empty.OutDir);
    EXPECT_TRUE(empty.OutputFiles().empty());
}

// A layer without picture tags is one page whatever the count; the title is escaped, the
// page text goes in as the HTML it is.
TEST_F(PageGenerator, PageWithoutPictureTagsAndRawValues) {
    gallery.Page("about.html", "<title>#kel_page_title#</title>#kel_page_text#");
    gallery.Load();
    AddPictures(30);
    Layer("about").SetPageTitle("Tom & Jerry <2>");
    Layer("about").SetPageText("line 1\r\nline 2");
    Generate();
    EXPECT_EQ(gallery.Output("about.html"),
              "<title>Tom &amp; Jerry &lt;2&gt;</title>line 1\r\nline 2");
    EXPECT_FALSE(gallery.OutputExists("about_2.html"));
}

// Unknown tags, picture tags outside any picture and links to missing layers stay as written.
TEST_F(PageGenerator, TagsThatStayAsWritten) {
    gallery.Page("odd.html", "#kel_unknown# #Kel_Page_Title# #kel_page_filename layer=gone#");
    gallery.Load();
    AddPictures(1);
    Generate();
    EXPECT_EQ(gallery.Output("odd.html"),
              "#kel_unknown# #Kel_Page_Title# #kel_page_filename layer=gone#");
}

// The link form keeps only plain letters and digits in names; pages and picture files use it
// too, so every link finds its file.
TEST_F(PageGenerator, LinkFormOfPictureNames) {
    gallery.Page("big.html", "<img src=\"#kel_picture_filename def_directory=pics#\">");
    gallery.Load();
    TKelPicture* picture = gallery.AddPicture("Strand Ü-1.jpg");
    gallery.AddPicture("scan.bmp");
    gallery.AddPicture("photo.jpeg");
    generator.Generate(gallery.Pictures, *gallery.Layout, gallery.OutDir);
    const TKelLayer& big = Layer("big");
    EXPECT_EQ(generator.GetPictureFileName(*gallery.Layout, big, picture, gallery.OutDir),
              gallery.OutDir + "pics/Strand Ü-1_big.jpg");
    EXPECT_EQ(gallery.Output("big.html"), "<img src=\"pics/Strand_U_1_big.jpg\">");
    EXPECT_EQ(gallery.Output("big_2.html"), "<img src=\"pics/scan_big.jpg\">");
    EXPECT_EQ(gallery.Output("big_3.html"), "<img src=\"pics/photo_big.jpg\">");
}

struct UrlCase {
    const char* name;
    const char* path;
    bool convert;
    const char* url;
};

class MakeUrl : public testing::TestWithParam<UrlCase> {};

// The link form, code point by code point, and only after the last folder delimiter.
TEST_P(MakeUrl, Converts) {
    EXPECT_EQ(TKelPageGenerator::MakeUrl(GetParam().path, GetParam().convert), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    PageGenerator, MakeUrl,
    testing::Values(UrlCase{"Plain", "index_02.html", true, "index_02.html"},
                    UrlCase{"Umlauts", "ÄÖÜäöüèé.jpg", false, "AOUaouee.jpg"},
                    UrlCase{"OtherLetters", "ßñ€ x.jpg", false, "____x.jpg"},
                    UrlCase{"Punctuation", "a-b_c d(1).jpg", false, "a_b_c_d_1_.jpg"},
                    UrlCase{"FolderKept", "my pics/Ü ber.jpg", false, "my pics/U_ber.jpg"},
                    UrlCase{"Backslashes", "sub\\dir\\a b.jpg", true, "sub/dir/a_b.jpg"},
                    UrlCase{"BackslashKeptAsDelimiter", "sub\\a b.jpg", false, "sub\\a_b.jpg"},
                    UrlCase{"BrokenUtf8", "a\xff\xc3.jpg", false, "a__.jpg"}),
    [](const testing::TestParamInfo<UrlCase>& info) { return std::string(info.param.name); });

// Page names: numbered from the second page, padded to the digits of the page count.
TEST_F(PageGenerator, PageFileNames) {
    gallery.Page("sub/page.htm", "<table><tr><td>#kel_picture_filename def_cols=1 def_rows=1#"
                                 "#kel_page_next#</td></tr></table>");
    gallery.Load();
    AddPictures(9);
    generator.Generate(gallery.Pictures, *gallery.Layout, gallery.OutDir);
    const TKelLayer& page = Layer("page");
    EXPECT_EQ(generator.GetPageFileName(*gallery.Layout, page, "/o/", 0), "/o/sub/page.htm");
    EXPECT_EQ(generator.GetPageFileName(*gallery.Layout, page, "/o/", 8), "/o/sub/page_9.htm");
    EXPECT_EQ(generator.GetPageFileName(*gallery.Layout, page, "/o/", 99), "/o/sub/page_9.htm");
    EXPECT_EQ(generator.GetPageFileName(*gallery.Layout, page, "/o/", -3), "/o/sub/page.htm");
    // Pictures of a layer without picture folder go beside its template.
    EXPECT_EQ(gallery.Output("sub/page_2.htm"),
              "<table><tr><td>p101_page.jpgpage_3.htm</td></tr></table>");
}

// A preview writes page 0 with the chosen picture first; other cells show the placeholder but
// keep their real titles.
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

    GalleryFixture none;
    none.Page("gallery.html", "#kel_page_title#");
    none.Load();
    EXPECT_EQ(generator.GetStartPage(*none.Layout, "/o/"), "");
}

// Cancelling stops before the next layer or page; what was written stays.
TEST_F(PageGenerator, CancelBeforeLayerAndPage) {
    gallery.Load();
    AddPictures(23);
    RecordingProgress beforeFirstLayer;
    beforeFirstLayer.CancelAtQuery = 0;
    generator.Progress = &beforeFirstLayer;
    Generate();
    EXPECT_TRUE(gallery.OutputFiles().empty());

    // Query 0 before layer "index", 1 before its first page, 2 before its second.
    RecordingProgress afterOnePage;
    afterOnePage.CancelAtQuery = 2;
    generator.Progress = &afterOnePage;
    Generate();
    EXPECT_EQ(gallery.OutputFiles(), std::vector<std::string>{"index.html"});
    EXPECT_EQ(afterOnePage.Texts, std::vector<std::string>{"index"});
}

// Pictures whose names would be one file (after the link form, in another folder, in other
// letter case) get numbered names, and pages link to those.
TEST_F(PageGenerator, CollidingPictureNamesAreNumbered) {
    gallery.Page("big.html", "<img src=\"#kel_picture_filename#\">");
    gallery.Load();
    gallery.AddPicture("a b.jpg");
    gallery.AddPicture("a_b.jpg");
    gallery.AddPicture("x/a_b.png");
    gallery.AddPicture("A_B_2.jpg");
    gallery.AddPicture("c.jpg");
    Generate();
    EXPECT_EQ(gallery.Output("big.html"), "<img src=\"a_b_big.jpg\">");
    EXPECT_EQ(gallery.Output("big_2.html"), "<img src=\"a_b_3_big.jpg\">");
    EXPECT_EQ(gallery.Output("big_3.html"), "<img src=\"a_b_4_big.jpg\">");
    EXPECT_EQ(gallery.Output("big_4.html"), "<img src=\"A_B_2_big.jpg\">");
    EXPECT_EQ(gallery.Output("big_5.html"), "<img src=\"c_big.jpg\">");
}

// Nothing lands outside the output folder, whatever a template or project says.
TEST_F(PageGenerator, StaysInsideTheOutputFolder) {
    gallery.Page("big.html", "<img src=\"#kel_picture_filename def_directory=../../escape#\">");
    gallery.Load();
    gallery.AddPicture("a.jpg");
    Generate();
    EXPECT_EQ(gallery.Output("big.html"), "<img src=\"a_big.jpg\">");
    EXPECT_FALSE(std::filesystem::exists(gallery.Tmp.path() / "escape"));
}

// Links into folders whose names would end or change a link are escaped.
TEST_F(PageGenerator, FolderNamesInLinksAreEscaped) {
    gallery.Page("big.html", "<img src=\"#kel_picture_filename def_directory=50%#\">");
    gallery.Load();
    gallery.AddPicture("a.jpg");
    Generate();
    EXPECT_EQ(gallery.Output("big.html"), "<img src=\"50%25/a_big.jpg\">");
}
