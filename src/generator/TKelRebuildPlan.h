// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "generator/TKelGenerationFailure.h"
#include "generator/TKelPictureOutput.h"
#include "generator/TKelRunRecord.h"

/// What one gallery run rewrites, keeps and removes in its output folder, decided from the
/// record of the run before (TKelRunRecord). Created by TKelGalleryRun for one run: Begin, then
/// the generators ask for each file, then Finish. Keep, Written and Decide may be called from
/// several threads at once.
///
/// A file is kept when its record entry has the same key, the file still has the identity it
/// was written with, and, for a picture, the source is the same file with the same bytes (its
/// size and time as recorded, or the same size and hash). Everything else is written. Without
/// a valid record, or when forced, every file is written; without one, nothing is removed.
///
/// Interrupted runs. Begin writes, before any file changes, a record that keeps every entry of
/// the old record and adds, with no key, every file this run may make and every folder it will
/// create: whatever a killed run leaves is listed as Kelvo's, but nothing new is taken as
/// current. The old entries stay true while files are replaced, since a replaced file has a
/// new inode. The next run therefore keeps only what is current, rewrites the rest, removes
/// what it no longer makes, and removes the temporary files of writes that were cut short
/// beside the files it owns. Finish writes the record of what is there. The record is only
/// written when its text changes, so a run that changes nothing writes no file at all.
class TKelRebuildPlan {
public:
    /// Files written, kept and removed, by kind.
    struct TCounts {
        int PicturesWritten = 0;
        int PicturesKept = 0;
        int PicturesRemoved = 0;
        /// Pages and copied layout files.
        int PagesWritten = 0;
        int PagesKept = 0;
        int PagesRemoved = 0;
    };

    /// The source of a picture as this run found it.
    struct TSourceState {
        TKelRunRecord::TSource Source;
        /// False when the source could not be read: what is written from it is not kept.
        bool Known = false;
    };

    /// Reads the record of outDir (absolute, ending in a delimiter). With force every file is
    /// written, but files no longer made are still removed.
    TKelRebuildPlan(const std::string& outDir, bool force);

    /// Whether a valid record of an earlier run was found.
    bool HasRecord() const { return m_hasRecord; }

    /// Takes the full paths of every file the run makes (pictures flagged) and of the folders
    /// it creates, removes what an interrupted run left, and writes the incomplete record.
    void Begin(const std::vector<std::pair<std::string, bool>>& files,
               const std::vector<std::string>& folders);

    /// True, and counted as kept, when the page or copied file at fileName whose bytes hash to
    /// hash need not be written.
    bool Keep(const std::string& fileName, std::uint64_t hash);
    /// Records that the page or copied file at fileName was written with bytes of hash.
    void Written(const std::string& fileName, std::uint64_t hash);

    /// Sets Write of each output of the picture source, and records those kept. With together,
    /// the bytes of each output depend on which others are made with it (a reduced-scale decode
    /// picks its scale for the largest), so either all are kept or all written.
    TSourceState Decide(const std::string& source, std::vector<TKelPictureOutput>& outputs,
                        bool together);
    /// Records that output was written from source.
    void Written(const TKelPictureOutput& output, const TSourceState& source);

    /// Ends the run: when done (not cancelled), removes the files of the old record that this
    /// run did not make and the folders Kelvo created that are now empty; then writes the
    /// record. A failure to remove or write is added to Failures.
    void Finish(bool done);

    TCounts Counts;
    std::vector<TKelGenerationFailure> Failures;

private:
    std::string Relative(const std::string& fileName) const;
    /// The old entry of relative when it still describes the file there with key.
    const TKelRunRecord::TEntry* Current(const std::string& relative, const std::string& key) const;
    void RemoveTemporaryFiles() const;
    void RemoveOrphans(TKelRunRecord& record);
    void SaveRecord(const TKelRunRecord& record);

    std::string m_outDir;
    bool m_force;
    bool m_hasRecord;
    TKelRunRecord m_old;
    /// The record's text in its file, as far as this run knows.
    std::string m_written;
    /// The relative paths of the files this run makes, and the folders it needs.
    std::set<std::string> m_made;
    std::set<std::string> m_usedFolders;
    std::set<std::string> m_createdFolders;

    std::mutex m_mutex;
    /// Entries of the files written or kept so far.
    std::map<std::string, TKelRunRecord::TEntry> m_done;
};
