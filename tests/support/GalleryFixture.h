// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TBM_Bitmap;

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/TKelLayout.h"
#include "model/TKelLayoutList.h"
#include "model/TKelPictureList.h"
#include "support/TempDir.h"
#include "template/TKelPageDirectory.h"

/// A layout folder, a picture list and an output folder in one temporary folder. Write pages,
/// then Load; pictures are files below "src/" (empty unless made with AddPhoto).
class GalleryFixture {
public:
    GalleryFixture();

    /// Writes a file of the layout "Test".
    void Page(std::string_view relative, std::string_view text) const;
    void Load();                                    ///< reads the layout folder into Layout
    TKelPicture* AddPicture(std::string_view name); ///< an empty file: enough for pages
    TKelPicture* AddPhoto(std::string_view name, int width, int height);

    /// The text of a file below the output folder; empty when it does not exist.
    std::string Output(std::string_view relative) const;
    bool OutputExists(std::string_view relative) const;
    std::vector<std::string> OutputFiles() const; ///< FilesBelow(OutDir)

    TempDir Tmp;
    std::string LayoutDir;
    std::string OutDir;
    TKelPageDirectory Directory;
    std::unique_ptr<TKelLayout> Layout;
    TKelPictureList Pictures;
};

/// The files below a folder, relative and sorted, a gallery run's record aside; none when the
/// folder does not exist.
std::vector<std::string> FilesBelow(const std::string& dir);

/// Writes bitmap as a BMP when file ends in ".bmp" (any case), otherwise as a JPEG of quality 90.
void SavePicture(const std::string& file, const TBM_Bitmap& bitmap);

/// Writes a JPEG or BMP picture of width x height with a colour pattern, creating its folder.
void WritePatternPhoto(const std::string& file, int width, int height);

/// Every layout with its layers' settings, as one comparable text (densities only when not 1).
std::string DescribeLayouts(const TKelLayoutList& layouts);

int CountOf(std::string_view text, std::string_view needle);
