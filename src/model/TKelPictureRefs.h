// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace pugi {
class xml_node;
}
class THistory;
class TKelPicture;

/// An ordered list of pictures that it does not own; the pictures belong to a TKelPictureList,
/// which must outlive this list, so users refill it (Assign) right before each use.
///
/// List operations the user makes (RemovePicture, MovePicture, the sorts) are recorded in
/// History, when one is set; only the project sets one, on its own picture list.
class TKelPictureRefs {
public:
    TKelPictureRefs() = default;
    TKelPictureRefs(const TKelPictureRefs&) = delete;
    TKelPictureRefs& operator=(const TKelPictureRefs&) = delete;
    virtual ~TKelPictureRefs() = default;

    /// The history changes are recorded in (not owned), or nullptr.
    THistory* History() const { return m_history; }
    void SetHistory(THistory* history) { m_history = history; }
    /// Records reason in History, if set. Pictures call it for their own changes.
    virtual void Changed(const std::string& reason);

    int Count() const { return static_cast<int>(m_items.size()); }
    /// The picture at a 0-based index, or nullptr for an index out of range.
    TKelPicture* GetPicture(int index) const;
    /// 0-based index, or -1.
    int IndexOf(const TKelPicture* picture) const;
    /// Appends picture unless it is already there; returns its index. Records nothing.
    int Add(TKelPicture* picture);
    /// Empties the list (an owning list frees the pictures). Records nothing.
    virtual void Clear();
    /// Empties the list, then refers to every picture of source in order, skipping unselected
    /// ones when onlySelected and unchecked ones when onlyChecked. Records nothing. Does nothing
    /// on an owning list.
    virtual void Assign(const TKelPictureRefs& source, bool onlySelected, bool onlyChecked);
    /// Removes picture (an owning list frees it) and records "RemovePicture". Returns the index
    /// it had, or -1 (then nothing is recorded).
    virtual int RemovePicture(TKelPicture* picture);
    /// Moves the picture at curIndex to newIndex (those between shift by one) and records
    /// "MovePicture"; equal indices do nothing. An index out of range raises EListError.
    void MovePicture(int curIndex, int newIndex);
    /// Puts the pictures into the given order (what an earlier order, taken from begin() to
    /// end(), held) and records "SetOrder". An order that does not hold exactly the list's
    /// pictures raises EListError and changes nothing.
    void SetOrder(const std::vector<TKelPicture*>& order);
    /// SetChecked(false) for every picture whose file does not exist.
    void UncheckMissing();

    /// The sorts are ascending and stable; text compares without regard to the case of A-Z
    /// (other bytes by code, a prefix first). Each records its own name, also when nothing
    /// moved.
    void OrderByTitle();
    /// Older first.
    void OrderByDate();
    /// By the full path.
    void OrderByFileName();
    void OrderByComment();

    int SelectedCount() const;

    /// Adds one "picture_info" child to node per picture, in order, and lets the picture fill
    /// it. Returns false, without raising, if any picture fails.
    virtual bool SaveToXml(pugi::xml_node node) const;

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

protected:
    std::vector<TKelPicture*> m_items;

private:
    template <typename Less>
    void Order(Less less, const char* reason);

    THistory* m_history = nullptr;
};
