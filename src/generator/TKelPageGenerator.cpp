// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPageGenerator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

#include "base/FileHash.h"
#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "base/KelText.h"
#include "generator/TKelRebuildPlan.h"
#include "generator/TKelRunRecord.h"
#include "model/TCustomProgress.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "model/TKelLayoutList.h"
#include "model/TKelPicture.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelPageFile.h"
#include "template/TKelTag.h"

namespace fs = std::filesystem;

namespace {

// Negative counts from a hand-edited project file mean nothing sensible; take them as 0,
// "no limit", rather than letting them turn the paging arithmetic upside down.
std::int64_t Cols(const TKelLayer& layer) {
    return std::max(0, layer.ColCount());
}
std::int64_t Rows(const TKelLayer& layer) {
    return std::max(0, layer.RowCount());
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    // Division truncates toward zero, which is the ceiling for a negative quotient.
    return a > 0 ? (a + b - 1) / b : a / b;
}

std::string LayoutRelative(const TKelLayout& layout, const std::string& fileName) {
    return layout.Directory()->RelativePath(fileName);
}

int DigitCount(std::int64_t value) {
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// Characters a link may hold unescaped in its folder part. Others that would end or change
// the link ('#', '?', '%', spaces and quotes) are written as %XX.
std::string EscapeLinkFolder(const std::string& link) {
    const auto slash = link.rfind('/');
    if (slash == std::string::npos)
        return link;
    std::string result;
    for (std::size_t i = 0; i <= slash; ++i) {
        const auto c = static_cast<unsigned char>(link[i]);
        if (c <= 32 || c == '#' || c == '?' || c == '%' || c == '"' || c == '<' || c == '>' ||
            c == 127) {
            static constexpr char hex[] = "0123456789ABCDEF";
            result += '%';
            result += hex[c >> 4];
            result += hex[c & 15];
        } else {
            result += static_cast<char>(c);
        }
    }
    return result + link.substr(slash + 1);
}

// Titles are plain text that lands in headings and in alt="..." and title="..." attributes, and
// a picture's title comes from its file name: escaped, a name like `x" onerror="...` stays text.
std::string EscapeHtml(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&#39;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

// The gallery's language is kept by the layout list that holds the layout.
std::string Language(const TKelLayout& layout) {
    return layout.Owner() ? layout.Owner()->Language() : TKelLayoutList::DefaultLanguage;
}

} // namespace

struct TKelPageGenerator::PageContext {
    const TKelLayout& Layout;
    const TKelLayer& Layer;
    const std::string& OutDir;
    int Page;
    /// The folder the page is written into; links are relative to it.
    std::string PageDir;
};

std::string TKelPageGenerator::MakeUrl(const std::string& path, bool convertSlashes) {
    std::string result = path;
    if (convertSlashes)
        std::replace(result.begin(), result.end(), '\\', '/');
    const auto delimiter = result.find_last_of("/\\");
    const std::size_t start = delimiter == std::string::npos ? 0 : delimiter + 1;

    std::string name;
    for (std::size_t pos = start; pos < result.size();) {
        const char32_t c = kelvo::NextCodePoint(result, pos);
        if (c == U'.' || c == U'/' || c == U':' || c == U'\\' || (c >= U'0' && c <= U'9') ||
            (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z')) {
            name += static_cast<char>(c);
            continue;
        }
        switch (c) {
        case U'Ä':
            name += 'A';
            break;
        case U'Ö':
            name += 'O';
            break;
        case U'Ü':
            name += 'U';
            break;
        case U'ä':
            name += 'a';
            break;
        case U'è':
        case U'é':
            name += 'e';
            break;
        case U'ö':
            name += 'o';
            break;
        case U'ü':
            name += 'u';
            break;
        default:
            name += '_';
            break;
        }
    }
    return result.substr(0, start) + name;
}

void TKelPageGenerator::SetPictures(const TKelPictureRefs& pictures) {
    Pictures.Assign(pictures, false, true);
    m_names.Assign(Pictures);
    m_sourceSizes.clear();
}

int TKelPageGenerator::PageCount(const TKelLayer& layer) const {
    const TKelPageFile* page = layer.PageFile();
    const std::int64_t cols = Cols(layer);
    const std::int64_t rows = Rows(layer);
    if (!page || !page->AllTags.ContainsPictureTag() || cols == 0 || rows == 0)
        return 1;
    return static_cast<int>(CeilDiv(Pictures.Count(), cols * rows));
}

std::int64_t TKelPageGenerator::PictureIndex(const TKelLayer& layer, int page, int row,
                                             int col) const {
    const std::int64_t cols = Cols(layer);
    const std::int64_t rows = Rows(layer);
    if ((rows == 0 || cols == 0) && page != 0)
        return -1;
    if (cols == 0 && row != 0)
        return -1;
    const std::int64_t index = cols * rows * page + row * cols + col;
    return index >= 0 && index < Pictures.Count() ? index : -1;
}

std::int64_t TKelPageGenerator::RowsOnPage(const TKelLayer& layer, int page) const {
    const std::int64_t cols = Cols(layer);
    const std::int64_t rows = Rows(layer);
    const std::int64_t n = Pictures.Count();
    if ((rows == 0 || cols == 0) && page != 0)
        return 0;
    if (cols == 0)
        return 1;
    if (rows == 0)
        return CeilDiv(n, cols);
    return std::min(rows, CeilDiv(n - cols * rows * page, cols));
}

std::int64_t TKelPageGenerator::CellsInRow(const TKelLayer& layer, int page, int row) const {
    const std::int64_t cols = Cols(layer);
    const std::int64_t rows = Rows(layer);
    const std::int64_t n = Pictures.Count();
    if ((rows == 0 || cols == 0) && page != 0)
        return 0;
    if (cols == 0)
        return row != 0 ? 0 : n;
    return std::min(cols, n - (cols * rows * page + row * cols));
}

std::vector<std::string> TKelPageGenerator::DirectoryNames(const TKelLayout& layout,
                                                           const std::string& outDir) const {
    std::vector<std::string> result;
    if (!layout.Directory())
        return result;
    for (const std::string& dir : layout.Directory()->Directories) {
        std::string target = outDir + LayoutRelative(layout, dir);
        if (kelvo::IsInsideFolder(target, outDir))
            result.push_back(std::move(target));
    }
    return result;
}

void TKelPageGenerator::CreateDirectories(const TKelLayout& layout,
                                          const std::string& outDir) const {
    for (const std::string& target : DirectoryNames(layout, outDir)) {
        std::error_code ec;
        fs::create_directories(target, ec);
    }
}

std::vector<std::pair<std::string, std::string>>
TKelPageGenerator::CopyTargets(const TKelLayout& layout, const std::string& outDir) const {
    std::vector<std::pair<std::string, std::string>> result;
    if (!layout.Directory())
        return result;
    for (const std::string& file : layout.Directory()->OtherFiles) {
        std::string target = outDir + LayoutRelative(layout, file);
        // The run's record is never a layout's file, whatever the layout holds.
        if (kelvo::IsInsideFolder(target, outDir) &&
            kelvo::ExtractFileName(target) != TKelRunRecord::FileName)
            result.emplace_back(file, std::move(target));
    }
    return result;
}

void TKelPageGenerator::CopyFiles(const TKelLayout& layout, const std::string& outDir) const {
    for (const auto& [file, target] : CopyTargets(layout, outDir)) {
        try {
            const std::string bytes = kelvo::ReadFileBytes(file);
            const std::uint64_t hash = kelvo::HashBytes(bytes);
            if (Plan && Plan->Keep(target, hash))
                continue;
            std::error_code ec;
            fs::create_directories(fs::path(target).parent_path(), ec);
            kelvo::WriteFileBytes(target, bytes);
            if (Plan)
                Plan->Written(target, hash);
        } catch (const std::exception&) {
            // A layout file that cannot be copied leaves its page without it; the run goes on.
        }
    }
}

std::vector<std::string> TKelPageGenerator::OutputFileNames(const TKelPictureRefs& pictures,
                                                            const TKelLayout& layout,
                                                            const std::string& outDir) {
    std::vector<std::string> result;
    for (auto& [file, target] : CopyTargets(layout, outDir))
        result.push_back(std::move(target));
    SetPictures(pictures);
    if (!layout.Directory() || Pictures.Count() == 0)
        return result;
    for (const TKelLayer* layer : layout.Layers()) {
        if (!layer->PageFile())
            continue;
        for (int page = 0, pages = PageCount(*layer); page < pages; ++page)
            result.push_back(MakeUrl(GetPageFileName(layout, *layer, outDir, page), false));
    }
    return result;
}

void TKelPageGenerator::Generate(const TKelPictureRefs& pictures, const TKelLayout& layout,
                                 const std::string& outDir) {
    SetPictures(pictures);
    Preview = false;
    Failures.clear();
    if (!layout.Directory() || Pictures.Count() == 0)
        return;
    for (const TKelLayer* layer : layout.Layers()) {
        if (Progress && Progress->IsCancelled())
            return;
        if (Progress)
            Progress->Step(1, layer->Name());
        const int pages = PageCount(*layer);
        for (int page = 0; page < pages; ++page) {
            if (Progress && Progress->IsCancelled())
                break;
            GeneratePage(layout, *layer, outDir, page);
        }
    }
}

std::string TKelPageGenerator::GeneratePreview(const TKelLayout& layout, const TKelLayer* layer,
                                               int pictureIndex, const TKelPictureRefs& pictures,
                                               const std::string& tempDir) {
    Preview = true;
    Failures.clear();
    Pictures.Assign(pictures, false, true);
    if (pictureIndex > 0 && pictureIndex < Pictures.Count())
        Pictures.MovePicture(pictureIndex, 0);
    m_names.Assign(Pictures);
    m_sourceSizes.clear();
    if (!layout.Directory())
        return {};
    if (layer)
        return GeneratePage(layout, *layer, tempDir, 0);
    for (const TKelLayer* each : layout.Layers())
        GeneratePage(layout, *each, tempDir, 0);
    return {};
}

std::string TKelPageGenerator::GeneratePage(const TKelLayout& layout, const TKelLayer& layer,
                                            const std::string& outDir, int page) {
    const TKelPageFile* pageFile = layer.PageFile();
    std::string fileName = MakeUrl(GetPageFileName(layout, layer, outDir, page), false);
    if (!pageFile || fileName.empty())
        return {};
    try {
        if (!kelvo::IsInsideFolder(fileName, outDir))
            throw EFileError("Refusing to write \"" + fileName + "\" outside the output folder");
        const PageContext context{layout, layer, outDir, page, kelvo::ExtractFilePath(fileName)};
        const std::string text =
            FillText(context, TRegion::Page, pageFile->Text, pageFile->TextTags, 0, 0);
        const std::uint64_t hash = kelvo::HashBytes(text);
        if (Plan && Plan->Keep(fileName, hash))
            return fileName;
        fs::create_directories(context.PageDir);
        kelvo::WriteFileBytes(fileName, text);
        if (Plan)
            Plan->Written(fileName, hash);
        return fileName;
    } catch (const std::exception& e) {
        Failures.push_back({fileName, e.what()});
        return {};
    }
}

std::string TKelPageGenerator::LinkTo(const PageContext& context, const std::string& target) const {
    return EscapeLinkFolder(MakeUrl(kelvo::RelativePath(context.PageDir, target), true));
}

std::vector<TKelPictureFrame> TKelPageGenerator::Frames(const TKelLayer& layer,
                                                        const TKelPicture* picture) const {
    if (picture) {
        auto [it, added] = m_sourceSizes.try_emplace(picture);
        if (added) {
            try {
                it->second = ReadPictureSize(picture->FileName());
            } catch (const std::exception&) {
                // Not generated either; the page still gets sizes that keep its layout.
            }
        }
        if (it->second) {
            try {
                return PictureFrames(layer, it->second->Width, it->second->Height);
            } catch (const std::exception&) {
                // A one-pixel source or frame, which the picture generator skips too.
            }
        }
    }
    return {PlaceholderFrame(layer)};
}

std::string TKelPageGenerator::SrcSet(const PageContext& context,
                                      const TKelPicture* picture) const {
    std::string value;
    for (const TKelPictureFrame& frame : Frames(context.Layer, picture)) {
        // A comma would end the candidate early; names have none, folders may.
        std::string link =
            LinkTo(context, GetPictureFileName(context.Layout, context.Layer, picture,
                                               context.OutDir, frame.Density));
        for (auto comma = link.find(','); comma != std::string::npos; comma = link.find(','))
            link.replace(comma, 1, "%2C");
        if (!value.empty())
            value += ", ";
        value += link;
        if (frame.Density > 1)
            value.append(" ").append(std::to_string(frame.Density)).append("x");
    }
    return value;
}

std::string TKelPageGenerator::PageLink(const PageContext& context, const TKelLayer& target,
                                        std::int64_t index) const {
    std::int64_t perPage = Cols(target) * Rows(target);
    if (perPage == 0)
        perPage = Pictures.Count();
    const std::int64_t page = perPage == 0 ? 0 : index / perPage;
    // Out-of-range pages are clamped by GetPageFileName.
    const int clamped = static_cast<int>(std::clamp<std::int64_t>(page, -1, PageCount(target)));
    return LinkTo(context, GetPageFileName(context.Layout, target, context.OutDir, clamped));
}

std::string TKelPageGenerator::FillText(const PageContext& context, TRegion region,
                                        const std::string& text, const TKelTagRefs& tags, int row,
                                        int col) const {
    const TKelLayer& layer = context.Layer;
    const TKelPageFile& pageFile = *layer.PageFile();
    const int page = context.Page;
    const std::int64_t index = PictureIndex(layer, page, row, col);
    const TKelPicture* picture =
        index >= 0 ? Pictures.GetPicture(static_cast<int>(index)) : nullptr;

    std::string result = text;
    for (int i = tags.Count() - 1; i >= 0; --i) {
        const TKelTag& tag = *tags.Items(i);
        const std::string& name = tag.Name;
        std::string value;
        if (name == "kel_page_title") {
            value = EscapeHtml(layer.PageTitle());
        } else if (name == "kel_page_text") {
            value = layer.PageText();
        } else if (name == "kel_page_previous" || name == "kel_page_next") {
            const int other = page + (name == "kel_page_next" ? 1 : -1);
            value = MakeUrl(kelvo::ExtractFileName(
                                GetPageFileName(context.Layout, layer, context.OutDir, other)),
                            true);
        } else if (name == "kel_page_filename" || name == "kel_page_overview") {
            const std::string targetName = tag.GetStrAttribute("layer", layer.Name());
            const TKelLayer* target = context.Layout.Layers().FindLayer(targetName);
            if (!target)
                continue;
            value = PageLink(context, *target, index);
        } else if (name == "kel_internal_table" && region < TRegion::Table) {
            value = FillText(context, TRegion::Table, pageFile.TableText, pageFile.TableTags, 0, 0);
        } else if (name == "kel_internal_row" && region < TRegion::Row) {
            const std::int64_t rows = RowsOnPage(layer, page);
            for (std::int64_t r = 0; r < rows; ++r)
                value += FillText(context, TRegion::Row, pageFile.RowText, pageFile.RowTags,
                                  static_cast<int>(r), 0);
        } else if (name == "kel_internal_cell" && region < TRegion::Cell) {
            const std::int64_t cells = CellsInRow(layer, page, row);
            for (std::int64_t c = 0; c < cells; ++c)
                value += FillText(context, TRegion::Cell, pageFile.CellText, pageFile.CellTags, row,
                                  static_cast<int>(c));
        } else if (name == "kel_picture_title" || name == "kel_picture_comment") {
            if (!picture)
                continue;
            // Comments stay HTML on purpose: a user may write a link or a line break.
            value = name == "kel_picture_title" ? EscapeHtml(picture->Title()) : picture->Comment();
        } else if (name == "kel_picture_filename" || name == "kel_picture_srcset" ||
                   name == "kel_picture_width" || name == "kel_picture_height") {
            // A preview writes only its first picture; every other cell shows the placeholder.
            const TKelPicture* shown = (Preview && index != 0) ? nullptr : picture;
            if (name == "kel_picture_filename")
                value = LinkTo(context,
                               GetPictureFileName(context.Layout, layer, shown, context.OutDir));
            else if (name == "kel_picture_srcset")
                value = SrcSet(context, shown);
            else if (name == "kel_picture_width")
                value = std::to_string(Frames(layer, shown).front().Width);
            else
                value = std::to_string(Frames(layer, shown).front().Height);
        } else if (name == "kel_word") {
            const std::string key = tag.GetStrAttribute("name", "");
            if (key.empty())
                continue;
            value =
                EscapeHtml(context.Layout.Directory()->Words.Word(key, Language(context.Layout)));
        } else if (name == "kel_gallery_language") {
            value = EscapeHtml(Language(context.Layout));
        } else {
            continue;
        }
        Parser.ReplaceTag(result, value, tag);
    }
    return result;
}

std::string TKelPageGenerator::GetPageFileName(const TKelLayout& layout, const TKelLayer& layer,
                                               const std::string& outDir, int page) const {
    if (!layout.Directory() || !layer.PageFile())
        return {};
    std::string path = outDir + LayoutRelative(layout, layer.PageFile()->FileName);
    const int pages = PageCount(layer);
    const auto dot = path.rfind('.');
    if (pages > 1 && dot != std::string::npos) {
        const int q = std::clamp(page, 0, pages - 1);
        if (q > 0) {
            std::array<char, 32> number{};
            std::snprintf(number.data(), number.size(), "_%.*d", DigitCount(pages), q + 1);
            path.insert(dot, number.data());
        }
    }
    return path;
}

std::string TKelPageGenerator::GetPictureFileName(const TKelLayout& layout, const TKelLayer& layer,
                                                  const TKelPicture* picture,
                                                  const std::string& outDir, int density) const {
    return m_names.PictureFileName(layout, layer, picture, outDir, density);
}

std::string TKelPageGenerator::GetStartPage(const TKelLayout& layout,
                                            const std::string& outDir) const {
    const TKelPageDirectory* directory = layout.Directory();
    if (!directory)
        return {};
    static constexpr std::array<std::string_view, 4> startNames = {"index.html", "index.htm",
                                                                   "default.html", "default.htm"};
    for (const auto startName : startNames) {
        for (const std::string& file : directory->OtherFiles) {
            if (kelvo::SameTextAZ(kelvo::ExtractFileName(file), startName))
                return outDir + LayoutRelative(layout, file);
        }
    }
    for (const auto startName : startNames) {
        for (const TKelLayer* layer : layout.Layers()) {
            if (layer->PageFile() &&
                kelvo::SameTextAZ(kelvo::ExtractFileName(layer->PageFile()->FileName), startName))
                return MakeUrl(GetPageFileName(layout, *layer, outDir, 0), false);
        }
    }
    return {};
}
