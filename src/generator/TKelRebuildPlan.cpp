// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelRebuildPlan.h"

#include <filesystem>
#include <map>
#include <optional>

#include "base/FileHash.h"
#include "base/FileUtils.h"

namespace fs = std::filesystem;

namespace {

// "a/b/c.jpg" gives "a/" and "a/b/".
void AddParents(const std::string& relative, std::set<std::string>& folders) {
    for (auto slash = relative.find('/'); slash != std::string::npos;
         slash = relative.find('/', slash + 1))
        folders.insert(relative.substr(0, slash + 1));
}

std::string FolderOf(const std::string& relative) {
    const auto slash = relative.rfind('/');
    return slash == std::string::npos ? std::string() : relative.substr(0, slash + 1);
}

} // namespace

TKelRebuildPlan::TKelRebuildPlan(const std::string& outDir, bool force)
    : m_outDir(outDir)
    , m_force(force) {
    const std::string folder =
        kelvo::IncludeTrailingDelimiter(fs::absolute(outDir).lexically_normal().string());
    m_hasRecord = m_old.Load(folder);
    m_old.Folder = folder;
    if (m_hasRecord)
        m_written = m_old.Text();
}

std::string TKelRebuildPlan::Relative(const std::string& fileName) const {
    if (!fileName.starts_with(m_outDir))
        return {};
    std::string relative = fileName.substr(m_outDir.size());
    return TKelRunRecord::IsSafeEntry(relative) ? relative : std::string();
}

const TKelRunRecord::TEntry* TKelRebuildPlan::Current(const std::string& relative,
                                                      const std::string& key) const {
    if (m_force || !m_hasRecord || relative.empty())
        return nullptr;
    const auto found = m_old.Files.find(relative);
    if (found == m_old.Files.end() || found->second.Key.empty() || found->second.Key != key)
        return nullptr;
    const auto identity = TKelRunRecord::Identify(m_outDir + relative);
    return identity && *identity == found->second.Written ? &found->second : nullptr;
}

void TKelRebuildPlan::Begin(const std::vector<std::pair<std::string, bool>>& files,
                            const std::vector<std::string>& folders) {
    TKelRunRecord record = m_old;
    for (const auto& [file, picture] : files) {
        const std::string relative = Relative(file);
        if (relative.empty())
            continue;
        m_made.insert(relative);
        AddParents(relative, m_usedFolders);
        record.Files.try_emplace(relative, TKelRunRecord::TEntry{picture, {}, {}, {}});
    }
    for (const std::string& folder : folders) {
        const std::string relative = Relative(folder);
        if (!relative.empty())
            AddParents(relative, m_usedFolders);
    }
    std::error_code ec;
    for (const std::string& folder : m_usedFolders)
        if (!fs::exists(m_outDir + folder, ec))
            m_createdFolders.insert(folder);
    record.Folders.insert(m_createdFolders.begin(), m_createdFolders.end());

    RemoveTemporaryFiles();
    fs::create_directories(m_outDir, ec); // a failure shows when the record is written
    SaveRecord(record);
}

