// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "model/SXmlHelpers.h"
#include "model/TKelProject.h"
#include "model/TSXmlReader.h"
#include "model/TSXmlWriter.h"
#include "support/GalleryFixture.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectoryList.h"

namespace fs = std::filesystem;

namespace {

// The root element of an XML text; the reader must outlive the node.
struct Parsed {
    explicit Parsed(const std::string& xml) { reader.LoadFromString(xml); }
    pugi::xml_node Root() const { return reader.Root(); }
    TSXmlReader reader;
};

const std::string GoldenFile = std::string(KELVO_MODEL_TEST_DATA) + "golden.kel";

// Everything a save keeps, in one comparable text.
std::string Snapshot(const TKelProject& project) {
    std::string s = project.FileName() + "|" + project.OutputDirectory() + "|" +
                    project.OutputSubDirectory() + "|" + project.Layouts().ActiveLayout() + "|";
    if (project.Layouts().Language() != "en")
        s += "language=" + project.Layouts().Language() + "|";
    s += DescribeLayouts(project.Layouts());
    for (const TKelPicture* p : project.Pictures())
        s += "P:" + p->FileName() + "," + p->Title() + "," + p->Comment() + "," +
             (p->Checked() ? "1" : "0") + "|";
    for (const std::string& entry : project.History().Items())
        s += "H:" + entry;
    return s;
}

// A project with real pictures, one unchecked, and layouts read from template folders.
struct Sample {
    Sample() {
        tmp.write("Layouts/Standard/index.html",
                  "<table><tr><td>#kel_picture_filename def_cols=4 def_rows=2#</td></tr></table>"
                  "#kel_page_next#");
        tmp.write("Layouts/Classic/index.html", "#kel_page_title#");
        directories.Load(tmp.dir() + "Layouts/");
        project.Layouts().LoadFromDirectories(directories);
        project.Layouts().SetActiveLayout("Classic");
        project.Layouts().FindLayout("Standard")->Layers().FindLayer("index")->SetColCount(3);
        project.Layouts().FindLayout("Standard")->Layers().FindLayer("index")->SetDensities({2});
        project.Layouts().SetLanguage("de");
        for (const char* name : {"c.jpg", "a.jpg", "b.jpg"})
            project.Pictures().CreatePicture()->SetFileName(
                tmp.write(std::string("photos/") + name, "x"));
        project.Pictures().GetPicture(1)->SetTitle("Title A");
        project.Pictures().GetPicture(2)->SetChecked(false);
        project.SetOutputDirectory(tmp.dir() + "web");
        project.SetOutputSubDirectory("gallery");
    }
    TempDir tmp;
    TKelPageDirectoryList directories;
    TKelProject project;
};

} // namespace

// Saving clears the modified state; loading keeps everything and leaves it clear.
TEST(Project, SaveAndLoadRoundTrip) {
    Sample s;
    const std::string file = s.tmp.dir() + "p.kel";
    ASSERT_TRUE(s.project.SaveToFile(file));
    // Loading with thumbnails notifies once per picture, with the project's own list.
    TKelProject loaded;
    int calls = 0;
    ASSERT_TRUE(loaded.LoadFromFile(file, true, [&](TKelPictureList& sender, TKelPicture&) {
        EXPECT_EQ(&sender, &loaded.Pictures());
        ++calls;
    }));
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(Snapshot(loaded), Snapshot(s.project)); // with the empty history
    // Settings away from their defaults are written after the ones every file has.
    const std::string text = kelvo::ReadFileBytes(file);
    EXPECT_NE(text.find("<layouts active_layout=\"Classic\" language=\"de\">"), std::string::npos);
    EXPECT_NE(text.find("picture_directory=\"\" densities=\"1,2\"/>"), std::string::npos);
    EXPECT_EQ(loaded.Pictures().GetPicture(0)->Date(), s.project.Pictures().GetPicture(0)->Date());
}

