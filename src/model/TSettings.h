// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

/// The folders the program works with: a private temporary working folder for previews, the
/// layouts folder holding the HTML templates, and the folder the add-pictures dialog starts in.
/// Nothing is stored between runs. There is no global instance: the program holds one for its
/// whole run and passes it to whoever needs it.
///
/// Every folder path ends in a path delimiter. Layouts and Pictures stand beside the program;
/// when no Layouts folder does (an installed program), both come from the installation's data
/// folder <program folder>/../share/kelvo/. The temporary folder is new for every settings
/// object ("KelvoTmp-" and a unique suffix, readable only by the user, made like mkdtemp) and
/// is removed with everything in it when the object is destroyed.
class TSettings {
public:
    /// Uses the running program's folder and the platform's temporary folder (TMPDIR, else the
    /// system default). Raises EFileError when the temporary folder cannot be made.
    TSettings();
    /// Uses programDirectory (where Layouts and Pictures are looked for) and creates the
    /// temporary folder below tempParent, which is created if missing.
    TSettings(const std::string& programDirectory, const std::string& tempParent);
    ~TSettings();
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    const std::string& TempDirectory() const { return m_tempDirectory; }
    const std::string& LayoutsDirectory() const { return m_layoutsDirectory; }
    const std::string& PicturesDirectory() const { return m_picturesDirectory; }
    /// The folder of the pictures the user chose last; a path delimiter is appended if missing.
    void SetPicturesDirectory(const std::string& value);

    /// "dummy.bmp": the file name, without folder, of the placeholder picture of previews.
    static std::string GetDummyFileName() { return "dummy.bmp"; }

    /// The layouts folder of the running program, as a settings object would have it, without
    /// making a temporary folder: for tools that only read layouts.
    static std::string DefaultLayoutsDirectory();
    /// The folder of the running program file, ending in a path delimiter.
    static std::string ProgramDirectory();
    /// The platform's temporary folder: TMPDIR if set, else the system default.
    static std::string SystemTempDirectory();

private:
    std::string m_tempDirectory;
    std::string m_layoutsDirectory;
    std::string m_picturesDirectory;
};
