// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/TKelLayer.h"

namespace pugi {
class xml_node;
}
class TKelLayout;
class TKelPageFileList;

/// The layers of one layout, sorted by name without regard to letter case; owns them. Owned
/// by its TKelLayout, to which it passes the layers' changes on.
class TKelLayerList {
public:
    explicit TKelLayerList(TKelLayout* owner = nullptr);
    virtual ~TKelLayerList();
    TKelLayerList(const TKelLayerList&) = delete;
    TKelLayerList& operator=(const TKelLayerList&) = delete;

    TKelLayout* Owner() const { return m_owner; }

    int Count() const { return static_cast<int>(m_items.size()); }
    /// The layer at a 0-based index, or nullptr for an index out of range.
    TKelLayer* GetLayer(int index) const;
    /// The first layer whose name equals name without regard to letter case, or nullptr.
    TKelLayer* FindLayer(std::string_view name) const;
    /// A new layer owned by this list, appended. Records nothing.
    TKelLayer* CreateLayer();
    void Clear();

    /// Replaces the layers by one per template page, named and set up from it, sorted by name.
    /// A page whose defaults cannot be read is left out and makes the result false; the other
    /// pages still become layers.
    bool LoadFromPageFiles(const TKelPageFileList& pageFiles);
    /// Every own layer takes the settings of the layer of other with the same name, if any.
    void AssignSettings(const TKelLayerList& other);

    /// Appends one layer per child element of a "layers" element and loads it, then sorts by
    /// name. After a child that fails, the rest get a layer each, left unloaded. Returns false,
    /// without raising, on any failure.
    virtual bool LoadFromXml(pugi::xml_node node);
    /// Adds one "layer" child per layer, in order. Returns false, without raising, on failure.
    virtual bool SaveToXml(pugi::xml_node node) const;

    /// Passes a layer's change on to the layout.
    void Changed(const std::string& reason);

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    void SortByName();

    TKelLayout* m_owner;
    std::vector<TKelLayer*> m_items;
    std::vector<std::unique_ptr<TKelLayer>> m_owned;
};
