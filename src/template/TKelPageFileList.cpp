// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelPageFileList.h"

TKelPageFile* TKelPageFileList::Add(std::unique_ptr<TKelPageFile> pageFile) {
    m_items.push_back(std::move(pageFile));
    return m_items.back().get();
}

TKelPageFile* TKelPageFileList::Items(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)].get();
}
