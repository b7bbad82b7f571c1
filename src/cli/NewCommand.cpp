// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// kelvo-cli new: a project from picture files and folders.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "CliError.h"
#include "CliOptions.h"
#include "LayoutSource.h"
#include "base/FileUtils.h"
#include "base/KelText.h"
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

bool IsLanguageCode(const std::string& code) {
    return (code.size() == 2 || code.size() == 3) &&
           std::all_of(code.begin(), code.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

// The language of the first locale variable that is set, as the C library chooses messages:
// "de_DE.UTF-8" gives "de"; "C", "POSIX" and anything that names no language give English.
std::string LocaleLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        const std::string locale = value;
        const std::string code = kelvo::LowerAZ(locale.substr(0, locale.find_first_of("_.@")));
        return IsLanguageCode(code) ? code : TKelLayoutList::DefaultLanguage;
    }
    return TKelLayoutList::DefaultLanguage;
}

} // namespace

ExitStatus RunNew(const NewOptions& options) {
    const std::string projectFile = fs::absolute(options.Project).lexically_normal().string();
    if (fs::exists(projectFile) && !options.Force)
        throw CliError("\"" + projectFile + "\" already exists; use --force to replace it");

    if (!options.Language.empty() && !IsLanguageCode(options.Language))
        throw CliError("\"" + options.Language +
                       "\" is no language code; give two letters such as en or de");

    TKelProject project;
    project.Layouts().SetLanguage(options.Language.empty() ? LocaleLanguage() : options.Language);
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
