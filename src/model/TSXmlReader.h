// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

/// Parses an XML file and hands out the elements below its root.
///
/// Accepts any well-formed document: UTF-8 with or without byte-order mark or declaration,
/// UTF-16/32 and ISO-8859-1 as the byte-order mark or declaration names them, any indentation,
/// line ends and attribute order. Whitespace between elements, comments and processing
/// instructions never appear as child nodes. Neither the root's name nor a version is checked.
/// Nodes handed out live as long as the reader.
class TSXmlReader {
public:
    TSXmlReader();
    ~TSXmlReader();
    TSXmlReader(const TSXmlReader&) = delete;
    TSXmlReader& operator=(const TSXmlReader&) = delete;

    /// Parses the file. Raises EFileError for a file that is missing or cannot be read and
    /// EXmlError (with the parser's reason and byte offset) for text that is not well-formed
    /// XML or has no root element; Root is then null.
    void LoadFromFile(const std::string& fileName);
    /// As LoadFromFile, for a document held in memory.
    void LoadFromString(std::string_view text);

    /// The document element, or a null node before a successful load.
    pugi::xml_node Root() const;
    /// The first child element of the root named exactly name, or a null node.
    pugi::xml_node GetNode(const std::string& name) const;

private:
    void Check(const pugi::xml_parse_result& result, const std::string& what);

    std::unique_ptr<pugi::xml_document> m_document;
};
