// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/TKelPicture.h"
#include "model/TKelPictureRefs.h"

class TKelPictureList;

/// Called after each picture that a load gave a thumbnail: the list and the picture. The main
/// window shows progress with it while a project opens.
using TPictureLoadedEvent = std::function<void(TKelPictureList& sender, TKelPicture& picture)>;

/// The pictures of a project in gallery order; owns them: RemovePicture, Clear and destruction
/// free them. Owned by TKelProject, whose history it records changes in. It takes no pictures
/// of another list: new ones come from CreatePicture, and Assign does nothing.
class TKelPictureList : public TKelPictureRefs {
public:
    TKelPictureList() = default;
    ~TKelPictureList() override;

    /// A new picture owned by this list, appended; records "CreatePicture". The caller then
    /// sets its file name (and normally loads its thumbnail).
    TKelPicture* CreatePicture();

    void Clear() override;
    /// Does nothing: an owning list takes no references of another list.
    void Assign(const TKelPictureRefs& source, bool onlySelected, bool onlyChecked) override;
    int RemovePicture(TKelPicture* picture) override;
    /// Takes picture out of the list without freeing it and records "RemovePicture"; the
    /// caller keeps it until InsertPicture brings it back. nullptr (nothing recorded) if it is
    /// not in the list.
    std::unique_ptr<TKelPicture> TakePicture(TKelPicture* picture);
    /// Puts a picture that TakePicture took from this list back at index (0 to Count) and
    /// records "InsertPicture". An index out of range raises EListError and leaves picture
    /// with the caller.
    void InsertPicture(int index, std::unique_ptr<TKelPicture>&& picture);

    /// Reads a "picture_infos" element: empties the list, then creates one picture per child
    /// element and loads it; with loadThumbnails, loads each picture's thumbnail and then calls
    /// onPictureLoaded (if given). After the first child that fails, the remaining children
    /// still get a picture each, left empty. Relative file names are taken relative to
    /// baseDirectory (see TKelPicture::LoadFromXml). Returns false, without raising, on any
    /// failure.
    bool LoadFromXml(pugi::xml_node node, bool loadThumbnails,
                     const TPictureLoadedEvent& onPictureLoaded,
                     const std::string& baseDirectory = {});

    /// Exchanges the pictures of the two lists (each picture then reports to its new list).
    /// Histories stay with their lists. Lets a load be undone as a whole.
    void Swap(TKelPictureList& other) noexcept;

private:
    using TKelPictureRefs::Add; // an owning list must own what it holds

    std::vector<std::unique_ptr<TKelPicture>> m_owned;
};
