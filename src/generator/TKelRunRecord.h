// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

/// The record a gallery run keeps in its output folder, in the hidden XML file
/// ".kelvo-record.xml": which files and folders of the folder are Kelvo's, and for each file
/// what it was made from and what was written, so that the next run can keep what is still
/// current and remove what it no longer makes. Owned by the run that reads and rewrites it.
///
/// An entry describes exactly one file: its size, modification time and inode as written.
/// Kelvo replaces a file by renaming a new one over it, which always gives it a new inode, so
/// an entry never passes for a file written after it, whether by Kelvo or anyone else. An
/// entry with an empty Key only says that the file is Kelvo's; its content is unknown.
class TKelRunRecord {
public:
    /// What identifies a file as written: any change to it changes one of these.
    struct TIdentity {
        std::uint64_t Size = 0;
        /// Modification time in nanoseconds since the epoch.
        std::int64_t Time = 0;
        std::uint64_t Inode = 0;
        bool operator==(const TIdentity&) const = default;
    };

    /// The source picture a gallery picture was made from.
    struct TSource {
        /// The hash of its absolute path: the record may go onto a web server with the gallery,
        /// and should not tell where the user keeps photos.
        std::uint64_t PathHash = 0;
        std::uint64_t Size = 0;
        std::int64_t Time = 0;
        /// XXH3 of the file's bytes.
        std::uint64_t Hash = 0;
    };

    struct TEntry {
        /// A picture, else a page or a copied layout file.
        bool Picture = false;
        /// What decides the file's bytes: the hash of a page or a copied file; frame, quality,
        /// mode and version of a picture. Empty: owned, content unknown.
        std::string Key;
        TIdentity Written;
        /// Pictures only.
        TSource Source;
    };

    /// The name of the record in the output folder.
    static constexpr const char* FileName = ".kelvo-record.xml";

    /// The output folder the record belongs to: absolute, ending in a path delimiter.
    std::string Folder;
    /// By path relative to Folder ('/' between folders).
    std::map<std::string, TEntry> Files;
    /// Folders Kelvo created, relative to Folder, each ending in '/'.
    std::set<std::string> Folders;

    /// Reads the record in folder (absolute, ending in a delimiter). False, and the record left
    /// empty, when there is none, when it cannot be read, is damaged, names a path that leads
    /// out of the folder, or was written for another folder (one copied or moved, say).
    bool Load(const std::string& folder);
    /// The record as its file holds it.
    std::string Text() const;

    /// The identity of the file at path now, or none when there is no regular file there.
    static std::optional<TIdentity> Identify(const std::string& path);
    /// True for a relative path that stays inside the folder and is not the record itself.
    static bool IsSafeEntry(const std::string& relative);
};
