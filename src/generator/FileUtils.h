// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

/// File-system helpers of the core library. Paths are native byte strings (UTF-8 on Linux).
namespace kelvo {

/// The whole file, byte for byte. Raises EFileError naming the file when it cannot be read.
std::string ReadFileBytes(const std::string& path);

/// The entries of a folder whose names do not begin with '.', sorted by name without regard to
/// letter case (ties by exact bytes), so that results never depend on the file system's order.
/// A folder that cannot be listed yields what could be read (usually nothing).
std::vector<std::filesystem::directory_entry> ListDirectory(const std::filesystem::path& dir);

/// path with one trailing path delimiter.
std::string IncludeTrailingDelimiter(std::string path);

} // namespace kelvo
