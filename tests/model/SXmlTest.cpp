// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SXmlHelpers.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "model/TSXmlReader.h"
#include "model/TSXmlWriter.h"
#include "support/TempDir.h"

namespace {

// The root element of an XML text; the reader must outlive the node.
struct Parsed {
    explicit Parsed(const std::string& xml) { reader.LoadFromString(xml); }
    pugi::xml_node Root() const { return reader.Root(); }
    TSXmlReader reader;
};

} // namespace

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
    a.append_child("c");
    WriteText(writer.AddChild("empty"), "");
    EXPECT_EQ(writer.SaveToString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                     "<kelvo version=\"1.00\">\r\n"
                                     "  <a z=\"&lt;&amp;&quot;>'\" n=\"-5\" b=\"true\">\r\n"
                                     "    <b>x &amp; &lt;y&gt; \"q\"</b>\r\n"
                                     "    <c/>\r\n"
                                     "  </a>\r\n"
                                     "  <empty/>\r\n"
                                     "</kelvo>\r\n");
    EXPECT_EQ(TSXmlWriter("r", "").SaveToString(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r/>\r\n");
}

// Tabs, LF, a byte-order mark, comments and instructions change nothing; encodings count.
TEST(Xml, ReaderToleratesLayout) {
    for (const char* form :
         {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<k>\n\t<p a=\"x\"\n\t   "
          "b=\"y\">\n\t\t<q/>\n\t</p>\n</k>",
          "<!-- by hand --><k><?pi x?><p a=\"x\" b=\"y\"><!-- c --><q/></p></k>"}) {
        const Parsed doc(form);
        const pugi::xml_node p = doc.reader.GetNode("p");
        EXPECT_EQ(ReadString(p, "a", "") + ReadString(p, "b", ""), "xy");
        int children = 0;
        for (const pugi::xml_node child : p.children())
            children += child.type() == pugi::node_element ? 1 : 100;
        EXPECT_EQ(children, 1) << form;
    }
    const Parsed doc(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><k><p a=\"Gr\xF6\xDF\x65\"/></k>");
    EXPECT_EQ(ReadString(doc.reader.GetNode("p"), "a", ""), "Größe");
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 1);

    const std::string link = tmp.dir() + "link.kel";
    std::filesystem::create_symlink(file, link);
    TSXmlWriter("r", "").SaveToFile(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(kelvo::ReadFileBytes(file), TSXmlWriter("r", "").SaveToString());
}
