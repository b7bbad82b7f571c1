// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The tag parser and the template page reader: the bytes are one template page.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/KelErrors.h"
#include "base/KelText.h"
#include "template/TKelPageFile.h"
#include "template/TKelParser.h"
#include "template/TKelTag.h"
#include "template/TKelTagList.h"

namespace {

void CheckTags(const std::string& text, const TKelTagList& tags) {
    const TKelParser parser;
    std::string replaced = text;
    std::size_t removed = 0;
    int previousEnd = 0;
    for (int i = 0; i < tags.Count(); ++i) {
        const TKelTag& tag = *tags.Items(i);
        if (tag.StartPos <= previousEnd || tag.EndPos <= tag.StartPos ||
            tag.EndPos > static_cast<int>(text.size()))
            fuzz::Fail("tag positions out of order or outside the text");
        const std::string body =
            text.substr(static_cast<std::size_t>(tag.StartPos - 1),
                        static_cast<std::size_t>(tag.EndPos - tag.StartPos + 1));
        if (kelvo::LowerAZ(body).rfind("#kel_", 0) != 0 || body.back() != '#' ||
            body.find('#', 1) != body.size() - 1)
            fuzz::Fail("a tag is not #kel_...#");
        if (kelvo::LowerAZ(tag.Name).rfind("kel_", 0) != 0)
            fuzz::Fail("a tag name does not start with kel_");
        for (const char* key : {"def_cols", "def_rows", "def_width", "def_quality", "layer"}) {
            try {
                tag.GetIntAttribute(key, 0);
            } catch (const EConvertError&) {
            }
        }
        previousEnd = tag.EndPos;
        removed += body.size();
    }
    for (int i = tags.Count() - 1; i >= 0; --i)
        parser.ReplaceTag(replaced, "<>", *tags.Items(i));
    if (replaced.size() != text.size() - removed + 2 * static_cast<std::size_t>(tags.Count()))
        fuzz::Fail("replacing every tag gave the wrong length");
}

bool PutBack(std::string& text, const std::string& marker, const std::string& region) {
    const auto at = text.find(marker);
    if (at == std::string::npos)
        return false;
    text.replace(at, marker.size(), region);
    return true;
}

// The regions cut out of a page, put back in place of their markers, give the page again, and
// their spans in the page as read hold them.
void CheckRegions(const std::string& original, const TKelPageFile& page) {
    const auto spanned = [&original](const TKelPageFile::TSpan& span) {
        return span.First == 0
                   ? std::string()
                   : original.substr(static_cast<std::size_t>(span.First - 1),
                                     static_cast<std::size_t>(span.Last - span.First + 1));
    };
    if (page.Source != original || spanned(page.CellSpan) != page.CellText ||
        page.RowSpan.Contains(page.CellSpan.First) != !page.RowText.empty() ||
        page.TableSpan.Contains(page.RowSpan.First) != !page.TableText.empty() ||
        (page.TableSpan.First > 0 && !page.TableSpan.Contains(page.RowSpan.Last)) ||
        (page.RowSpan.First > 0 && !page.RowSpan.Contains(page.CellSpan.Last)))
        fuzz::Fail("the regions' spans do not hold them");
    if (kelvo::LowerAZ(original).find("kel_internal") != std::string::npos)
        return; // a marker written by the author makes the places ambiguous
    std::string whole = page.CellText;
    bool ok = true;
    if (!page.RowText.empty()) {
        std::string row = page.RowText;
        ok = ok && PutBack(row, "#kel_internal_cell#", whole);
        whole = row;
    }
    if (!page.TableText.empty()) {
        std::string table = page.TableText;
        ok = ok && PutBack(table, "#kel_internal_row#", whole);
        whole = table;
    }
    std::string text = page.Text;
    if (!page.CellText.empty()) {
        const char* outer = !page.TableText.empty() ? "#kel_internal_table#"
                            : !page.RowText.empty() ? "#kel_internal_row#"
                                                    : "#kel_internal_cell#";
        ok = ok && PutBack(text, outer, whole);
    }
    if (!ok || text != original)
        fuzz::Fail("the page's regions do not add up to the page");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::Bytes(data, size));
    TKelTagList tags;
    TKelParser().Parse(text, tags);
    CheckTags(text, tags);

    TKelPageFile page;
    page.LoadFromFile(fuzz::MemoryFile(text));
    CheckRegions(text, page);
    CheckTags(page.Text, page.TextTags);
    CheckTags(page.TableText, page.TableTags);
    CheckTags(page.RowText, page.RowTags);
    CheckTags(page.CellText, page.CellTags);
    if (page.AllTags.Count() != page.TextTags.Count() + page.TableTags.Count() +
                                    page.RowTags.Count() + page.CellTags.Count())
        fuzz::Fail("AllTags misses tags of the regions");
    page.IsPicturePage();
    return 0;
}
