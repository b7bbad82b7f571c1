// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "model/TKelLayerList.h"

namespace pugi {
class xml_node;
}
class TKelLayoutList;
class TKelPageDirectory;

/// One gallery template: a folder below the layouts folder, with one layer per template page.
/// Owned by a TKelLayoutList, to which it passes its layers' changes on.
///
/// A layout read from the template folders refers to its TKelPageDirectory and is usable by the
/// generators; one read from a project file has no directory and is only a record of settings
/// by name.
class TKelLayout {
public:
    explicit TKelLayout(TKelLayoutList* owner = nullptr);
    virtual ~TKelLayout() = default;
    TKelLayout(const TKelLayout&) = delete;
    TKelLayout& operator=(const TKelLayout&) = delete;

    TKelLayoutList* Owner() const { return m_owner; }
    /// The layout folder as read (not owned; it belongs to the TKelPageDirectoryList that was
    /// read, which must outlive the layout), or nullptr.
    TKelPageDirectory* Directory() const { return m_directory; }
    /// The folder name.
    const std::string& Name() const { return m_name; }
    TKelLayerList& Layers() { return m_layers; }
    const TKelLayerList& Layers() const { return m_layers; }

    /// Refers to directory, takes its folder name and makes one layer per template page.
    /// Returns false if a page could not become a layer.
    bool LoadFromDirectory(TKelPageDirectory* directory);
    /// Layers.AssignSettings(other.Layers()).
    void AssignSettings(const TKelLayout& other);

    /// Reads a "layout" element: the "name" attribute (default "unknown") and the layers of its
    /// required "layers" child. Returns false, without raising, on failure.
    virtual bool LoadFromXml(pugi::xml_node node);
    /// Writes the "name" attribute and a "layers" child. Returns false, without raising, on
    /// failure.
    virtual bool SaveToXml(pugi::xml_node node) const;

    /// Passes a layer's change on to the layout list.
    void Changed(const std::string& reason);

private:
    friend class TKelLayoutList; // moves layouts between lists

    TKelLayoutList* m_owner;
    TKelPageDirectory* m_directory = nullptr;
    std::string m_name;
    TKelLayerList m_layers{this};
};
