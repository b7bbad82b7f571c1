// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

/// A fresh folder below the system's temporary folder, removed with its contents when it goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// The folder as a string ending in the path delimiter, as the core's folder paths do.
    std::string dir() const;
    /// Writes a file below the folder, creating its parent folders; returns its full path.
    std::string write(std::string_view relative, std::string_view content) const;

private:
    std::filesystem::path m_path;
};
