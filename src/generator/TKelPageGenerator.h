// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "generator/TKelGenerationFailure.h"
#include "generator/TKelPictureFrame.h"
#include "generator/TKelPictureNames.h"
#include "imaging/PictureFormat.h"
#include "model/TKelPictureRefs.h"
#include "template/TKelParser.h"

class TCustomProgress;
class TKelLayer;
class TKelRebuildPlan;
class TKelLayout;
class TKelPicture;
class TKelTagRefs;

/// Writes the HTML pages of a gallery: for every layer of a layout it divides the checked
/// pictures into pages, fills the layer's template once per page and writes it into the output
/// folder, keeping the layout's folder structure. It also recreates the layout's folders,
/// copies its other files, names the generated pictures and finds the start page.
///
/// Created for one run or one preview. Output folders end in a path delimiter. Every page and
/// picture is written under the link form of its name (MakeUrl), the same form the links use,
/// and nothing is written outside the output folder. Failures to write a page are skipped and
/// listed in Failures; the run goes on.
///
/// Paging, for a layer with Cols columns and Rows rows and N pictures: a page holds up to Rows
/// rows of up to Cols cells, Rows 0 puts every picture on one page, Cols 0 puts every picture in
/// one row, and a template without picture tags is written once. Further pages are numbered
/// "index_2.html" (zero-padded to the digits of the page count).
///
/// Page and picture titles and a layout's words are plain text and go in HTML-escaped; page
/// texts and picture comments are HTML and go in as they are.
///
/// A picture's srcset and its width and height in CSS pixels come from the size of its source,
/// which is read from the file's headers once per run (ReadPictureSize), so the pages list
/// exactly the densities the picture generator writes. A source whose size cannot be read gets
/// the placeholder's size and no further density.
class TKelPageGenerator {
public:
    TKelParser Parser;
    /// Not owned; may be null. Set by the caller before Generate.
    TCustomProgress* Progress = nullptr;
    /// The pictures that take part, in gallery order; refilled by Generate and GeneratePreview.
    TKelPictureRefs Pictures;
    /// True while a preview is made: picture cells other than the first show the placeholder.
    bool Preview = false;
    /// Pages that could not be written in the last run.
    std::vector<TKelGenerationFailure> Failures;
    /// Not owned; may be null. When set, pages and copied files whose bytes are already there
    /// are kept as they are, and what is written is recorded in it.
    TKelRebuildPlan* Plan = nullptr;

    /// Creates outDir plus every folder of the layout, relative to the layout folder. Failures
    /// are ignored.
    void CreateDirectories(const TKelLayout& layout, const std::string& outDir) const;
    /// Copies every file of the layout that is not a template page to the same place below
    /// outDir, replacing existing files. Failures are ignored.
    void CopyFiles(const TKelLayout& layout, const std::string& outDir) const;

    /// The folders CreateDirectories creates, each ending in a path delimiter.
    std::vector<std::string> DirectoryNames(const TKelLayout& layout,
                                            const std::string& outDir) const;
    /// Every file that CopyFiles and Generate write for pictures, in link form: the copied
    /// files, then the pages.
    std::vector<std::string> OutputFileNames(const TKelPictureRefs& pictures,
                                             const TKelLayout& layout, const std::string& outDir);

    /// Writes every page of every layer for the checked pictures of pictures. Asks Progress
    /// whether to stop before each layer and each page, and advances it by one step per layer.
    /// Nothing is written for a layout without page directory or without checked pictures.
    void Generate(const TKelPictureRefs& pictures, const TKelLayout& layout,
                  const std::string& outDir);

    /// Writes page 0 of layer (of every layer when layer is null) into tempDir, with the
    /// checked picture at pictureIndex (of the checked pictures; -1 for none) moved to the
    /// front. Returns the written page of layer, or empty.
    std::string GeneratePreview(const TKelLayout& layout, const TKelLayer* layer, int pictureIndex,
                                const TKelPictureRefs& pictures, const std::string& tempDir);

    /// Fills layer's template for page and writes it. Returns the written path, or empty when
    /// writing failed.
    std::string GeneratePage(const TKelLayout& layout, const TKelLayer& layer,
                             const std::string& outDir, int page);

    /// The gallery's start page: a copied index.html, index.htm, default.html or default.htm
    /// (in that order of preference, first in folder order), else page 0 of the first layer
    /// whose template has one of those names. Empty when there is none.
    std::string GetStartPage(const TKelLayout& layout, const std::string& outDir) const;

    /// The full path of page (clamped to the layer's pages) of layer below outDir, before the
    /// link form is applied. Empty when the layout has no page directory.
    std::string GetPageFileName(const TKelLayout& layout, const TKelLayer& layer,
                                const std::string& outDir, int page) const;
    /// The full path of the generated picture of picture for layer (the placeholder "dummy.bmp"
    /// when picture is null), before the link form: "<outDir><folder>/Beach_index.jpg"; for a
    /// density above 1 "<outDir><folder>/2x/Beach_index.jpg" (TKelPictureNames).
    std::string GetPictureFileName(const TKelLayout& layout, const TKelLayer& layer,
                                   const TKelPicture* picture, const std::string& outDir,
                                   int density = 1) const;

    /// The link form of path: in the part after the last '/' or '\', letters A-Z and a-z,
    /// digits, '.', ':' stay, the German umlauts and e-grave/e-acute lose their marks
    /// (Ü gives U), and every other character (a code point) becomes '_'. The folder part is
    /// left as it is. With convertSlashes every '\' is first turned into '/'.
    static std::string MakeUrl(const std::string& path, bool convertSlashes);

    /// The number of pages layer has for the current pictures.
    int PageCount(const TKelLayer& layer) const;

private:
    struct PageContext;

    /// The texts of a template page, outermost first: a region's marker is filled only in a
    /// text outside that region, so a marker an author wrote inside it cannot recurse.
    enum class TRegion { Page, Table, Row, Cell };

    std::string FillText(const PageContext& context, TRegion region, const std::string& text,
                         const TKelTagRefs& tags, int row, int col) const;
    std::string PageLink(const PageContext& context, const TKelLayer& target,
                         std::int64_t index) const;
    std::string LinkTo(const PageContext& context, const std::string& target) const;
    /// The pictures written of picture for layer; the placeholder's frame for none.
    std::vector<TKelPictureFrame> Frames(const TKelLayer& layer, const TKelPicture* picture) const;
    std::string SrcSet(const PageContext& context, const TKelPicture* picture) const;

    std::int64_t PictureIndex(const TKelLayer& layer, int page, int row, int col) const;
    std::int64_t RowsOnPage(const TKelLayer& layer, int page) const;
    std::int64_t CellsInRow(const TKelLayer& layer, int page, int row) const;

    void SetPictures(const TKelPictureRefs& pictures);
    /// The layout's files that CopyFiles copies, each with its target below outDir.
    std::vector<std::pair<std::string, std::string>> CopyTargets(const TKelLayout& layout,
                                                                 const std::string& outDir) const;

    TKelPictureNames m_names;
    /// The sources' sizes read so far in this run; none for a source that cannot be read.
    mutable std::unordered_map<const TKelPicture*, std::optional<TPictureSize>> m_sourceSizes;
};
