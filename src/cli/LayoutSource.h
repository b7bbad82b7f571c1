// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "model/TKelLayoutList.h"
#include "template/TKelPageDirectoryList.h"

/// The layouts folder as kelvo-cli reads it: the template folders and the layouts built from
/// them. The layouts refer into the folders, so both live together.
class LayoutSource {
public:
    /// Reads folder, or the layouts folder installed with Kelvo when folder is empty. Raises
    /// CliError when it holds no layout.
    explicit LayoutSource(const std::string& folder);

    /// folder as an absolute path ending in a delimiter, or the layouts folder installed with
    /// Kelvo when folder is empty.
    static std::string ResolveFolder(const std::string& folder);

    const std::string& Folder() const { return m_folder; }
    TKelPageDirectoryList& Directories() { return m_directories; }
    TKelLayoutList& Layouts() { return m_layouts; }

    /// "a, b, c": the names of all layouts, for messages.
    std::string Names() const;

private:
    std::string m_folder;
    TKelPageDirectoryList m_directories;
    TKelLayoutList m_layouts;
};