// A write cut short leaves a hidden temporary file beside its target; only Kelvo's own targets
// are looked at. Listing the few folders of a gallery costs far less than its pages.
void TKelRebuildPlan::RemoveTemporaryFiles() const {
    std::map<std::string, std::set<std::string>> targets; // folder -> file names
    targets[""].insert(TKelRunRecord::FileName);
    for (const auto& [relative, entry] : m_old.Files)
        targets[FolderOf(relative)].insert(kelvo::ExtractFileName(relative));
    for (const auto& [folder, names] : targets) {
        std::error_code ec;
        for (fs::directory_iterator it(m_outDir + folder, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            const auto tmp = name.rfind(".tmp");
            // "." + target + "." + 8 characters + ".tmp", perhaps followed by an extension.
            if (name.front() != '.' || tmp == std::string::npos || tmp < 10)
                continue;
            const std::string target = name.substr(1, tmp - 10);
            if (names.count(target) && kelvo::IsTemporaryFileNameOf(name, target)) {
                std::error_code removeError;
                fs::remove(it->path(), removeError);
            }
        }
    }
}

bool TKelRebuildPlan::Keep(const std::string& fileName, std::uint64_t hash) {
    const std::string relative = Relative(fileName);
    const TKelRunRecord::TEntry* old = Current(relative, kelvo::HashText(hash));
    if (!old || old->Picture)
        return false;
    const std::lock_guard lock(m_mutex);
    m_done[relative] = *old;
    ++Counts.PagesKept;
    return true;
}

void TKelRebuildPlan::Written(const std::string& fileName, std::uint64_t hash) {
    const std::string relative = Relative(fileName);
    const auto identity = TKelRunRecord::Identify(fileName);
    const std::lock_guard lock(m_mutex);
    ++Counts.PagesWritten;
    if (!relative.empty() && identity)
        m_done[relative] = {false, kelvo::HashText(hash), *identity, {}};
}

TKelRebuildPlan::TSourceState TKelRebuildPlan::Decide(const std::string& source,
                                                      std::vector<TKelPictureOutput>& outputs,
                                                      bool together) {
    TSourceState state;
    state.Source.PathHash = kelvo::HashBytes(source);
    const auto identity = TKelRunRecord::Identify(source);
    if (identity) {
        state.Source.Size = identity->Size;
        state.Source.Time = identity->Time;
    }
    // Hashing reads the whole source: only when its time changed, or for the record of a
    // picture that is written anyway.
    std::optional<std::uint64_t> hash;
    const auto hashSource = [&] {
        if (!hash) {
            try {
                hash = kelvo::HashFile(source);
            } catch (const std::exception&) {
                return false;
            }
        }
        return true;
    };

    // The same source file with the same bytes: its time as recorded (whose hash is then the
    // recorded one), or a new time but the same size and hash.
    const auto sameSource = [&](const TKelRunRecord::TEntry& old) {
        if (!old.Picture || old.Source.PathHash != state.Source.PathHash ||
            old.Source.Size != identity->Size)
            return false;
        if (old.Source.Time != identity->Time)
            return hashSource() && *hash == old.Source.Hash;
        if (!hash)
            hash = old.Source.Hash;
        return true;
    };
    std::vector<std::pair<std::string, const TKelRunRecord::TEntry*>> kept;
    bool writes = false;
    for (TKelPictureOutput& output : outputs) {
        const std::string relative = Relative(output.FileName);
        const TKelRunRecord::TEntry* old = identity ? Current(relative, output.Key) : nullptr;
        output.Write = !old || !sameSource(*old);
        writes = writes || output.Write;
        if (!output.Write)
            kept.emplace_back(relative, old);
    }
    if (together && writes) {
        kept.clear();
        for (TKelPictureOutput& output : outputs)
            output.Write = true;
    }
    if (identity && writes)
        hashSource();
    state.Known = identity && hash;
    state.Source.Hash = hash.value_or(0);

    const std::lock_guard lock(m_mutex);
    for (const auto& [relative, old] : kept) {
        TKelRunRecord::TEntry entry = *old;
        entry.Source = state.Source;
        m_done[relative] = std::move(entry);
        ++Counts.PicturesKept;
    }
    return state;
}

void TKelRebuildPlan::Written(const TKelPictureOutput& output, const TSourceState& source) {
    const std::string relative = Relative(output.FileName);
    const auto identity = TKelRunRecord::Identify(output.FileName);
    const std::lock_guard lock(m_mutex);
    ++Counts.PicturesWritten;
    if (!relative.empty() && identity)
        m_done[relative] = {true, source.Known ? output.Key : std::string(), *identity,
                            source.Source};
}

void TKelRebuildPlan::RemoveOrphans(TKelRunRecord& record) {
    for (const auto& [relative, entry] : m_old.Files) {
        if (m_made.count(relative))
            continue;
        const fs::path path = m_outDir + relative;
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(path, ec);
        if (!fs::is_regular_file(status) && !fs::is_symlink(status))
            continue; // gone, or something else now stands there: not Kelvo's any more
        if (!fs::remove(path, ec) && ec) {
            Failures.push_back({path.string(), "Cannot remove: " + ec.message()});
            record.Files.emplace(relative, entry);
            continue;
        }
        ++(entry.Picture ? Counts.PicturesRemoved : Counts.PagesRemoved);
    }
    // In reverse order a folder comes before the folders that hold it.
    std::set<std::string> folders = m_old.Folders;
    folders.insert(m_createdFolders.begin(), m_createdFolders.end());
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        const fs::path path = m_outDir + *it;
        std::error_code ec;
        if (!fs::is_directory(fs::symlink_status(path, ec)))
            continue;
        if (m_usedFolders.count(*it) || !fs::is_empty(path, ec) || !fs::remove(path, ec))
            record.Folders.insert(*it);
    }
}

void TKelRebuildPlan::Finish(bool done) {
    TKelRunRecord record;
    record.Folder = m_old.Folder;
    {
        const std::lock_guard lock(m_mutex);
        record.Files = m_done;
    }
    // Files not reached stay as the old record knew them; a file the old record did not list
    // is not taken over.
    for (const auto& [relative, entry] : m_old.Files) {
        if ((!m_made.count(relative) && done) || record.Files.count(relative))
            continue;
        std::error_code ec;
        if (fs::exists(fs::symlink_status(m_outDir + relative, ec)))
            record.Files.emplace(relative, entry);
    }
    if (done) {
        RemoveOrphans(record);
    } else {
        std::error_code ec;
        for (const std::set<std::string>* folders : {&m_old.Folders, &m_createdFolders})
            for (const std::string& folder : *folders)
                if (fs::is_directory(m_outDir + folder, ec))
                    record.Folders.insert(folder);
    }
    SaveRecord(record);
}

// A run that changes nothing leaves even the record as it was.
void TKelRebuildPlan::SaveRecord(const TKelRunRecord& record) {
    std::string text = record.Text();
    if (text == m_written)
        return;
    try {
        kelvo::WriteFileBytes(record.Folder + TKelRunRecord::FileName, text);
        m_written = std::move(text);
    } catch (const std::exception& e) {
        Failures.push_back({record.Folder + TKelRunRecord::FileName, e.what()});
    }
}
