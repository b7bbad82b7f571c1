// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace pugi {
class xml_node;
}
class TBM_Bitmap;
class TKelPictureRefs;

/// One picture of a project: its image file, the file's date, title, comment and check mark
/// (only checked pictures take part in a gallery), plus a small thumbnail for the slide view.
///
/// Owned by a TKelPictureList (made with CreatePicture); TKelPictureRefs lists only refer to it.
/// Changes the user makes (SetTitle, SetComment, SetChecked) are reported to the owner list,
/// which records them in the project's history; everything else records nothing.
class TKelPicture {
public:
    /// A picture's date: the file's last-write time as local wall-clock time, in whole seconds
    /// rounded down to an even number (the two-second precision of file dates). Later dates
    /// compare greater. The epoch value (TDate{}) means "no date".
    using TDate = std::chrono::local_seconds;

    /// The longer side of a thumbnail, in pixels.
    static constexpr int ThumbnailSize = 110;

    explicit TKelPicture(TKelPictureRefs* owner = nullptr);
    virtual ~TKelPicture();
    TKelPicture(const TKelPicture&) = delete;
    TKelPicture& operator=(const TKelPicture&) = delete;

    TKelPictureRefs* Owner() const { return m_owner; }

    /// Full path of the image file.
    const std::string& FileName() const { return m_fileName; }
    /// Stores the path, then: if the file exists, Date := its date, else Checked := false; if
    /// Title is empty, Title := the file name without folder and without its last extension
    /// ("Beach.2004.jpg" gives "Beach.2004"). Records no change.
    void SetFileName(const std::string& value);

    /// TDate{} until SetFileName names an existing file.
    TDate Date() const { return m_date; }

    const std::string& Title() const { return m_title; }
    /// Stores a different text (case-sensitive comparison) and records "SetTitle".
    void SetTitle(const std::string& value);
    const std::string& Comment() const { return m_comment; }
    /// Stores a different text and records "SetComment".
    void SetComment(const std::string& value);
    /// Initially true.
    bool Checked() const { return m_checked; }
    /// Stores a different value and records "SetChecked".
    void SetChecked(bool value);

    /// The selection state of the main window: run-time only, never stored or recorded.
    bool Selected() const { return m_selected; }
    void SetSelected(bool value) { m_selected = value; }

    /// True if FileName is not empty and names an existing regular file.
    bool Exists() const;

    /// The thumbnail made by LoadThumbnail (24-bit colour, longer side ThumbnailSize pixels), or
    /// nullptr. Owned by the picture.
    const TBM_Bitmap* Thumbnail() const { return m_thumbnail.get(); }
    /// Drops any thumbnail, then makes a new one from the file, whatever format it holds
    /// (LoadPictureThumbnail: a JPEG decoded at one-eighth scale, others whole), upright and in
    /// sRGB, fitted so the longer side is ThumbnailSize pixels and scaled by area averaging. A
    /// missing, damaged or other file gives none; nothing is raised. Returns whether a
    /// thumbnail exists.
    bool LoadThumbnail();
    /// The thumbnail LoadThumbnail would make of fileName, or nullptr; with another size, the
    /// same fitted to that longer side (for the desktop's thumbnail cache). Touches no picture,
    /// so callers may make thumbnails of many files on worker threads at once.
    static std::unique_ptr<TBM_Bitmap> CreateThumbnail(const std::string& fileName,
                                                       int size = ThumbnailSize);
    /// Replaces the thumbnail (nullptr drops it); for one made by CreateThumbnail.
    void SetThumbnail(std::unique_ptr<TBM_Bitmap> thumbnail);

    /// Reads a "picture_info" element: comment, checked, the "filename" child through
    /// SetFileName, then title (which wins over the derived one). A relative file name is taken
    /// relative to baseDirectory (the project file's folder) when that is not empty. Records
    /// nothing. Returns false, without raising, when the element or its "filename" child is
    /// missing.
    virtual bool LoadFromXml(pugi::xml_node node, const std::string& baseDirectory = {});
    /// Writes the attributes title, comment, checked and the child "filename" into node.
    /// Returns false, without raising, on failure.
    virtual bool SaveToXml(pugi::xml_node node) const;

protected:
    /// Reports a change to the owner list, if any.
    void Changed(const std::string& reason);

private:
    friend class TKelPictureList; // moves pictures between lists

    TKelPictureRefs* m_owner;
    std::unique_ptr<TBM_Bitmap> m_thumbnail;
    std::string m_fileName;
    TDate m_date{};
    std::string m_title;
    std::string m_comment;
    bool m_checked = true;
    bool m_selected = false;
};