// The hand-written file loads with its escapes read as meant and saves again to the byte.
TEST(Project, GoldenFileByteForByte) {
    TKelProject project;
    ASSERT_TRUE(project.LoadFromFile(GoldenFile));
    EXPECT_EQ(Snapshot(project),
              GoldenFile +
                  "|/srv/www/|holiday/|Standard|L:Classic|L:Standard detail,,,1,1,0,0,100, "
                  "index,Tom & Jerry <2> \"live\",Line 1\r\n\tLine 2,-4,3,640,480,75,"
                  "pics/small|P:/nonexistent-kelvo/Beach & Sea <1>.jpg,Beach & \"Sea\" "
                  "<1>,Größe: 5 × 3,0|P:/nonexistent-kelvo/b.jpg,,,0|");
    TempDir tmp;
    ASSERT_TRUE(project.SaveToFile(tmp.dir() + "copy.kel"));
    EXPECT_EQ(kelvo::ReadFileBytes(tmp.dir() + "copy.kel"), kelvo::ReadFileBytes(GoldenFile));
}

// A new project writes the smallest file and reads it back unmodified.
TEST(Project, EmptyProjectFile) {
    TempDir tmp;
    const std::string file = tmp.dir() + "new.kel";
    ASSERT_TRUE(TKelProject().SaveToFile(file));
    EXPECT_EQ(kelvo::ReadFileBytes(file),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<kelvo version=\"1.00\">\r\n"
              "  <project output_directory=\"\" output_subdirectory=\"\">\r\n"
              "    <layouts active_layout=\"\"/>\r\n"
              "    <picture_infos/>\r\n"
              "  </project>\r\n"
              "</kelvo>\r\n");
    TKelProject loaded;
    ASSERT_TRUE(loaded.LoadFromFile(file));
    EXPECT_EQ(Snapshot(loaded), file + "||||");
}

// The project stays as it was and still records its changes where it did.
TEST(Project, FailedLoadLeavesProjectUntouched) {
    for (const char* content :
         {static_cast<const char*>(nullptr), "\xFF\xD8\xFF\xE0\x01\x02JFIF binary",
          "<kelvo version=\"1.00\"><other/></kelvo>",
          "<kelvo><project><layouts active_layout=\"x\"/></project></kelvo>",
          "<kelvo><project><picture_infos/></project></kelvo>",
          "<kelvo><project><layouts><layout name=\"a\"/></layouts><picture_infos/></project>"
          "</kelvo>",
          "<kelvo><project><layouts/><picture_infos><picture_info title=\"t\"/>"
          "</picture_infos></project></kelvo>"}) {
        SCOPED_TRACE(content ? content : "missing file");
        Sample s;
        const std::string before = Snapshot(s.project);
        if (content)
            s.tmp.write("bad.kel", content);
        EXPECT_FALSE(s.project.LoadFromFile(s.tmp.dir() + "bad.kel"));
        EXPECT_EQ(Snapshot(s.project), before);
        s.project.Pictures().GetPicture(0)->SetTitle("changed");
        EXPECT_EQ(s.project.History().Items().back(), "SetTitle");
        s.project.Layouts().GetLayout(0)->Layers().GetLayer(0)->SetColCount(99);
        EXPECT_EQ(s.project.Layouts().History().Items().back(), "SetColCount");
    }
}

// Root name and version are not checked; relative picture paths follow the project file.
TEST(Project, LoadsWhatItFinds) {
    TempDir tmp;
    const std::string sunset = tmp.write("Pictures/Sunset.jpg", "x");
    tmp.write("Examples/demo.kel",
              "<gallery version=\"9\"><project output_directory=\"/web\">"
              "<layouts/><picture_infos><picture_info><filename>../Pictures/Sunset.jpg"
              "</filename></picture_info></picture_infos></project></gallery>");
    TKelProject project;
    ASSERT_TRUE(project.LoadFromFile(tmp.dir() + "Examples/demo.kel"));
    EXPECT_EQ(Snapshot(project), tmp.dir() + "Examples/demo.kel|/web|||P:" + sunset + ",,,1|");
}

// Folder names are case-sensitive here; the sub-folder is relative and native-separated.
TEST(Project, OutputFolders) {
    TKelProject project;
    for (const char* folder : {"/srv/Web", "/srv/Web/", "/srv/web/"})
        project.SetOutputDirectory(folder);
    EXPECT_EQ(project.OutputDirectory(), "/srv/web/");
    EXPECT_EQ(project.History().Items().size(), 2U);
    for (const auto& [value, stored] : {std::pair{"\\holiday", "holiday/"},
                                        {"", ""},
                                        {"web\\gallery2", "web/gallery2/"},
                                        {"/", ""}}) {
        TKelProject fresh;
        fresh.SetOutputSubDirectory(value);
        EXPECT_EQ(fresh.OutputSubDirectory(), stored) << value;
        EXPECT_EQ(fresh.History().IsModified(), *stored != '\0') << value;
    }
}

