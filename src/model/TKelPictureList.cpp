// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelPictureList.h"

#include <algorithm>
#include <exception>

#include <pugixml.hpp>

#include "base/KelErrors.h"

TKelPictureList::~TKelPictureList() = default;

TKelPicture* TKelPictureList::CreatePicture() {
    TKelPicture* picture = m_owned.emplace_back(std::make_unique<TKelPicture>(this)).get();
    m_items.push_back(picture);
    Changed("CreatePicture");
    return picture;
}

void TKelPictureList::Clear() {
    m_items.clear();
    m_owned.clear();
}

void TKelPictureList::Assign(const TKelPictureRefs& /*source*/, bool /*onlySelected*/,
                             bool /*onlyChecked*/) {}

int TKelPictureList::RemovePicture(TKelPicture* picture) {
    const int index = TKelPictureRefs::RemovePicture(picture);
    if (index >= 0) {
        std::erase_if(m_owned, [picture](const std::unique_ptr<TKelPicture>& p) {
            return p.get() == picture;
        });
    }
    return index;
}

std::unique_ptr<TKelPicture> TKelPictureList::TakePicture(TKelPicture* picture) {
    const auto owned = std::find_if(m_owned.begin(), m_owned.end(),
                                    [picture](const auto& p) { return p.get() == picture; });
    if (owned == m_owned.end())
        return nullptr;
    std::unique_ptr<TKelPicture> taken = std::move(*owned);
    m_owned.erase(owned);
    std::erase(m_items, picture);
    Changed("RemovePicture");
    return taken;
}

void TKelPictureList::InsertPicture(int index, std::unique_ptr<TKelPicture>&& picture) {
    if (index < 0 || index > Count())
        throw EListError("TKelPictureList.InsertPicture: index out of range");
    picture->m_owner = this;
    m_items.insert(m_items.begin() + index, picture.get());
    m_owned.push_back(std::move(picture));
    Changed("InsertPicture");
}

bool TKelPictureList::LoadFromXml(pugi::xml_node node, bool loadThumbnails,
                                  const TPictureLoadedEvent& onPictureLoaded,
                                  const std::string& baseDirectory) {
    try {
        Clear();
        if (node.type() != pugi::node_element)
            return false;
        bool result = true;
        for (const pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            TKelPicture* picture = CreatePicture();
            if (result)
                result = picture->LoadFromXml(child, baseDirectory);
            if (result && loadThumbnails) {
                picture->LoadThumbnail();
                if (onPictureLoaded)
                    onPictureLoaded(*this, *picture);
            }
        }
        return result;
    } catch (const std::exception&) {
        return false;
    }
}

void TKelPictureList::Swap(TKelPictureList& other) noexcept {
    m_items.swap(other.m_items);
    m_owned.swap(other.m_owned);
    for (TKelPicture* picture : m_items)
        picture->m_owner = this;
    for (TKelPicture* picture : other.m_items)
        picture->m_owner = &other;
}
