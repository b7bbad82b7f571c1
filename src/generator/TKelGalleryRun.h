// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "generator/TKelGenerationFailure.h"
#include "generator/TKelRebuildPlan.h"

class TCustomProgress;
class TKelProject;

/// One run of a whole gallery: the pages of the project's active layout, then the resized
/// pictures, for every checked picture whose file exists. The desktop program's output dialog
/// and kelvo-cli both run galleries through it.
///
/// The progress range is P × L × 10 + L for P pictures and L layers: one step per layer for
/// its pages, ten per picture and layer for the pictures. A cancel reported by the progress
/// sink stops the run at the generators' next query; what was written stays.
///
/// Runs are incremental: a file whose content would not change is left as it is (also its
/// modification time), and the files an earlier run made that this one does not are removed,
/// so that the folder always holds what one full run into an empty folder would write. What
/// was written is kept in the record ".kelvo-record.xml" in the output folder
/// (TKelRunRecord, TKelRebuildPlan); files it does not list are never removed.
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
    /// Write every file, even those still current. Files no longer made are still removed.
    bool Force = false;
    /// Called once the checks have passed, right before the first page is written.
    std::function<void()> OnStarted;

    /// The start page of the last run, or empty when the layout has none.
    std::string StartPage;
    /// Pages and pictures the last run skipped, pages first; then files it could not remove
    /// and a record it could not write.
    std::vector<TKelGenerationFailure> Failures;
    /// The files the last run wrote, kept and removed.
    TKelRebuildPlan::TCounts Counts;
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
