// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// kelvo-cli new: a project from picture files and folders.

#include <filesystem>
#include <iostream>

#include "CliError.h"
#include "CliOptions.h"
#include "LayoutSource.h"
#include "base/FileUtils.h"
#include "imaging/PictureFormat.h"
#include "model/TKelPicture.h"
#include "model/TKelProject.h"

namespace fs = std::filesystem;

namespace {

// The extensions Kelvo takes, for messages: ".jpg, .jpeg, ..., .bmp".
std::string PictureExtensions() {
    std::string list;
    for (const TPictureFamily& family : PictureFamilies())
        for (const std::string& extension : family.Extensions)
            list += (list.empty() ? "." : ", .") + extension;
    return list;
}

void AddPicture(TKelProject& project, const fs::path& file) {
    project.Pictures().CreatePicture()->SetFileName(file.string());
}

// A folder gives its pictures sorted by name, without going into sub-folders.
int AddInput(TKelProject& project, const std::string& input) {
    const fs::path path = fs::absolute(input).lexically_normal();
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        int added = 0;
        for (const auto& entry : kelvo::ListDirectory(path)) {
            if (entry.is_regular_file(ec) && HasPictureExtension(entry.path().string())) {
                AddPicture(project, entry.path());
                ++added;
            }
        }
        if (added == 0)
            std::cerr << "kelvo-cli: warning: no picture files (" << PictureExtensions()
                      << ") in \"" << path.string() << "\"\n";
        return added;
    }
    if (!fs::exists(path, ec))
        throw CliError("\"" + input + "\" does not exist");
    if (!HasPictureExtension(path.string()))
        throw CliError("\"" + input + "\" is not a picture file (" + PictureExtensions() + ")");
    AddPicture(project, path);
    return 1;
}

} // namespace

ExitStatus RunNew(const NewOptions& options) {
    const std::string projectFile = fs::absolute(options.Project).lexically_normal().string();
    if (fs::exists(projectFile) && !options.Force)
        throw CliError("\"" + projectFile + "\" already exists; use --force to replace it");

    TKelProject project;
    int count = 0;
    for (const std::string& input : options.Inputs)
        count += AddInput(project, input);
    if (count == 0)
        throw CliError("no pictures to put into the project");

    if (options.Sort == "name")
        project.Pictures().OrderByFileName();
    else if (options.Sort == "date")
        project.Pictures().OrderByDate();

    if (!options.Layout.empty()) {
        LayoutSource source(options.Layouts);
        const TKelLayout* layout = source.Layouts().FindLayout(options.Layout);
        if (!layout)
            throw CliError("there is no layout \"" + options.Layout + "\" in \"" + source.Folder() +
                           "\" (there are: " + source.Names() + ")");
        project.Layouts().SetActiveLayout(layout->Name());
    }
    if (!options.Output.empty())
        project.SetOutputDirectory(fs::absolute(options.Output).lexically_normal().string());

    if (!project.SaveToFile(projectFile))
        throw CliError("cannot write the project \"" + projectFile + "\"");
    std::cout << projectFile << '\n';
    return ExitStatus::Success;
}
