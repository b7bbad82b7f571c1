// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/TKelLayout.h"
#include "model/TKelLayoutList.h"
#include "model/TKelPictureList.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectory.h"

/// A layout folder, a picture list and an output folder in one temporary folder, for tests of
/// the generators. Write the template pages with Page, then call Load; pictures are files
/// below "src/" (empty unless made with AddPhoto), checked, titled by their file name.
class GalleryFixture {
public:
    GalleryFixture();

    /// Writes a file of the layout "Test" (a template page when it holds a tag).
    void Page(std::string_view relative, std::string_view text) const;
    /// Reads the layout folder into Layout.
    void Load();

    /// A picture whose file exists but is empty: enough for pages.
    TKelPicture* AddPicture(std::string_view name);
    /// A real JPEG or BMP picture of width x height with a colour pattern.
    TKelPicture* AddPhoto(std::string_view name, int width, int height);

    /// The text of a file below the output folder; empty when it does not exist.
    std::string Output(std::string_view relative) const;
    bool OutputExists(std::string_view relative) const;
    /// Every file below the output folder, relative, sorted.
    std::vector<std::string> OutputFiles() const;

    TempDir Tmp;
    std::string LayoutDir;
    std::string OutDir;
    TKelPageDirectory Directory;
    std::unique_ptr<TKelLayout> Layout;
    TKelPictureList Pictures;
};

/// Writes a JPEG or BMP picture of width x height with a colour pattern, creating its folder.
void WritePatternPhoto(const std::string& file, int width, int height);

/// Every layout with its layers' settings, as one comparable text: "L:name" and per layer
/// " name,title,text,cols,rows,width,height,quality,folder", then "|".
std::string DescribeLayouts(const TKelLayoutList& layouts);

/// Counts the non-overlapping occurrences of needle in text.
int CountOf(std::string_view text, std::string_view needle);
