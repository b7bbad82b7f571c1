// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelLayout.h"

#include <exception>

#include <pugixml.hpp>

#include "base/KelErrors.h"
#include "model/SXmlHelpers.h"
#include "model/TKelLayoutList.h"
#include "template/TKelPageDirectory.h"

TKelLayout::TKelLayout(TKelLayoutList* owner)
    : m_owner(owner) {}

bool TKelLayout::LoadFromDirectory(TKelPageDirectory* directory) {
    m_directory = directory;
    if (!directory) {
        m_name.clear();
        m_layers.Clear();
        return false;
    }
    m_name = directory->GetName();
    return m_layers.LoadFromPageFiles(directory->PageFiles);
}

void TKelLayout::AssignSettings(const TKelLayout& other) {
    m_layers.AssignSettings(other.m_layers);
}

bool TKelLayout::LoadFromXml(pugi::xml_node node) {
    try {
        m_directory = nullptr;
        m_name = ReadString(node, "name", "unknown");
        const pugi::xml_node layers = node.child("layers");
        if (!layers)
            throw EXmlError("Layout \"" + m_name + "\" has no layers element");
        return m_layers.LoadFromXml(layers);
    } catch (const std::exception&) {
        return false;
    }
}

bool TKelLayout::SaveToXml(pugi::xml_node node) const {
    try {
        WriteString(node, "name", m_name);
        return m_layers.SaveToXml(node.append_child("layers"));
    } catch (const std::exception&) {
        return false;
    }
}

void TKelLayout::Changed(const std::string& reason) {
    if (m_owner)
        m_owner->Changed(reason);
}
