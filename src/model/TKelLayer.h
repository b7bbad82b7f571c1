// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_node;
}
class TKelLayerList;
class TKelPageFile;

/// One layer of a layout: one kind of gallery page (an overview, a page per picture, ...) made
/// from one template page, with the settings the user gives it. Owned by a TKelLayerList.
///
/// ColCount pictures per row and RowCount rows per page (0: no limit); PictureWidth and
/// PictureHeight are the frame, in pixels, each picture is fitted into (0: the picture's own
/// size that way). The setters record the change, under their own name, in the history of the
/// layout list at the top of the owner chain; loading and copying settings record nothing.
class TKelLayer {
public:
    explicit TKelLayer(TKelLayerList* owner = nullptr);
    virtual ~TKelLayer() = default;
    TKelLayer(const TKelLayer&) = delete;
    TKelLayer& operator=(const TKelLayer&) = delete;

    TKelLayerList* Owner() const { return m_owner; }
    /// The template page (not owned; it belongs to the page directory list that was read), or
    /// nullptr for a layer read from a project file.
    TKelPageFile* PageFile() const { return m_pageFile; }
    const std::string& Name() const { return m_name; }

    const std::string& PageTitle() const { return m_pageTitle; }
    void SetPageTitle(const std::string& value);
    /// May hold line breaks.
    const std::string& PageText() const { return m_pageText; }
    void SetPageText(const std::string& value);
    int ColCount() const { return m_colCount; }
    void SetColCount(int value);
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int value);
    int PictureWidth() const { return m_pictureWidth; }
    void SetPictureWidth(int value);
    int PictureHeight() const { return m_pictureHeight; }
    void SetPictureHeight(int value);
    int PictureQuality() const { return m_pictureQuality; }
    void SetPictureQuality(int value);
    /// The sub-folder of the gallery for this layer's pictures; empty: the template's own
    /// folder. Always safe (see IsSafePictureDirectory).
    const std::string& PictureDirectory() const { return m_pictureDirectory; }
    /// The pixel densities the layer's pictures are written for, ascending, 1 always first:
    /// {1, 2} also writes every picture at twice the frame for screens with two device pixels
    /// per CSS pixel. The setter takes any list through NormalizeDensities.
    const std::vector<int>& Densities() const { return m_densities; }
    void SetDensities(const std::vector<int>& value);

    /// Takes the name (the page's file name without extension) and the defaults from the first
    /// `kel_picture_filename` tag of the page (def_cols, def_rows, def_width, def_height,
    /// def_quality, def_directory, def_densities), then CheckPaging. An unsafe def_directory is
    /// taken as empty. Raises EConvertError when a def_ number is not an integer; the layer then
    /// keeps its page and name and the creation values.
    bool LoadFromPageFile(TKelPageFile* pageFile);
    /// Copies every setting of other (not Name, PageFile or Owner), then CheckPaging. Records
    /// nothing.
    void AssignSettings(const TKelLayer& other);
    /// Corrects the paging to what the template page can show (only while PageFile is set): a
    /// picture page without links to other pages gets RowCount 0, a page without a repeated
    /// picture cell ColCount 1 and RowCount 1. Records nothing.
    void CheckPaging();

    /// Reads a "layer" element; missing or non-integer attributes take the creation values and
    /// an unsafe "picture_directory" is taken as empty. Records nothing. Returns false, without
    /// raising, when node is null.
    virtual bool LoadFromXml(pugi::xml_node node);
    /// Writes the nine attributes of a "layer" element, and "densities" after them only when
    /// it is not "1", so a project without high-density pictures is written as before. Returns
    /// false, without raising, on failure.
    virtual bool SaveToXml(pugi::xml_node node) const;

    /// True if directory can only lead into the gallery: empty, or a relative path (with '/' or
    /// '\' as separators) without a ".." component, a leading separator or a drive ("C:").
    /// The generator may ask it again before writing.
    static bool IsSafePictureDirectory(std::string_view directory);

    /// The densities of a list as the layer keeps them: 1 to MaxDensity, 1 included, sorted,
    /// each once.
    static std::vector<int> NormalizeDensities(std::vector<int> densities);
    /// Reads "1,2" (a comma-separated list of whole numbers, spaces allowed) into a normalized
    /// list; items that are no number or out of range are left out.
    static std::vector<int> ParseDensities(std::string_view text);
    /// "1,2": the text ParseDensities reads.
    static std::string FormatDensities(const std::vector<int>& densities);
    /// A screen with more than four device pixels per CSS pixel is not made.
    static constexpr int MaxDensity = 4;

protected:
    void Changed(const std::string& reason);

private:
    template <typename T>
    void SetField(T& field, const T& value, const char* reason);

    TKelLayerList* m_owner;
    TKelPageFile* m_pageFile = nullptr;
    std::string m_name;
    std::string m_pageTitle;
    std::string m_pageText;
    int m_colCount = 5;
    int m_rowCount = 0;
    int m_pictureWidth = 140;
    int m_pictureHeight = 140;
    int m_pictureQuality = 80;
    std::string m_pictureDirectory;
    std::vector<int> m_densities{1};
};
