// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// kelvo-cli generate: the gallery of a project, as the desktop program's output dialog makes it.

#include <filesystem>
#include <fstream>
#include <iostream>

#include "CliError.h"
#include "CliOptions.h"
#include "LayoutSource.h"
#include "TerminalProgress.h"
#include "base/FileUtils.h"
#include "base/KelText.h"
#include "generator/TKelGalleryRun.h"
#include "model/TKelProject.h"

namespace fs = std::filesystem;

namespace {

// The folder the gallery goes into: --output (created if missing), else the project's output
// folder (which must exist; a relative one is taken from the project file's folder) and its
// sub-folder.
std::string ChooseOutputDirectory(const GenerateOptions& options, const TKelProject& project) {
    std::error_code ec;
    if (!options.Output.empty()) {
        std::string dir = kelvo::IncludeTrailingDelimiter(
            fs::absolute(options.Output).lexically_normal().string());
        fs::create_directories(dir, ec);
        if (!fs::is_directory(dir))
            throw CliError("cannot create the output folder \"" + dir + "\"" +
                           (ec ? ": " + ec.message() : ""));
        return dir;
    }
    std::string base = project.OutputDirectory();
    if (base.empty() || base == std::string(1, kelvo::PathDelim))
        throw CliError("the project has no output folder; give one with --output");
    if (fs::path(base).is_relative())
        base = (fs::path(project.FileName()).parent_path() / base).lexically_normal().string();
    base = kelvo::IncludeTrailingDelimiter(base);
    if (!fs::is_directory(base, ec))
        throw CliError("the output folder \"" + base + "\" does not exist");
    return TKelGalleryRun::OutputDirectory(base, project.OutputSubDirectory());
}

// Fails early, with a clear message, rather than skipping every page and picture.
void CheckWritable(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    const std::string probe = dir + ".kelvo-write-test";
    {
        std::ofstream out(probe);
        if (!out)
            throw CliError("the output folder \"" + dir + "\" is not writable");
    }
    fs::remove(probe, ec);
}

// The last line of a run, on standard error so that standard output stays the start page alone
// for scripts.
void PrintCounts(const TKelRebuildPlan::TCounts& counts, bool quiet) {
    if (quiet)
        return;
    std::cerr << "kelvo-cli: pictures: " << counts.PicturesWritten << " written, "
              << counts.PicturesKept << " kept, " << counts.PicturesRemoved
              << " removed; pages: " << counts.PagesWritten << " written, " << counts.PagesKept
              << " kept, " << counts.PagesRemoved << " removed\n";
}

} // namespace

ExitStatus RunGenerate(const GenerateOptions& options) {
    const std::string projectFile = fs::absolute(options.Project).lexically_normal().string();
    if (!fs::is_regular_file(projectFile))
        throw CliError("the project \"" + projectFile + "\" does not exist");
    TKelProject project;
    if (!project.LoadFromFile(projectFile))
        throw CliError("the project \"" + projectFile +
                       "\" could not be opened: it is not a Kelvo "
                       "project file, or it is damaged");

    // As the layout dialog's OK does: fresh layouts from the folder, with the project's settings
    // carried over by layout and layer name.
    LayoutSource source(options.Layouts);
    source.Layouts().AssignSettings(project.Layouts());
    project.Layouts().Swap(source.Layouts());
    TKelLayoutList& layouts = project.Layouts();
    if (!options.Layout.empty()) {
        if (!layouts.FindLayout(options.Layout))
            throw CliError("there is no layout \"" + options.Layout + "\" in \"" + source.Folder() +
                           "\" (there are: " + source.Names() + ")");
        layouts.SetActiveLayout(options.Layout);
    } else if (!layouts.ActiveLayout().empty() && !layouts.FindLayout(layouts.ActiveLayout())) {
        std::cerr << "kelvo-cli: warning: the project's layout \"" << layouts.ActiveLayout()
                  << "\" is not in \"" << source.Folder() << "\"; using \""
                  << layouts.GetActiveLayout()->Name() << "\"\n";
    }

    const std::string outDir = ChooseOutputDirectory(options, project);
    CheckWritable(outDir);

    TerminalProgress progress(options.Quiet);
    TKelGalleryRun run;
    run.Progress = &progress;
    run.Jobs = options.Jobs;
    run.Fast = options.Fast;
    run.Force = options.Force;
    const TKelGalleryRun::TStatus status = run.Execute(project, outDir);
    progress.Finish();

    for (const TKelGenerationFailure& failure : run.Failures)
        std::cerr << "kelvo-cli: warning: skipped \"" << failure.FileName
                  << "\": " << failure.Message << '\n';
    for (const TKelGenerationFailure& warning : run.Warnings)
        std::cerr << "kelvo-cli: warning: \"" << warning.FileName << "\": " << warning.Message
                  << '\n';
    switch (status) {
    case TKelGalleryRun::TStatus::NoPictures:
        throw CliError("the project has no checked picture whose file exists");
    case TKelGalleryRun::TStatus::NoLayout:
        throw CliError("there is no layout to generate with");
    case TKelGalleryRun::TStatus::Cancelled:
        std::cerr << "kelvo-cli: cancelled; what was written so far stays in \"" << outDir
                  << "\"\n";
        PrintCounts(run.Counts, options.Quiet);
        return ExitStatus::Cancelled;
    case TKelGalleryRun::TStatus::Done:
        break;
    }
    std::cout << (run.StartPage.empty() ? outDir : run.StartPage) << std::endl;
    PrintCounts(run.Counts, options.Quiet);
    return ExitStatus::Success;
}
