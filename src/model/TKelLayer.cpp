// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelLayer.h"

#include <algorithm>
#include <exception>

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "model/SXmlHelpers.h"
#include "model/TKelLayerList.h"
#include "template/TKelPageFile.h"
#include "template/TKelTag.h"

namespace {

constexpr int DefaultColCount = 5;
constexpr int DefaultRowCount = 0;
constexpr int DefaultPictureSize = 140;
constexpr int DefaultPictureQuality = 80;
constexpr const char* DefaultDensities = "1";

std::string SafeOrEmpty(const std::string& directory) {
    return TKelLayer::IsSafePictureDirectory(directory) ? directory : std::string();
}

} // namespace

TKelLayer::TKelLayer(TKelLayerList* owner)
    : m_owner(owner) {}

void TKelLayer::Changed(const std::string& reason) {
    if (m_owner)
        m_owner->Changed(reason);
}

template <typename T>
void TKelLayer::SetField(T& field, const T& value, const char* reason) {
    if (field == value)
        return;
    field = value;
    Changed(reason);
}

void TKelLayer::SetPageTitle(const std::string& value) {
    SetField(m_pageTitle, value, "SetPageTitle");
}

void TKelLayer::SetPageText(const std::string& value) {
    SetField(m_pageText, value, "SetPageText");
}

void TKelLayer::SetColCount(int value) {
    SetField(m_colCount, value, "SetColCount");
}

void TKelLayer::SetRowCount(int value) {
    SetField(m_rowCount, value, "SetRowCount");
}

void TKelLayer::SetPictureWidth(int value) {
    SetField(m_pictureWidth, value, "SetPictureWidth");
}

void TKelLayer::SetPictureHeight(int value) {
    SetField(m_pictureHeight, value, "SetPictureHeight");
}

void TKelLayer::SetPictureQuality(int value) {
    SetField(m_pictureQuality, value, "SetPictureQuality");
}

void TKelLayer::SetDensities(const std::vector<int>& value) {
    SetField(m_densities, NormalizeDensities(value), "SetDensities");
}

bool TKelLayer::LoadFromPageFile(TKelPageFile* pageFile) {
    m_pageFile = pageFile;
    m_name = pageFile ? pageFile->GetName() : std::string();
    if (pageFile) {
        if (const TKelTag* tag = pageFile->AllTags.FindTag("kel_picture_filename")) {
            // Read all before storing any, so that a bad number leaves the creation values.
            const int cols = tag->GetIntAttribute("def_cols", DefaultColCount);
            const int rows = tag->GetIntAttribute("def_rows", DefaultRowCount);
            const int width = tag->GetIntAttribute("def_width", DefaultPictureSize);
            const int height = tag->GetIntAttribute("def_height", DefaultPictureSize);
            const int quality = tag->GetIntAttribute("def_quality", DefaultPictureQuality);
            m_densities = ParseDensities(tag->GetStrAttribute("def_densities", DefaultDensities));
            m_colCount = cols;
            m_rowCount = rows;
            m_pictureWidth = width;
            m_pictureHeight = height;
            m_pictureQuality = quality;
            m_pictureDirectory = SafeOrEmpty(tag->GetStrAttribute("def_directory", ""));
        }
    }
    CheckPaging();
    return true;
}

void TKelLayer::AssignSettings(const TKelLayer& other) {
    m_pageTitle = other.m_pageTitle;
    m_pageText = other.m_pageText;
    m_colCount = other.m_colCount;
    m_rowCount = other.m_rowCount;
    m_pictureWidth = other.m_pictureWidth;
    m_pictureHeight = other.m_pictureHeight;
    m_pictureQuality = other.m_pictureQuality;
    m_pictureDirectory = SafeOrEmpty(other.m_pictureDirectory);
    m_densities = NormalizeDensities(other.m_densities);
    CheckPaging();
}

void TKelLayer::CheckPaging() {
    if (!m_pageFile)
        return;
    if (m_pageFile->IsPicturePage()) {
        // Without links to other pages every picture must stand on the one page.
        if (!m_pageFile->AllTags.FindTag("kel_page_previous") &&
            !m_pageFile->AllTags.FindTag("kel_page_next"))
            m_rowCount = 0;
    } else {
        // A page without a repeated cell shows one picture: one page per picture.
        m_colCount = 1;
        m_rowCount = 1;
    }
}

bool TKelLayer::LoadFromXml(pugi::xml_node node) {
    try {
        m_pageFile = nullptr;
        m_name = ReadString(node, "name", "");
        m_pageTitle = ReadString(node, "page_title", "");
        m_pageText = ReadString(node, "page_text", "");
        m_colCount = ReadInteger(node, "col_count", DefaultColCount);
        m_rowCount = ReadInteger(node, "row_count", DefaultRowCount);
        m_pictureWidth = ReadInteger(node, "picture_width", DefaultPictureSize);
        m_pictureHeight = ReadInteger(node, "picture_height", DefaultPictureSize);
        m_pictureQuality = ReadInteger(node, "picture_quality", DefaultPictureQuality);
        m_pictureDirectory = SafeOrEmpty(ReadString(node, "picture_directory", ""));
        m_densities = ParseDensities(ReadString(node, "densities", DefaultDensities));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TKelLayer::SaveToXml(pugi::xml_node node) const {
    try {
        WriteString(node, "name", m_name);
        WriteString(node, "page_title", m_pageTitle);
        WriteString(node, "page_text", m_pageText);
        WriteInteger(node, "col_count", m_colCount);
        WriteInteger(node, "row_count", m_rowCount);
        WriteInteger(node, "picture_width", m_pictureWidth);
        WriteInteger(node, "picture_height", m_pictureHeight);
        WriteInteger(node, "picture_quality", m_pictureQuality);
        WriteString(node, "picture_directory", m_pictureDirectory);
        if (const std::string densities = FormatDensities(m_densities);
            densities != DefaultDensities)
            WriteString(node, "densities", densities);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TKelLayer::IsSafePictureDirectory(std::string_view directory) {
    return kelvo::IsSafeSubFolder(directory);
}

std::vector<int> TKelLayer::NormalizeDensities(std::vector<int> densities) {
    densities.push_back(1);
    std::erase_if(densities, [](int d) { return d < 1 || d > MaxDensity; });
    std::sort(densities.begin(), densities.end());
    densities.erase(std::unique(densities.begin(), densities.end()), densities.end());
    return densities;
}

std::vector<int> TKelLayer::ParseDensities(std::string_view text) {
    std::vector<int> densities;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        // Not a number: left out, as one out of range is.
        if (const auto d =
                kelvo::TryStrToInt(kelvo::TrimRightCtl(text.substr(start, comma - start))))
            densities.push_back(*d);
        start = comma + 1;
    }
    return NormalizeDensities(std::move(densities));
}

std::string TKelLayer::FormatDensities(const std::vector<int>& densities) {
    std::string text;
    for (const int d : densities)
        text += (text.empty() ? "" : ",") + std::to_string(d);
    return text;
}
