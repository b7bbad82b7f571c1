// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/THistory.h"
#include "model/TKelLayout.h"

namespace pugi {
class xml_node;
}
class TKelPageDirectoryList;

/// The layouts of a project (read from its file) or of the layout dialog (read from the
/// template folders), with the name of the one the user chose; owns them.
///
/// It owns a history of its own, separate from the project's: layer edits are recorded there,
/// and the layout dialog appends it to the project's history on OK.
class TKelLayoutList {
public:
    TKelLayoutList() = default;
    virtual ~TKelLayoutList();
    TKelLayoutList(const TKelLayoutList&) = delete;
    TKelLayoutList& operator=(const TKelLayoutList&) = delete;

    THistory& History() { return m_history; }
    const THistory& History() const { return m_history; }

    /// The name of the layout the user chose; may be empty or name no present layout. Setting
    /// it records nothing.
    const std::string& ActiveLayout() const { return m_activeLayout; }
    void SetActiveLayout(const std::string& value) { m_activeLayout = value; }

    /// The gallery's language, an ISO 639-1 code in lower case ("en", "de"): which words of a
    /// layout's words file the pages show. Kept with the layouts, since the layout dialog
    /// chooses it along with them. The setter takes the code in lower case (empty: English)
    /// and records "SetLanguage" when that differs.
    const std::string& Language() const { return m_language; }
    void SetLanguage(const std::string& value);
    static constexpr const char* DefaultLanguage = "en";

    int Count() const { return static_cast<int>(m_items.size()); }
    /// The layout at a 0-based index, or nullptr for an index out of range.
    TKelLayout* GetLayout(int index) const;
    /// The first layout whose name equals name without regard to letter case, or nullptr.
    TKelLayout* FindLayout(std::string_view name) const;
    /// The layout named ActiveLayout; else the one named "standard" (any case); else the first;
    /// nullptr for an empty list.
    TKelLayout* GetActiveLayout() const;
    /// A new layout owned by this list, appended. Records nothing.
    TKelLayout* CreateLayout();
    /// Frees every layout, empties ActiveLayout and sets Language to English; the history
    /// stays.
    void Clear();

    /// Replaces the layouts by one per directory, in the directories' order, each with its
    /// layers; ActiveLayout is kept. Returns false if a template page could not become a
    /// layer (that page is left out; everything else is read).
    bool LoadFromDirectories(const TKelPageDirectoryList& directories);
    /// ActiveLayout and Language := other's; then every own layout takes the layer settings of the
    /// layout of other with the same name, if any. Records nothing.
    void AssignSettings(const TKelLayoutList& other);

    /// Reads a "layouts" element: "active_layout", "language" (default English), then appends one
    /// layout per child element and loads it (the list is not emptied first). After a child that
    /// fails, the rest get a layout each, left unloaded. Returns false, without raising, on any
    /// failure.
    virtual bool LoadFromXml(pugi::xml_node node);
    /// Writes "active_layout", "language" only when it is not English (so such a project is
    /// written as before), and one "layout" child per layout. Returns false, without
    /// raising, on failure.
    virtual bool SaveToXml(pugi::xml_node node) const;

    /// Records a layer's change in History.
    void Changed(const std::string& reason);

    /// Exchanges the layouts, ActiveLayout and Language of the two lists; histories stay with their
    /// lists. Lets a load be undone as a whole.
    void Swap(TKelLayoutList& other) noexcept;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    THistory m_history;
    std::vector<TKelLayout*> m_items;
    std::vector<std::unique_ptr<TKelLayout>> m_owned;
    std::string m_activeLayout;
    std::string m_language = DefaultLanguage;
};
