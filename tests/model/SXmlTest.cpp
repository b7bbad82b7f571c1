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

// An element <x> whose attribute a holds value, parsed from text.
struct Parsed {
    explicit Parsed(const std::string& xml) { reader.LoadFromString(xml); }
    pugi::xml_node Root() const { return reader.Root(); }
    TSXmlReader reader;
};

Parsed WithAttribute(const std::string& value) {
    return Parsed("<x a=\"" + value + "\"/>");
}

} // namespace

// Integer attributes: a whole number reads, anything half-numeric, empty or missing gives the
// default (the number syntax itself is tested with TryStrToInt). Booleans: only true/false in
// any case; anything else is the default, both ways. An empty string attribute is a value, not
// a missing one; names are case-sensitive.
TEST(Xml, AttributeReaders) {
    EXPECT_EQ(ReadInteger(WithAttribute(" 12").Root(), "a", -1), 12);
    EXPECT_EQ(ReadInteger(WithAttribute("$1F").Root(), "a", -1), 31);
    for (const char* bad : {"12abc", "1.5", "", "2147483648"})
        EXPECT_EQ(ReadInteger(WithAttribute(bad).Root(), "a", -1), -1) << bad;
    EXPECT_EQ(ReadInteger(Parsed("<x/>").Root(), "a", -1), -1);

    EXPECT_TRUE(ReadBoolean(WithAttribute("TRUE").Root(), "a", false));
    EXPECT_FALSE(ReadBoolean(WithAttribute("False").Root(), "a", true));
    for (const char* other : {"1", "yes", "", " true"}) {
        EXPECT_TRUE(ReadBoolean(WithAttribute(other).Root(), "a", true)) << other;
        EXPECT_FALSE(ReadBoolean(WithAttribute(other).Root(), "a", false)) << other;
    }

    const Parsed doc("<x a=\"\" B=\"b\"/>");
    EXPECT_EQ(ReadString(doc.Root(), "a", "def"), "");
    EXPECT_EQ(ReadString(doc.Root(), "b", "def"), "def");
    EXPECT_EQ(ReadString(doc.Root(), "B", "def"), "b");
}

// Element text: bare line feeds get their carriage return back, existing pairs are not
// doubled, and anything that is not a single text child gives the default.
TEST(Xml, ReadTextRestoresLineBreaks) {
    EXPECT_EQ(ReadText(Parsed("<x>a\nb</x>").Root(), "d"), "a\r\nb");
    EXPECT_EQ(ReadText(Parsed("<x>a&#13;&#10;b</x>").Root(), "d"), "a\r\nb");
    EXPECT_EQ(ReadText(Parsed("<x>&#10;a&#10;&#10;</x>").Root(), "d"), "\r\na\r\n\r\n");
    EXPECT_EQ(ReadText(Parsed("<x><![CDATA[<a>]]></x>").Root(), "d"), "<a>");
    EXPECT_EQ(ReadText(Parsed("<x/>").Root(), "d"), "d");
    EXPECT_EQ(ReadText(Parsed("<x><y/></x>").Root(), "d"), "d");
    // A name made of spaces is still a name.
    EXPECT_EQ(ReadText(Parsed("<x>  </x>").Root(), "d"), "  ");
}

// Reading or writing through a missing element is the caller's failure, never a silent no-op.
TEST(Xml, NullNodeRaises) {
    const pugi::xml_node none;
    EXPECT_THROW(ReadString(none, "a", ""), EXmlError);
    EXPECT_THROW(ReadText(none, ""), EXmlError);
    EXPECT_THROW(WriteInteger(none, "a", 1), EXmlError);
    EXPECT_THROW(WriteText(none, "t"), EXmlError);
}

// The exact file text: declaration, CR LF, indentation, empty and text-only elements,
// attribute order by first set, and the escapes of text and attribute values.
TEST(Xml, WriterLayout) {
    TSXmlWriter writer("Kelvo", "1.00");
    pugi::xml_node a = writer.AddChild("A");
    WriteString(a, "z", "1");
    WriteInteger(a, "n", -5);
    WriteBoolean(a, "b", true);
    WriteString(a, "z", "<&\">'"); // keeps its first place
    pugi::xml_node b = a.append_child("b");
    WriteText(b, "x & <y> \"q\"");
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

// The reader takes any well-formed layout of the same document: tabs, one line, other
// attribute order, LF line ends, a byte-order mark, comments and processing instructions.
TEST(Xml, ReaderToleratesLayout) {
    const std::string forms[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<k v=\"1\">\r\n  <p a=\"x\" b=\"y\">\r\n"
        "    <q/>\r\n  </p>\r\n</k>\r\n",
        "<k v=\"1\"><p b=\"y\" a=\"x\"><q/></p></k>",
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<k v=\"1\">\n\t<p a=\"x\"\n\t   b=\"y\">\n\t\t<q/>\n"
        "\t</p>\n</k>",
        "<!-- saved by hand --><k v=\"1\"><?pi x?><p a=\"x\" b=\"y\"><!-- c --><q/></p></k>",
    };
    for (const std::string& form : forms) {
        const Parsed doc(form);
        const pugi::xml_node p = doc.reader.GetNode("p");
        EXPECT_EQ(ReadString(p, "a", ""), "x");
        EXPECT_EQ(ReadString(p, "b", ""), "y");
        int children = 0;
        for (const pugi::xml_node child : p.children())
            children += child.type() == pugi::node_element ? 1 : 100;
        EXPECT_EQ(children, 1) << form;
    }
    // A file declared in another encoding is read in that encoding.
    const Parsed doc(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><k><p a=\"Gr\xF6\xDF\x65\"/></k>");
    EXPECT_EQ(ReadString(doc.reader.GetNode("p"), "a", ""), "Größe");
}

// What is not XML, or has no root, is refused with an error, never half-read.
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
    // A folder or a pipe must fail at once instead of blocking.
    EXPECT_THROW(reader.LoadFromFile(tmp.dir()), EFileError);
    const std::string fifo = tmp.dir() + "fifo.kel";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(reader.LoadFromFile(fifo), EFileError);
}

// Saving replaces the file whole, keeps the old file's permissions and leaves no temporary
// file; a save that cannot happen leaves nothing behind either. A project reached through a
// symbolic link is replaced where it lives; the link stays.
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
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(tmp.path()))
        ++entries;
    EXPECT_EQ(entries, 1);

    const std::string link = tmp.dir() + "link.kel";
    std::filesystem::create_symlink(file, link);
    TSXmlWriter("r", "").SaveToFile(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(kelvo::ReadFileBytes(file), TSXmlWriter("r", "").SaveToString());
}