// Layout settings put back as undo does: layer values, the active layout and the folders must
// all return, and a damaged record must change nothing.
TEST(Project, LayoutSettingsComeBack) {
    Sample s;
    s.project.History().Clear();
    const std::string before = s.project.LayoutSettings();
    const std::string snapshot = Snapshot(s.project);
    s.project.Layouts().FindLayout("Standard")->Layers().FindLayer("index")->SetColCount(5);
    s.project.Layouts().SetActiveLayout("Standard");
    s.project.SetOutputSubDirectory("other");
    s.project.History().Clear();
    EXPECT_FALSE(s.project.SetLayoutSettings(before.substr(0, before.size() / 2)));
    EXPECT_FALSE(s.project.History().IsModified());
    ASSERT_TRUE(s.project.SetLayoutSettings(before));
    EXPECT_EQ(s.project.History().Items(), std::vector<std::string>{"SetLayoutSettings"});
    s.project.History().Clear();
    EXPECT_EQ(s.project.LayoutSettings(), before);
    EXPECT_EQ(Snapshot(s.project), snapshot);
}

// A missing folder, or a disk that "fills up" before the rename, leaves no temporary file.
TEST(Project, FailedSaveKeepsOldFile) {
    Sample s;
    const std::string file = s.tmp.dir() + "p.kel";
    ASSERT_TRUE(s.project.SaveToFile(file));
    const std::string old = kelvo::ReadFileBytes(file);
    s.project.SetOutputSubDirectory("other");
    EXPECT_FALSE(s.project.SaveToFile(s.tmp.dir() + "missing/p.kel"));
    EXPECT_EQ(s.project.FileName(), file);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = old.size() / 2;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved1 = s.project.SaveToFile(file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved1);
    EXPECT_EQ(kelvo::ReadFileBytes(file), old);
    EXPECT_TRUE(s.project.History().IsModified());
    EXPECT_EQ(std::distance(fs::directory_iterator(s.tmp.path()), {}), 3); // Layouts, photos
}

// Integers read whole or not at all; only true/false (any case) are booleans.
TEST(Xml, AttributeReadersAndWriters) {
    const Parsed doc(R"(<x h="$1F" n="12abc" o="2147483648" T="TRUE" F="False" a="" B="b"
                           one="1" y="yes" s=" true"/>)");
    EXPECT_EQ(ReadInteger(doc.Root(), "h", -1), 31);
    for (const char* bad : {"n", "o", "a", "missing"})
        EXPECT_EQ(ReadInteger(doc.Root(), bad, -1), -1) << bad;
    EXPECT_TRUE(ReadBoolean(doc.Root(), "T", false));
    EXPECT_FALSE(ReadBoolean(doc.Root(), "F", true));
    for (const char* other : {"one", "y", "a", "s"}) {
        EXPECT_TRUE(ReadBoolean(doc.Root(), other, true)) << other;
        EXPECT_FALSE(ReadBoolean(doc.Root(), other, false)) << other;
    }
    EXPECT_EQ(ReadString(doc.Root(), "a", "def"), "");
    EXPECT_EQ(ReadString(doc.Root(), "b", "def"), "def");
    EXPECT_EQ(ReadString(doc.Root(), "B", "def"), "b");
    // Reading or writing through a missing element is the caller's failure, never a no-op.
    const pugi::xml_node none;
    EXPECT_THROW(ReadString(none, "a", ""), EXmlError);
    EXPECT_THROW(ReadText(none, ""), EXmlError);
    EXPECT_THROW(WriteInteger(none, "a", 1), EXmlError);
    EXPECT_THROW(WriteText(none, "t"), EXmlError);
}

