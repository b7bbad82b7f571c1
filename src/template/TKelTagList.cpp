// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelTagList.h"

#include "base/KelErrors.h"

TKelTag* TKelTagList::Add(std::unique_ptr<TKelTag> tag) {
    TKelTag* raw = tag.get();
    m_owned.push_back(std::move(tag));
    m_items.push_back(raw);
    return raw;
}

void TKelTagList::Clear() {
    m_items.clear();
    m_owned.clear();
}

void TKelTagList::Assign(const TKelTagRefs&) {
    throw EListError("TKelTagList.Assign");
}

void TKelTagList::Append(const TKelTagRefs&) {
    throw EListError("TKelTagList.Append");
}
