// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "generator/TKelGenerationFailure.h"

class TCustomProgress;
class TKelProject;

/// One run of a whole gallery: the pages of the project's active layout, then the resized
/// pictures, for every checked picture whose file exists. The desktop program's output dialog
/// and kelvo-cli both run galleries through it.
///
/// The progress range is P × L × 10 + L for P pictures and L layers: one step per layer for
/// its pages, ten per picture and layer for the pictures. A cancel reported by the progress
/// sink stops the run at the generators' next query; what was written stays.
class TKelGalleryRun {
public:
    enum class TStatus {
        Done,
        Cancelled,
        /// No checked picture whose file exists; nothing was written.
        NoPictures,
        /// The project has no layout; nothing was written.
        NoLayout,
    };

    /// Not owned; may be null.
    TCustomProgress* Progress = nullptr;
    /// Worker threads for the pictures; 0 uses one per core.
    int Jobs = 0;
    /// Decode JPEG pictures at a reduced scale: faster, same sizes and names, slightly
    /// different pixels (TKelPictureGenerator::Fast). Not stored in the project.
    bool Fast = false;
    /// Called once the checks have passed, right before the first page is written.
    std::function<void()> OnStarted;

    /// The start page of the last run, or empty when the layout has none.
    std::string StartPage;
    /// Pages and pictures the last run skipped, pages first.
    std::vector<TKelGenerationFailure> Failures;
    /// Pictures the last run wrote, but not quite as their files ask (a colour profile that
    /// could not be used, so the colours are taken as sRGB), and why. Not counted as skipped.
    std::vector<TKelGenerationFailure> Warnings;

    /// Unchecks the project's pictures whose files are missing (recorded in its history), then
    /// generates the gallery of the checked ones with the active layout into outDir, which
    /// must end in a path delimiter; missing folders below it are created. The layout must
    /// have been read from the layouts folder (a layout known only from the project file has no
    /// templates, and nothing is written for it).
    TStatus Execute(TKelProject& project, const std::string& outDir);

    /// The output folder of a run: a project's output folder followed by its sub-folder.
    /// Raises EFileError when the sub-folder is absolute or climbs out with "..".
    static std::string OutputDirectory(const std::string& outputDirectory,
                                       const std::string& subDirectory);
};
