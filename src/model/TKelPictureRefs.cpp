// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelPictureRefs.h"

#include <algorithm>
#include <exception>

#include <pugixml.hpp>

#include "base/KelErrors.h"
#include "base/KelText.h"
#include "model/THistory.h"
#include "model/TKelPicture.h"

void TKelPictureRefs::Changed(const std::string& reason) {
    if (m_history)
        m_history->Add(reason);
}

TKelPicture* TKelPictureRefs::GetPicture(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)];
}

int TKelPictureRefs::IndexOf(const TKelPicture* picture) const {
    const auto it = std::find(m_items.begin(), m_items.end(), picture);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

int TKelPictureRefs::Add(TKelPicture* picture) {
    const int index = IndexOf(picture);
    if (index >= 0)
        return index;
    m_items.push_back(picture);
    return Count() - 1;
}

void TKelPictureRefs::Clear() {
    m_items.clear();
}

void TKelPictureRefs::Assign(const TKelPictureRefs& source, bool onlySelected, bool onlyChecked) {
    // Copy first: source may be this list.
    const std::vector<TKelPicture*> pictures = source.m_items;
    m_items.clear();
    for (TKelPicture* picture : pictures) {
        if ((onlySelected && !picture->Selected()) || (onlyChecked && !picture->Checked()))
            continue;
        m_items.push_back(picture);
    }
}

int TKelPictureRefs::RemovePicture(TKelPicture* picture) {
    const int index = IndexOf(picture);
    if (index < 0)
        return -1;
    m_items.erase(m_items.begin() + index);
    Changed("RemovePicture");
    return index;
}

void TKelPictureRefs::MovePicture(int curIndex, int newIndex) {
    if (curIndex < 0 || curIndex >= Count() || newIndex < 0 || newIndex >= Count())
        throw EListError("TKelPictureRefs.MovePicture: index out of range");
    if (curIndex == newIndex)
        return;
    const auto cur = m_items.begin() + curIndex;
    const auto dest = m_items.begin() + newIndex;
    if (curIndex < newIndex)
        std::rotate(cur, cur + 1, dest + 1);
    else
        std::rotate(dest, cur, cur + 1);
    Changed("MovePicture");
}

void TKelPictureRefs::SetOrder(const std::vector<TKelPicture*>& order) {
    if (!std::is_permutation(order.begin(), order.end(), m_items.begin(), m_items.end()))
        throw EListError("TKelPictureRefs.SetOrder: not the list's pictures");
    m_items = order;
    Changed("SetOrder");
}

void TKelPictureRefs::UncheckMissing() {
    for (TKelPicture* picture : m_items) {
        if (!picture->Exists())
            picture->SetChecked(false);
    }
}

template <typename Less>
void TKelPictureRefs::Order(Less less, const char* reason) {
    // Stable, so that pictures with equal keys keep the order the user gave them.
    std::stable_sort(m_items.begin(), m_items.end(), less);
    Changed(reason);
}

void TKelPictureRefs::OrderByTitle() {
    Order([](const TKelPicture* a,
             const TKelPicture* b) { return kelvo::CompareTextAZ(a->Title(), b->Title()) < 0; },
          "OrderByTitle");
}

void TKelPictureRefs::OrderByDate() {
    Order([](const TKelPicture* a, const TKelPicture* b) { return a->Date() < b->Date(); },
          "OrderByDate");
}

void TKelPictureRefs::OrderByFileName() {
    Order(
        [](const TKelPicture* a, const TKelPicture* b) {
            return kelvo::CompareTextAZ(a->FileName(), b->FileName()) < 0;
        },
        "OrderByFileName");
}

void TKelPictureRefs::OrderByComment() {
    Order([](const TKelPicture* a,
             const TKelPicture* b) { return kelvo::CompareTextAZ(a->Comment(), b->Comment()) < 0; },
          "OrderByComment");
}

int TKelPictureRefs::SelectedCount() const {
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(),
                                          [](const TKelPicture* p) { return p->Selected(); }));
}

bool TKelPictureRefs::SaveToXml(pugi::xml_node node) const {
    try {
        for (const TKelPicture* picture : m_items) {
            if (!picture->SaveToXml(node.append_child("picture_info")))
                return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
