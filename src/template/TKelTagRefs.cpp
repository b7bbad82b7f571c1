// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelTagRefs.h"

#include <algorithm>

#include "base/KelText.h"
#include "template/TKelTag.h"

TKelTag* TKelTagRefs::Items(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)];
}

void TKelTagRefs::Assign(const TKelTagRefs& other) {
    if (&other == this)
        return;
    Clear();
    m_items = other.m_items;
}

void TKelTagRefs::Append(const TKelTagRefs& other) {
    // Copy first: other may be this list.
    const std::vector<TKelTag*> items = other.m_items;
    m_items.insert(m_items.end(), items.begin(), items.end());
}

TKelTag* TKelTagRefs::FindTag(std::string_view name) const {
    const std::string wanted = kelvo::LowerAZ(name);
    const auto it = std::find_if(m_items.begin(), m_items.end(),
                                 [&](const TKelTag* t) { return t->Name == wanted; });
    return it == m_items.end() ? nullptr : *it;
}

bool TKelTagRefs::ContainsContentTag() const {
    return std::any_of(m_items.begin(), m_items.end(),
                       [](const TKelTag* t) { return t->IsContentTag(); });
}

bool TKelTagRefs::ContainsPictureTag() const {
    return std::any_of(m_items.begin(), m_items.end(),
                       [](const TKelTag* t) { return t->IsPictureTag(); });
}
