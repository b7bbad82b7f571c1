// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TSXmlReader.h"

#include "base/FileUtils.h"
#include "base/KelErrors.h"

namespace {

// Whitespace between elements is dropped, comments and processing instructions are not kept;
// an element whose only content is white space keeps it as its text.
constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

} // namespace

TSXmlReader::TSXmlReader()
    : m_document(std::make_unique<pugi::xml_document>()) {}

TSXmlReader::~TSXmlReader() = default;

void TSXmlReader::LoadFromFile(const std::string& fileName) {
    m_document->reset();
    // Read through a descriptor that refuses pipes and devices, which would block or never end;
    // checking the path first would leave a moment in which it could be swapped for one.
    const std::string text = kelvo::ReadFileBytes(fileName);
    Check(m_document->load_buffer(text.data(), text.size(), ParseOptions), "\"" + fileName + "\"");
}

void TSXmlReader::LoadFromString(std::string_view text) {
    m_document->reset();
    Check(m_document->load_buffer(text.data(), text.size(), ParseOptions), "XML text");
}

void TSXmlReader::Check(const pugi::xml_parse_result& result, const std::string& what) {
    if (result)
        return;
    m_document->reset();
    const std::string message = "Cannot read " + what + ": " + result.description();
    if (result.status == pugi::status_file_not_found || result.status == pugi::status_io_error ||
        result.status == pugi::status_out_of_memory)
        throw EFileError(message);
    throw EXmlError(message + " at byte " + std::to_string(result.offset));
}

pugi::xml_node TSXmlReader::Root() const {
    return m_document->document_element();
}

pugi::xml_node TSXmlReader::GetNode(const std::string& name) const {
    return Root().child(name.c_str());
}
