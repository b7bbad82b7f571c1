// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelPageFile.h"

#include <filesystem>

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "template/TKelParser.h"

namespace {

constexpr std::string_view CellMarker = "#kel_internal_cell#";
constexpr std::string_view RowMarker = "#kel_internal_row#";
constexpr std::string_view TableMarker = "#kel_internal_table#";

// The span in the page as read of a region that starts at first and whose text holds the marker
// of an inner region, itself as long as inner, in place of that region.
TKelPageFile::TSpan SpanAround(int first, const std::string& text, std::string_view innerMarker,
                               const TKelPageFile::TSpan& inner) {
    const int length =
        static_cast<int>(text.size() - innerMarker.size()) + (inner.Last - inner.First + 1);
    return {first, first + length - 1};
}

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
    Source = kelvo::ReadFileBytes(fileName);
    Text = Source;
    TableText.clear();
    RowText.clear();
    CellText.clear();
    TableSpan = RowSpan = CellSpan = {};
    CutRegions();
    ParseTags();
}

void TKelPageFile::CutRegions() {
    const int picture = SearchText("kel_picture_filename", kelvo::LowerAZ(Text), 1, true);
    if (picture == 0)
        return;
    // Each region starts at or before the one inside it, so the start positions found in the
    // cut text are those in Source.
    int cell = 0;
    if (!CutRegion(Text, picture, "<td", "/td>", CellMarker, CellText, cell))
        return;
    CellSpan = {cell, cell + static_cast<int>(CellText.size()) - 1};
    int row = 0;
    if (!CutRegion(Text, cell, "<tr", "/tr>", RowMarker, RowText, row))
        return;
    RowSpan = SpanAround(row, RowText, CellMarker, CellSpan);
    // The row's marker now stands in Text; move it into the table region if there is one.
    int table = 0;
    std::string tableText;
    if (CutRegion(Text, row, "<table", "/table>", TableMarker, tableText, table)) {
        TableText = std::move(tableText);
        TableSpan = SpanAround(table, TableText, RowMarker, RowSpan);
    }
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
