// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// File-system helpers of the core library. Paths are native byte strings (UTF-8 on Linux).
namespace kelvo {

/// The whole file, byte for byte. Raises EFileError naming the file when it cannot be read or
/// is not a regular file.
std::string ReadFileBytes(const std::string& path);
/// Hands the file to consume in blocks, in order, without holding all of it. Raises as
/// ReadFileBytes, or what consume raises.
void ReadFileBlocks(const std::string& path,
                    const std::function<void(std::string_view block)>& consume);

/// A descriptor of path opened for reading, which the caller closes. Raises EFileError naming
/// the file when it cannot be opened or is not a regular file: a folder, or a named pipe, which
/// would otherwise block the open until some other program writes to it.
int OpenRegularFile(const std::string& path);

/// The entries of a folder whose names do not begin with '.', sorted by name without regard to
/// letter case (ties by exact bytes), so that results never depend on the file system's order.
/// A folder that cannot be listed yields what could be read (usually nothing).
std::vector<std::filesystem::directory_entry> ListDirectory(const std::filesystem::path& dir);

/// path with one trailing path delimiter.
std::string IncludeTrailingDelimiter(std::string path);

/// The part of path after its last path delimiter.
std::string ExtractFileName(const std::string& path);
/// The part of path up to and including its last path delimiter (empty without one).
std::string ExtractFilePath(const std::string& path);

/// The path of target relative to the folder fromDir (both absolute or both relative to the
/// same place, fromDir ending in a delimiter): "pics/a.jpg", "../index.html". Components are
/// compared exactly, as the file system does here.
std::string RelativePath(const std::string& fromDir, const std::string& target);

/// True if directory can only lead into the folder it is taken relative to: empty, or a
/// relative path (with '/' or '\\' as separators) without a ".." component, a leading
/// separator or a drive ("C:").
bool IsSafeSubFolder(std::string_view directory);

/// True if path, taken lexically ("a/../b" is "b"), lies inside folder or is folder itself.
/// Symbolic links are not followed: what is checked is the name written.
bool IsInsideFolder(const std::string& path, const std::string& folder);

/// Writes data into fileName, replacing an existing file only once the new one is complete: a
/// new file is written beside it (keeping the old file's permissions, through a symbolic link
/// to the file it names) and renamed over it, so fileName always holds either the old or the
/// whole new content. With flushToDisk the new file and the rename are also flushed to disk
/// before returning, for documents the user saves. With ownerOnly the file is readable and
/// writable by its owner alone, whatever the old one allowed (private caches). Raises
/// EFileError and leaves no temporary file behind.
void WriteFileBytes(const std::string& fileName, std::string_view data, bool flushToDisk = false,
                    bool ownerOnly = false);

/// A fresh name beside target under which a new version of it is written before it is renamed
/// over target: "." + target's name + "." + 8 random letters or digits + ".tmp" (the name
/// WriteFileBytes uses), followed by keepExtension. Nothing is created.
std::string TemporaryFileName(const std::string& target, std::string_view keepExtension = {});
/// True if name (a file name without folder) is one that TemporaryFileName makes for a file
/// named targetName, with or without the kept extension: what an interrupted write leaves.
bool IsTemporaryFileNameOf(std::string_view name, std::string_view targetName);

} // namespace kelvo
