// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include "template/TKelPageFile.h"

/// The template pages of one layout folder, in the order met; owns them.
class TKelPageFileList {
public:
    void Clear() { m_items.clear(); }
    TKelPageFile* Add(std::unique_ptr<TKelPageFile> pageFile);
    int Count() const { return static_cast<int>(m_items.size()); }
    /// The page at a 0-based index, or nullptr for an index out of range.
    TKelPageFile* Items(int index) const;

private:
    std::vector<std::unique_ptr<TKelPageFile>> m_items;
};
