// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelPictureList.h"

#include <algorithm>
#include <exception>

#include <pugixml.hpp>

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
