// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelPageDirectory.h"

#include <array>
#include <exception>
#include <filesystem>
#include <memory>
#include <set>

#include "base/FileUtils.h"
#include "base/KelText.h"

namespace fs = std::filesystem;

void TKelPageDirectory::Load(const std::string& path) {
    Path = path;
    PageFiles.Clear();
    OtherFiles.clear();
    Directories.clear();
    Words = TKelWords();
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        std::set<fs::path> visited;
        Scan(kelvo::IncludeTrailingDelimiter(path), visited);
    }
}

void TKelPageDirectory::Scan(const std::string& dir, std::set<fs::path>& visited) {
    // A folder reached twice through symbolic links would otherwise be scanned without end.
    std::error_code ec;
    if (!visited.insert(fs::canonical(dir, ec)).second)
        return;
    Directories.push_back(dir);
    for (const auto& entry : kelvo::ListDirectory(dir)) {
        const std::string full = dir + entry.path().filename().string();
        if (entry.is_directory(ec)) {
            Scan(full + kelvo::PathDelim, visited);
        } else if (!entry.is_regular_file(ec)) {
            continue; // pipes, sockets and devices are no part of a layout and could block a read
        } else if (dir == Directories.front() &&
                   kelvo::SameTextAZ(entry.path().filename().string(), TKelWords::FileName)) {
            LoadWords(full);
        } else if (IsTemplateFile(full)) {
            PageFiles.Add(std::make_unique<TKelPageFile>())->LoadFromFile(full);
        } else {
            OtherFiles.push_back(full);
        }
    }
}

void TKelPageDirectory::LoadWords(const std::string& fileName) {
    try {
        Words.LoadFromText(kelvo::ReadFileBytes(fileName));
    } catch (const std::exception&) {
        // A layout whose words cannot be read shows the words' keys; its pages still work.
    }
}

std::string TKelPageDirectory::RelativePath(const std::string& fileName) const {
    if (fileName.compare(0, Path.size(), Path) == 0)
        return fileName.substr(Path.size());
    return kelvo::ExtractFileName(fileName);
}

std::string TKelPageDirectory::GetName() const {
    std::string path = Path;
    while (!path.empty() && path.back() == kelvo::PathDelim)
        path.pop_back();
    return fs::path(path).filename().string();
}

bool TKelPageDirectory::IsTemplateFile(const std::string& fileName) {
    static constexpr std::array<std::string_view, 4> extensions = {".htm", ".html", ".shtm",
                                                                   ".shtml"};
    const std::string ext = kelvo::LowerAZ(fs::path(fileName).extension().string());
    bool isPage = false;
    for (const auto e : extensions)
        isPage = isPage || ext == e;
    if (!isPage)
        return false;
    // The marker never spans a line break, so searching the whole text finds what a line-by-line
    // search would.
    return kelvo::LowerAZ(kelvo::ReadFileBytes(fileName)).find("#kel") != std::string::npos;
}
