// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

/// Builds an XML document below one root element and writes it in the project file's fixed
/// layout: the declaration `<?xml version="1.0" encoding="UTF-8"?>`, UTF-8 without a byte-order
/// mark, CR LF line ends (also after the root's end tag), two spaces of indentation per level,
/// childless elements as `<x/>`, text-only elements on one line, attributes in the order first
/// set. Text escapes `&`, `<`, `>`, and carriage return as a numeric character reference;
/// attribute values escape `&`, `<`, `"`, and carriage return, line feed and tab as numeric
/// character references; so both read back unchanged.
///
/// The layout comes from the writer alone: whitespace text nodes in the tree are ignored, so
/// elements are added with plain append_child. Nodes handed out live as long as the writer.
class TSXmlWriter {
public:
    /// An empty document whose root is named rootName in lower case and, unless version is
    /// empty, carries the attribute "version".
    TSXmlWriter(const std::string& rootName, const std::string& version);
    ~TSXmlWriter();
    TSXmlWriter(const TSXmlWriter&) = delete;
    TSXmlWriter& operator=(const TSXmlWriter&) = delete;

    pugi::xml_node Root() const;
    /// Appends a new element named name in lower case as the last child of the root.
    pugi::xml_node AddChild(const std::string& name);

    /// The file text described above.
    std::string SaveToString() const;
    /// Writes the file text into fileName without ever leaving a half-written file: the text
    /// goes into a new file in the same folder, is flushed to disk and then renamed over
    /// fileName. A symbolic link is followed, so the file it points to is replaced. Raises
    /// EFileError naming the file on any failure; fileName is then as it was.
    void SaveToFile(const std::string& fileName) const;

private:
    std::unique_ptr<pugi::xml_document> m_document;
    pugi::xml_node m_root;
};
