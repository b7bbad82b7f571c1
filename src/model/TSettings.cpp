// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TSettings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <stdlib.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"

namespace fs = std::filesystem;

namespace {

// The running program file. Platform-specific: Linux names it in /proc.
fs::path ProgramFile() {
    std::error_code ec;
    fs::path file = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : file;
}

// A new folder below parent whose name is prefix and a unique suffix, readable only by the
// user (mkdtemp), so that no other program or user can plant files in it.
fs::path MakeUniqueDirectory(const fs::path& parent, const std::string& prefix) {
    std::string templ = (parent / (prefix + "XXXXXX")).string();
    if (!::mkdtemp(templ.data()))
        throw EFileError("Cannot create a temporary folder in \"" + parent.string() +
                         "\": " + std::strerror(errno));
    return templ;
}

// The folder holding Layouts and Pictures: the program's own, or for an installed program
// (which has no Layouts beside it) the installation's data folder.
fs::path DataDirectory(const fs::path& program) {
    std::error_code ec;
    if (!fs::is_directory(program / "Layouts", ec)) {
        fs::path installed = program / ".." / "share" / "kelvo";
        if (fs::is_directory(installed / "Layouts", ec))
            return installed;
    }
    return program;
}

std::string FolderString(const fs::path& path) {
    return kelvo::IncludeTrailingDelimiter(path.lexically_normal().string());
}

} // namespace

TSettings::TSettings()
    : TSettings(ProgramDirectory(), SystemTempDirectory()) {}

TSettings::TSettings(const std::string& programDirectory, const std::string& tempParent) {
    const fs::path data = DataDirectory(programDirectory);
    m_layoutsDirectory = FolderString(data / "Layouts");
    m_picturesDirectory = FolderString(data / "Pictures");
    std::error_code ec;

    fs::create_directories(tempParent, ec);
    m_tempDirectory = FolderString(MakeUniqueDirectory(tempParent, "KelvoTmp-"));
}

TSettings::~TSettings() {
    std::error_code ec;
    fs::remove_all(m_tempDirectory, ec);
}

void TSettings::SetPicturesDirectory(const std::string& value) {
    m_picturesDirectory = kelvo::IncludeTrailingDelimiter(value);
}

std::string TSettings::ProgramDirectory() {
    const fs::path file = ProgramFile();
    std::error_code ec;
    const fs::path folder = file.empty() ? fs::current_path(ec) : file.parent_path();
    return FolderString(folder);
}

std::string TSettings::DefaultLayoutsDirectory() {
    return FolderString(DataDirectory(ProgramDirectory()) / "Layouts");
}

std::string TSettings::SystemTempDirectory() {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir && *tmpdir)
        return FolderString(tmpdir);
    std::error_code ec;
    const fs::path system = fs::temp_directory_path(ec);
    return FolderString(ec ? fs::path("/tmp") : system);
}
