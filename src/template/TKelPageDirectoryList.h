// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "template/TKelPageDirectory.h"

/// The layout folders below the layouts folder, one TKelPageDirectory each; owns them. Whoever
/// reads the folders keeps this list alive while layouts built from it are in use.
class TKelPageDirectoryList {
public:
    void Clear() { m_items.clear(); }
    TKelPageDirectory* Add(std::unique_ptr<TKelPageDirectory> directory);
    int Count() const { return static_cast<int>(m_items.size()); }
    /// The directory at a 0-based index, or nullptr for an index out of range.
    TKelPageDirectory* Items(int index) const;

    /// Adds and loads one directory per sub-folder of root whose name does not begin with '.',
    /// sorted by name without regard to letter case. Files in root are ignored; the list is not
    /// cleared first.
    void Load(const std::string& root);

private:
    std::vector<std::unique_ptr<TKelPageDirectory>> m_items;
};
