// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

/// The change log of the project model: one reason text per change the user made since the
/// project was last opened or saved ("SetTitle", "MovePicture"). It has no undo; a project is
/// modified while its history holds any entry. A project owns one, its picture list refers to
/// it, and every layout list owns one of its own.
class THistory {
public:
    /// Appends reason as the newest entry; duplicates are kept.
    void Add(const std::string& reason);
    void Clear();
    /// Appends every entry of other, in order, after the own entries; other is unchanged.
    void Append(const THistory& other);
    bool IsModified() const { return !m_items.empty(); }
    /// Oldest first.
    const std::vector<std::string>& Items() const { return m_items; }

private:
    std::vector<std::string> m_items;
};
