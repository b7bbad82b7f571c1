// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TSXmlWriter.h"

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "model/SXmlHelpers.h"

namespace {

constexpr const char* LineEnd = "\r\n";

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += attribute ? ">" : "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        // A parser turns raw line breaks and tabs in attribute values into spaces, and a raw
        // carriage return in text into a line feed; character references survive, so a
        // multi-line page text or a file name with a line break reads back as it was.
        case '\r':
            out += "&#13;";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        default:
            out += c;
        }
    }
}

bool IsText(pugi::xml_node node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Writes one element at its indentation, without the line end after it. Whitespace text in the
// tree is ignored: the layout comes from here alone.
void WriteElement(std::string& out, pugi::xml_node element, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out += indent;
    out += '<';
    out += element.name();
    for (const pugi::xml_attribute attribute : element.attributes()) {
        out += ' ';
        out += attribute.name();
        out += "=\"";
        AppendEscaped(out, attribute.value(), true);
        out += '"';
    }

    bool hasElements = false;
    std::string text;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element)
            hasElements = true;
        else if (IsText(child))
            text += child.value();
    }

    if (!hasElements) {
        if (text.empty()) {
            out += "/>";
        } else {
            out += '>';
            AppendEscaped(out, text, false);
            out += "</";
            out += element.name();
            out += '>';
        }
        return;
    }

    out += '>';
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element) {
            out += LineEnd;
            WriteElement(out, child, depth + 1);
        } else if (IsText(child) && !kelvo::TrimLeftCtl(child.value()).empty()) {
            out += LineEnd;
            out += indent;
            out += "  ";
            AppendEscaped(out, child.value(), false);
        }
    }
    out += LineEnd;
    out += indent;
    out += "</";
    out += element.name();
    out += '>';
}

} // namespace

TSXmlWriter::TSXmlWriter(const std::string& rootName, const std::string& version)
    : m_document(std::make_unique<pugi::xml_document>()) {
    m_root = m_document->append_child(kelvo::LowerAZ(rootName).c_str());
    if (!version.empty())
        WriteString(m_root, "version", version);
}

TSXmlWriter::~TSXmlWriter() = default;

pugi::xml_node TSXmlWriter::Root() const {
    return m_root;
}

pugi::xml_node TSXmlWriter::AddChild(const std::string& name) {
    return m_root.append_child(kelvo::LowerAZ(name).c_str());
}

std::string TSXmlWriter::SaveToString() const {
    std::string out = R"(<?xml version="1.0" encoding="UTF-8"?>)";
    out += LineEnd;
    WriteElement(out, m_root, 0);
    out += LineEnd;
    return out;
}

void TSXmlWriter::SaveToFile(const std::string& fileName) const {
    kelvo::WriteFileBytes(fileName, SaveToString(), true);
}
