// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>
#include <vector>

class TKelTag;

/// An ordered list of tags that it does not own: the tags belong to a TKelTagList, which must
/// outlive this list. A template page's AllTags is one.
class TKelTagRefs {
public:
    TKelTagRefs() = default;
    TKelTagRefs(const TKelTagRefs&) = delete;
    TKelTagRefs& operator=(const TKelTagRefs&) = delete;
    virtual ~TKelTagRefs() = default;

    void Add(TKelTag* tag) { m_items.push_back(tag); }
    virtual void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    /// The tag at a 0-based index, or nullptr for an index out of range.
    TKelTag* Items(int index) const;

    /// Empties the list, then refers to every tag of other, in order.
    virtual void Assign(const TKelTagRefs& other);
    /// Refers to every tag of other after its own.
    virtual void Append(const TKelTagRefs& other);

    /// The first tag whose name equals the lower-case form of name, or nullptr.
    TKelTag* FindTag(std::string_view name) const;
    bool ContainsContentTag() const;
    bool ContainsPictureTag() const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

protected:
    std::vector<TKelTag*> m_items;
};
