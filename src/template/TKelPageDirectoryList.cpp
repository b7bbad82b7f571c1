// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelPageDirectoryList.h"

#include "base/FileUtils.h"
#include "base/KelText.h"

TKelPageDirectory* TKelPageDirectoryList::Add(std::unique_ptr<TKelPageDirectory> directory) {
    m_items.push_back(std::move(directory));
    return m_items.back().get();
}

TKelPageDirectory* TKelPageDirectoryList::Items(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)].get();
}

void TKelPageDirectoryList::Load(const std::string& root) {
    const std::string dir = kelvo::IncludeTrailingDelimiter(root);
    for (const auto& entry : kelvo::ListDirectory(dir)) {
        std::error_code ec;
        if (entry.is_directory(ec))
            Add(std::make_unique<TKelPageDirectory>())
                ->Load(dir + entry.path().filename().string() + kelvo::PathDelim);
    }
}
