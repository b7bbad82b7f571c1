// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelLayoutList.h"

#include <exception>

#include <pugixml.hpp>

#include "base/KelText.h"
#include "model/SXmlHelpers.h"
#include "template/TKelPageDirectoryList.h"

namespace {

std::string LanguageCode(const std::string& value) {
    return value.empty() ? TKelLayoutList::DefaultLanguage : kelvo::LowerAZ(value);
}

} // namespace

TKelLayoutList::~TKelLayoutList() = default;

TKelLayout* TKelLayoutList::GetLayout(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)];
}

TKelLayout* TKelLayoutList::FindLayout(std::string_view name) const {
    for (TKelLayout* layout : m_items) {
        if (kelvo::SameTextAZ(layout->Name(), name))
            return layout;
    }
    return nullptr;
}

TKelLayout* TKelLayoutList::GetActiveLayout() const {
    if (!m_activeLayout.empty()) {
        if (TKelLayout* layout = FindLayout(m_activeLayout))
            return layout;
    }
    if (TKelLayout* layout = FindLayout("standard"))
        return layout;
    return GetLayout(0);
}

void TKelLayoutList::SetLanguage(const std::string& value) {
    const std::string language = LanguageCode(value);
    if (language == m_language)
        return;
    m_language = language;
    Changed("SetLanguage");
}

TKelLayout* TKelLayoutList::CreateLayout() {
    TKelLayout* layout = m_owned.emplace_back(std::make_unique<TKelLayout>(this)).get();
    m_items.push_back(layout);
    return layout;
}

void TKelLayoutList::Clear() {
    m_items.clear();
    m_owned.clear();
    m_activeLayout.clear();
    m_language = DefaultLanguage;
}

bool TKelLayoutList::LoadFromDirectories(const TKelPageDirectoryList& directories) {
    m_items.clear();
    m_owned.clear();
    bool result = true;
    // Each layout is read on its own: a broken template page in one leaves the others whole.
    for (int i = 0; i < directories.Count(); ++i) {
        if (!CreateLayout()->LoadFromDirectory(directories.Items(i)))
            result = false;
    }
    return result;
}

void TKelLayoutList::AssignSettings(const TKelLayoutList& other) {
    m_activeLayout = other.m_activeLayout;
    m_language = other.m_language;
    for (TKelLayout* layout : m_items) {
        if (const TKelLayout* source = other.FindLayout(layout->Name()))
            layout->AssignSettings(*source);
    }
}

bool TKelLayoutList::LoadFromXml(pugi::xml_node node) {
    try {
        m_activeLayout = ReadString(node, "active_layout", "");
        m_language = LanguageCode(ReadString(node, "language", DefaultLanguage));
        bool result = true;
        for (const pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            TKelLayout* layout = CreateLayout();
            if (result)
                result = layout->LoadFromXml(child);
        }
        return result;
    } catch (const std::exception&) {
        return false;
    }
}

bool TKelLayoutList::SaveToXml(pugi::xml_node node) const {
    try {
        WriteString(node, "active_layout", m_activeLayout);
        if (m_language != DefaultLanguage)
            WriteString(node, "language", m_language);
        bool result = true;
        for (const TKelLayout* layout : m_items) {
            if (!layout->SaveToXml(node.append_child("layout")))
                result = false;
        }
        return result;
    } catch (const std::exception&) {
        return false;
    }
}

void TKelLayoutList::Changed(const std::string& reason) {
    m_history.Add(reason);
}

void TKelLayoutList::Swap(TKelLayoutList& other) noexcept {
    m_items.swap(other.m_items);
    m_owned.swap(other.m_owned);
    m_activeLayout.swap(other.m_activeLayout);
    m_language.swap(other.m_language);
    for (TKelLayout* layout : m_items)
        layout->m_owner = this;
    for (TKelLayout* layout : other.m_items)
        layout->m_owner = &other;
}
