// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "template/TKelPageFileList.h"
#include "template/TKelWords.h"

/// One layout folder as read from disk: its template pages, the other files that are copied
/// into a gallery unchanged, and its folder tree. Owned by a TKelPageDirectoryList; layouts and
/// layers built from it refer into it.
///
/// Entries whose names begin with '.' are ignored; every folder is listed sorted by name
/// without regard to letter case, so the lists are in a fixed pre-order.
class TKelPageDirectory {
public:
    /// The folder as given to Load, ending in a path delimiter.
    std::string Path;
    TKelPageFileList PageFiles;
    /// Full paths of all other files of the folder and its sub-folders.
    std::vector<std::string> OtherFiles;
    /// Full paths, each ending in a path delimiter, of the folder and every sub-folder.
    std::vector<std::string> Directories;
    /// The words of the layout's words file (TKelWords::FileName in the folder itself, in any
    /// letter case), which is in none of the lists above; empty without one or when it cannot
    /// be read.
    TKelWords Words;

    /// Stores path and scans the folder if it exists; a missing folder leaves the lists empty.
    /// A template file that cannot be read raises EFileError and ends the scan.
    void Load(const std::string& path);

    /// fileName relative to Path ("images/logo.gif"); just the file name for a file outside it.
    std::string RelativePath(const std::string& fileName) const;

    /// The folder's own name, used as the layout name.
    std::string GetName() const;

    /// True for an .htm, .html, .shtm or .shtml file (in any letter case) holding `#kel`.
    static bool IsTemplateFile(const std::string& fileName);

private:
    void Scan(const std::string& dir, std::set<std::filesystem::path>& visited);
    void LoadWords(const std::string& fileName);
};
