// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelPageFile.h"

#include <filesystem>

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "template/TKelParser.h"

namespace {

// Moves a region's 1-based start back over the spaces, then the line breaks, directly before
// it, so that a region standing indented on its own line repeats starting on a new line.
// Tabs stop the move.
int MoveStartBack(const std::string& text, int start) {
    while (start > 1 && text[static_cast<std::size_t>(start - 2)] == ' ')
        --start;
    while (start > 1 && (text[static_cast<std::size_t>(start - 2)] == '\n' ||
                         text[static_cast<std::size_t>(start - 2)] == '\r'))
        --start;
    return start;
}

// Cuts the region from the nearest `open` before `around` to the end of the next `close`
// after it out of text, leaves `marker` in its place and returns the region. Returns false
// when either delimiter is missing; text is then unchanged.
bool CutRegion(std::string& text, int around, std::string_view open, std::string_view close,
               std::string_view marker, std::string& region, int& markerPos) {
    const std::string lower = kelvo::LowerAZ(text);
    int start = SearchText(open, lower, around, false);
    const int end = SearchText(close, lower, around, true);
    if (start == 0 || end == 0)
        return false;
    start = MoveStartBack(text, start);
    const int last = end + static_cast<int>(close.size()) - 1;
    region = text.substr(static_cast<std::size_t>(start - 1),
                         static_cast<std::size_t>(last - start + 1));
    text.replace(static_cast<std::size_t>(start - 1), region.size(), marker);
    markerPos = start;
    return true;
}

} // namespace

void TKelPageFile::LoadFromFile(const std::string& fileName) {
    if (!std::filesystem::is_regular_file(fileName))
        return;
    FileName = fileName;
    Text = kelvo::ReadFileBytes(fileName);
    TableText.clear();
    RowText.clear();
    CellText.clear();
    CutRegions();
    ParseTags();
}

void TKelPageFile::CutRegions() {
    const int picture = SearchText("kel_picture_filename", kelvo::LowerAZ(Text), 1, true);
    if (picture == 0)
        return;
    int cell = 0;
    if (!CutRegion(Text, picture, "<td", "/td>", "#kel_internal_cell#", CellText, cell))
        return;
    int row = 0;
    if (!CutRegion(Text, cell, "<tr", "/tr>", "#kel_internal_row#", RowText, row))
        return;
    // The row's marker now stands in Text; move it into the table region if there is one.
    int table = 0;
    std::string tableText;
    if (CutRegion(Text, row, "<table", "/table>", "#kel_internal_table#", tableText, table))
        TableText = std::move(tableText);
}

void TKelPageFile::ParseTags() {
    const TKelParser parser;
    AllTags.Clear();
    TextTags.Clear();
    TableTags.Clear();
    RowTags.Clear();
    CellTags.Clear();
    if (!Text.empty())
        parser.Parse(Text, TextTags);
    if (!TableText.empty())
        parser.Parse(TableText, TableTags);
    if (!RowText.empty())
        parser.Parse(RowText, RowTags);
    if (!CellText.empty())
        parser.Parse(CellText, CellTags);
    AllTags.Append(TextTags);
    AllTags.Append(TableTags);
    AllTags.Append(RowTags);
    AllTags.Append(CellTags);
}

std::string TKelPageFile::GetName() const {
    std::string name = std::filesystem::path(FileName).filename().string();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool TKelPageFile::IsPicturePage() const {
    return CellTags.FindTag("kel_picture_filename") != nullptr;
}
