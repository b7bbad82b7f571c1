// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelLayerList.h"

#include <algorithm>
#include <exception>

#include <pugixml.hpp>

#include "base/KelText.h"
#include "model/TKelLayout.h"
#include "template/TKelPageFileList.h"

TKelLayerList::TKelLayerList(TKelLayout* owner)
    : m_owner(owner) {}

TKelLayerList::~TKelLayerList() = default;

TKelLayer* TKelLayerList::GetLayer(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)];
}

TKelLayer* TKelLayerList::FindLayer(std::string_view name) const {
    for (TKelLayer* layer : m_items) {
        if (kelvo::SameTextAZ(layer->Name(), name))
            return layer;
    }
    return nullptr;
}

TKelLayer* TKelLayerList::CreateLayer() {
    TKelLayer* layer = m_owned.emplace_back(std::make_unique<TKelLayer>(this)).get();
    m_items.push_back(layer);
    return layer;
}

void TKelLayerList::Clear() {
    m_items.clear();
    m_owned.clear();
}

void TKelLayerList::SortByName() {
    std::stable_sort(m_items.begin(), m_items.end(), [](const TKelLayer* a, const TKelLayer* b) {
        return kelvo::CompareTextAZ(a->Name(), b->Name()) < 0;
    });
}

bool TKelLayerList::LoadFromPageFiles(const TKelPageFileList& pageFiles) {
    Clear();
    bool result = true;
    for (int i = 0; i < pageFiles.Count(); ++i) {
        auto layer = std::make_unique<TKelLayer>(this);
        try {
            layer->LoadFromPageFile(pageFiles.Items(i));
        } catch (const std::exception&) {
            // A template whose defaults are not numbers cannot become a layer; the layout's
            // other pages still can.
            result = false;
            continue;
        }
        m_items.push_back(layer.get());
        m_owned.push_back(std::move(layer));
    }
    SortByName();
    return result;
}

void TKelLayerList::AssignSettings(const TKelLayerList& other) {
    for (TKelLayer* layer : m_items) {
        if (const TKelLayer* source = other.FindLayer(layer->Name()))
            layer->AssignSettings(*source);
    }
}

bool TKelLayerList::LoadFromXml(pugi::xml_node node) {
    try {
        if (node.type() != pugi::node_element)
            return false;
        bool result = true;
        for (const pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            TKelLayer* layer = CreateLayer();
            if (result)
                result = layer->LoadFromXml(child);
        }
        if (result)
            SortByName();
        return result;
    } catch (const std::exception&) {
        return false;
    }
}

bool TKelLayerList::SaveToXml(pugi::xml_node node) const {
    try {
        bool result = true;
        for (const TKelLayer* layer : m_items) {
            if (!layer->SaveToXml(node.append_child("layer")))
                result = false;
        }
        return result;
    } catch (const std::exception&) {
        return false;
    }
}

void TKelLayerList::Changed(const std::string& reason) {
    if (m_owner)
        m_owner->Changed(reason);
}