// Bare line feeds get their carriage return; anything but one text child is the default.
TEST(Xml, ReadTextRestoresLineBreaks) {
    for (const auto& [xml, text] : {std::pair{"<x>a\nb</x>", "a\r\nb"},
                                    {"<x>a&#13;&#10;b</x>", "a\r\nb"},
                                    {"<x>&#10;a&#10;&#10;</x>", "\r\na\r\n\r\n"},
                                    {"<x><![CDATA[<a>]]></x>", "<a>"},
                                    {"<x>  </x>", "  "},
                                    {"<x/>", "d"},
                                    {"<x><y/></x>", "d"}})
        EXPECT_EQ(ReadText(Parsed(xml).Root(), "d"), text) << xml;
}

// The exact file text: CR LF, indentation, attribute order by first set, the escapes.
TEST(Xml, WriterLayout) {
    TSXmlWriter writer("Kelvo", "1.00");
    pugi::xml_node a = writer.AddChild("A");
    WriteString(a, "z", "1");
    WriteInteger(a, "n", -5);
    WriteBoolean(a, "b", true);
    WriteString(a, "z", "<&\">'"); // keeps its first place
    WriteText(a.append_child("b"), "x & <y> \"q\"");
    WriteText(writer.AddChild("empty"), "");
    EXPECT_EQ(writer.SaveToString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                     "<kelvo version=\"1.00\">\r\n"
                                     "  <a z=\"&lt;&amp;&quot;>'\" n=\"-5\" b=\"true\">\r\n"
                                     "    <b>x &amp; &lt;y&gt; \"q\"</b>\r\n"
                                     "  </a>\r\n"
                                     "  <empty/>\r\n"
                                     "</kelvo>\r\n");
    EXPECT_EQ(TSXmlWriter("r", "").SaveToString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r/>\r\n");
}

// Tabs, LF, a byte-order mark, comments and instructions change nothing; encodings count.
TEST(Xml, ReaderToleratesLayout) {
    const Parsed doc("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- by hand --><k>\n\t<p a=\"x\""
                     "\n\t   b=\"y\">\n\t\t<!-- c --><?pi x?><q/>\n\t</p>\n</k>");
    const pugi::xml_node p = doc.reader.GetNode("p");
    EXPECT_EQ(ReadString(p, "a", "") + ReadString(p, "b", ""), "xy");
    EXPECT_EQ(std::distance(p.begin(), p.end()), 1); // <q/> alone
    const Parsed latin(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><k><p a=\"Gr\xF6\xDF\x65\"/></k>");
    EXPECT_EQ(ReadString(latin.reader.GetNode("p"), "a", ""), "Größe");
}

// A folder or a pipe must fail at once instead of blocking.
TEST(Xml, ReaderRefusesNonXml) {
    TempDir tmp;
    TSXmlReader reader;
    EXPECT_THROW(
        reader.LoadFromFile(tmp.write("a.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10))),
        EXmlError);
    EXPECT_FALSE(reader.Root());
    EXPECT_THROW(reader.LoadFromFile(tmp.write("empty.kel", "")), EXmlError);
    EXPECT_THROW(reader.LoadFromFile(tmp.write("cut.kel", "<k><p a=\"1\">")), EXmlError);
    EXPECT_THROW(reader.LoadFromFile(tmp.dir() + "missing.kel"), EFileError);
    EXPECT_THROW(reader.LoadFromFile(tmp.dir()), EFileError);
    const std::string fifo = tmp.dir() + "fifo.kel";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(reader.LoadFromFile(fifo), EFileError);
}

// Also when it fails, no temporary file stays; a symbolic link stays a link.
TEST(Xml, SaveReplacesWholeAndKeepsPermissions) {
    TempDir tmp;
    const std::string file = tmp.write("p.kel", std::string(10000, 'x'));
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    TSXmlWriter writer("r", "1");
    writer.SaveToFile(file);
    EXPECT_EQ(kelvo::ReadFileBytes(file), writer.SaveToString());
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640U);

    EXPECT_THROW(writer.SaveToFile(tmp.dir() + "no/such/folder/p.kel"), EFileError);
    EXPECT_THROW(writer.SaveToFile(tmp.dir()), EFileError);
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), {}), 1);

    const std::string link = tmp.dir() + "link.kel";
    fs::create_symlink(file, link);
    TSXmlWriter("r", "").SaveToFile(link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(kelvo::ReadFileBytes(file), TSXmlWriter("r", "").SaveToString());
}
