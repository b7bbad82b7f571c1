// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "model/THistory.h"
#include "model/TKelLayoutList.h"
#include "model/TKelPictureList.h"

namespace pugi {
class xml_node;
}

/// The document the user opens, edits and saves: the pictures, the layouts with their layer
/// settings, and the output folder and sub-folder of the gallery. Owned by the main window;
/// a project is replaced, not reloaded.
///
/// The project is modified while History holds an entry: the picture list records into it,
/// and the layout dialog appends its own layout list's history on OK. A successful save or
/// load clears it. The project file is XML (UTF-8, extension ".kel"):
///   kelvo version="1.00"
///     project output_directory output_subdirectory
///       layouts active_layout / layout name / layers / layer ...
///       picture_infos / picture_info title comment checked / filename
class TKelProject {
public:
    TKelProject();
    virtual ~TKelProject() = default;
    TKelProject(const TKelProject&) = delete;
    TKelProject& operator=(const TKelProject&) = delete;

    THistory& History() { return m_history; }
    const THistory& History() const { return m_history; }
    /// Records its changes in History.
    TKelPictureList& Pictures() { return m_pictures; }
    const TKelPictureList& Pictures() const { return m_pictures; }
    /// Records its changes in a history of its own.
    TKelLayoutList& Layouts() { return m_layouts; }
    const TKelLayoutList& Layouts() const { return m_layouts; }

    /// The project file; empty for a project never saved or opened.
    const std::string& FileName() const { return m_fileName; }

    /// The folder galleries are generated into; ends in a path delimiter when set here.
    const std::string& OutputDirectory() const { return m_outputDirectory; }
    /// Appends a path delimiter if missing; stores and records "SetOutputDirectory" when the
    /// result differs from the current value (exactly: folder names are case-sensitive here).
    void SetOutputDirectory(const std::string& value);
    /// The gallery's folder below OutputDirectory: relative, empty or ending in a delimiter.
    const std::string& OutputSubDirectory() const { return m_outputSubDirectory; }
    /// Takes '/' and '\' as separators and stores the native one; appends a delimiter, removes
    /// one leading delimiter (so an empty value stays empty); stores and records
    /// "SetOutputSubDirectory" when the result differs from the current value.
    void SetOutputSubDirectory(const std::string& value);

    /// The layouts with their layer settings and the two output folders, as the project file
    /// holds them: what the layout dialog and its gallery runs change, kept as text so that
    /// SetLayoutSettings can put it back.
    std::string LayoutSettings() const;
    /// Puts back what LayoutSettings returned: the layouts as records of settings by name
    /// (without template folders, as a project file gives them), the folders as stored; then
    /// records "SetLayoutSettings". Text that is not such a record changes nothing and
    /// returns false.
    bool SetLayoutSettings(const std::string& settings);

    /// Reads the project file into this project. All or nothing: on false (missing file, not
    /// XML, a required element missing) the project is exactly as before, history included.
    /// On true FileName is fileName and the project is not modified. Picture paths stored
    /// relative are taken relative to the file's folder. With loadThumbnails every picture
    /// gets its thumbnail and onPictureLoaded (if given) is called after each.
    bool LoadFromFile(const std::string& fileName, bool loadThumbnails = false,
                      const TPictureLoadedEvent& onPictureLoaded = {});
    /// Writes the whole project into fileName, replacing it only once the new file is complete
    /// (see TSXmlWriter::SaveToFile). On true FileName is fileName and the project is not
    /// modified; on false nothing changes, on disk or here.
    bool SaveToFile(const std::string& fileName);

    /// Reads a "project" element: empties pictures and layouts, reads the two folders as
    /// stored, then the required "layouts" and "picture_infos" children. Relative picture
    /// paths are taken relative to FileName's folder, if FileName is set. Stops at the first
    /// failure; returns false, without raising, and keeps what was read so far.
    virtual bool LoadFromXml(pugi::xml_node node, bool loadThumbnails,
                             const TPictureLoadedEvent& onPictureLoaded);
    /// Writes the "project" element's attributes and its "layouts" and "picture_infos"
    /// children. Returns false, without raising, on failure.
    virtual bool SaveToXml(pugi::xml_node node) const;

private:
    // Destroyed in reverse order: layouts, pictures, then the history they record into.
    THistory m_history;
    TKelPictureList m_pictures;
    TKelLayoutList m_layouts;
    std::string m_fileName;
    std::string m_outputDirectory;
    std::string m_outputSubDirectory;
};
