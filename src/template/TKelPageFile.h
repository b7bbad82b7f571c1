// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "template/TKelTagList.h"
#include "template/TKelTagRefs.h"

/// One template page of a layout, cut into the regions the page generator repeats.
///
/// Around the first `kel_picture_filename` the page is cut into the picture cell (nearest
/// `<td` before it to the next `/td>`), the row around the cell and the table around the row.
/// Each region found is replaced by its marker tag (`#kel_internal_cell#`, `..._row#`,
/// `..._table#`) in the text that contains it. Texts are bytes, kept exactly as read. Owned by
/// the TKelPageDirectory whose folder holds the file.
class TKelPageFile {
public:
    /// The first and last byte (1-based, inclusive) of a region in Source; 0 and 0 for a region
    /// not found.
    struct TSpan {
        int First = 0;
        int Last = 0;
        bool Contains(int pos) const { return First > 0 && pos >= First && pos <= Last; }
    };

    std::string FileName;
    /// The page as read from the file, uncut.
    std::string Source;
    /// The page, with its outermost region found replaced by that region's marker.
    std::string Text;
    std::string TableText;
    std::string RowText;
    std::string CellText;
    TKelTagList TextTags;
    TKelTagList TableTags;
    TKelTagList RowTags;
    TKelTagList CellTags;
    /// The tags of the four lists, in the order text, table, row, cell.
    TKelTagRefs AllTags;
    /// Where the regions stood in Source, for telling an author where a tag sits.
    TSpan TableSpan;
    TSpan RowSpan;
    TSpan CellSpan;

    /// Reads and cuts a template page; a missing file leaves the page empty. A file that exists
    /// but cannot be read raises EFileError naming it.
    void LoadFromFile(const std::string& fileName);

    /// The file name without folder and extension ("index" for ".../index.html"); the layer name.
    std::string GetName() const;

    /// True if the page has a repeated picture cell.
    bool IsPicturePage() const;

private:
    void CutRegions();
    void ParseTags();
};
