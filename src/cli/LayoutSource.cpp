// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "LayoutSource.h"

#include <filesystem>
#include <iostream>

#include "CliError.h"
#include "base/FileUtils.h"
#include "model/TSettings.h"

std::string LayoutSource::ResolveFolder(const std::string& folder) {
    return kelvo::IncludeTrailingDelimiter(
        folder.empty() ? TSettings::DefaultLayoutsDirectory()
                       : std::filesystem::absolute(folder).lexically_normal().string());
}

LayoutSource::LayoutSource(const std::string& folder)
    : m_folder(ResolveFolder(folder)) {
    m_directories.Load(m_folder);
    if (m_directories.Count() == 0)
        throw CliError("no layouts in \"" + m_folder + "\"");
    if (!m_layouts.LoadFromDirectories(m_directories))
        std::cerr << "kelvo-cli: warning: some template pages in \"" << m_folder
                  << "\" have invalid def_ settings and were left out\n";
}

std::string LayoutSource::Names() const {
    std::string names;
    for (const TKelLayout* layout : m_layouts)
        names += (names.empty() ? "" : ", ") + layout->Name();
    return names;
}
