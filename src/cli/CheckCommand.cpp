// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// kelvo-cli check: the mistakes in layouts, listed the way a compiler lists them, so that an
// editor can jump to each.

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "LayoutSource.h"
#include "base/FileUtils.h"
#include "base/KelText.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelTemplateCheck.h"

namespace fs = std::filesystem;

namespace {

/// A layout folder to check and how its files are named in the output.
struct TLayoutToCheck {
    std::string Folder;
    std::string Shown;
};

std::string Plural(std::size_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The folders below the layouts folder whose names do not begin with '.', each shown by its name.
std::vector<TLayoutToCheck> AllLayouts(const std::string& folder) {
    std::vector<TLayoutToCheck> layouts;
    for (const auto& entry : kelvo::ListDirectory(folder)) {
        std::error_code ec;
        if (entry.is_directory(ec)) {
            const std::string name = entry.path().filename().string();
            layouts.push_back({folder + name + kelvo::PathDelim, name + kelvo::PathDelim});
        }
    }
    return layouts;
}

// A name of a layout in the layouts folder (in any letter case), else a path to a layout folder.
// Empty Folder when it is neither.
TLayoutToCheck FindLayout(const std::vector<TLayoutToCheck>& all, const std::string& argument) {
    const bool path =
        argument.find(kelvo::PathDelim) != std::string::npos || argument == "." || argument == "..";
    if (!path) {
        for (const TLayoutToCheck& layout : all) {
            if (kelvo::SameTextAZ(layout.Shown, argument + kelvo::PathDelim))
                return layout;
        }
    }
    std::error_code ec;
    if (!fs::is_directory(argument, ec))
        return {};
    return {kelvo::IncludeTrailingDelimiter(fs::absolute(argument).lexically_normal().string()),
            kelvo::IncludeTrailingDelimiter(argument)};
}

// Prints the layout's findings; returns how many there are. A template page that cannot be read
// counts as one.
std::size_t CheckLayout(const TLayoutToCheck& layout) {
    try {
        TKelPageDirectory directory;
        directory.Load(layout.Folder);
        const std::vector<TKelTemplateFinding> findings = TKelTemplateCheck::Check(directory);
        for (const TKelTemplateFinding& finding : findings) {
            std::cout << layout.Shown << finding.File << ':' << finding.Line << ':'
                      << finding.Column << ": " << finding.Text() << '\n';
        }
        return findings.size();
    } catch (const std::exception& e) {
        std::cout << layout.Shown << ": " << e.what() << '\n';
        return 1;
    }
}

} // namespace

ExitStatus RunCheck(const CheckOptions& options) {
    const std::string folder = LayoutSource::ResolveFolder(options.Layouts);
    const std::vector<TLayoutToCheck> all = AllLayouts(folder);
    std::vector<TLayoutToCheck> layouts;
    if (options.Names.empty()) {
        if (all.empty())
            throw CliError("no layouts in \"" + folder + "\"");
        layouts = all;
    }
    for (const std::string& name : options.Names) {
        layouts.push_back(FindLayout(all, name));
        if (layouts.back().Folder.empty()) {
            std::cerr << "kelvo-cli: no layout \"" << name << "\" in \"" << folder
                      << "\" and no layout folder of that path\n";
            return ExitStatus::Usage;
        }
    }

    std::size_t problems = 0;
    std::size_t faulty = 0;
    for (const TLayoutToCheck& layout : layouts) {
        const std::size_t found = CheckLayout(layout);
        problems += found;
        faulty += found > 0 ? 1 : 0;
    }
    if (problems == 0)
        std::cout << "No problems found in " << Plural(layouts.size(), "layout") << ".\n";
    else
        std::cout << Plural(problems, "problem") << " found in " << faulty << " of "
                  << Plural(layouts.size(), "layout") << ".\n";
    return problems == 0 ? ExitStatus::Success : ExitStatus::Failure;
}
