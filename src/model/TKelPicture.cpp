// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelPicture.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>

#include <pugixml.hpp>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "imaging/BM_Geometry.h"
#include "imaging/BM_Resample.h"
#include "imaging/LoadPicture.h"
#include "imaging/TBM_Bitmap.h"
#include "model/SXmlHelpers.h"
#include "model/TKelPictureRefs.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

// The file's last-write time as local wall-clock time, rounded down to two seconds.
std::optional<TKelPicture::TDate> FileDate(const std::string& fileName) {
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(fileName, ec);
    if (ec)
        return std::nullopt;
    const std::time_t t = system_clock::to_time_t(floor<seconds>(file_clock::to_sys(written)));
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::nullopt;
    const year_month_day date{year{local.tm_year + 1900},
                              month{static_cast<unsigned>(local.tm_mon + 1)},
                              day{static_cast<unsigned>(local.tm_mday)}};
    const seconds time = hours{local.tm_hour} + minutes{local.tm_min} + seconds{local.tm_sec};
    return floor<duration<std::int64_t, std::ratio<2>>>(local_days{date} + time);
}

// "Beach.2004" for ".../Beach.2004.jpg"; empty for ".../.jpg".
std::string TitleFromFileName(const std::string& fileName) {
    std::string name = kelvo::ExtractFileName(fileName);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

} // namespace

TKelPicture::TKelPicture(TKelPictureRefs* owner)
    : m_owner(owner) {}

TKelPicture::~TKelPicture() = default;

void TKelPicture::Changed(const std::string& reason) {
    if (m_owner)
        m_owner->Changed(reason);
}

void TKelPicture::SetFileName(const std::string& value) {
    m_fileName = value;
    if (Exists()) {
        if (const auto date = FileDate(m_fileName))
            m_date = *date;
    } else {
        m_checked = false;
    }
    if (m_title.empty())
        m_title = TitleFromFileName(m_fileName);
}

void TKelPicture::SetTitle(const std::string& value) {
    if (value == m_title)
        return;
    m_title = value;
    Changed("SetTitle");
}

void TKelPicture::SetComment(const std::string& value) {
    if (value == m_comment)
        return;
    m_comment = value;
    Changed("SetComment");
}

void TKelPicture::SetChecked(bool value) {
    if (value == m_checked)
        return;
    m_checked = value;
    Changed("SetChecked");
}

bool TKelPicture::Exists() const {
    std::error_code ec;
    return !m_fileName.empty() && fs::is_regular_file(m_fileName, ec);
}

bool TKelPicture::LoadThumbnail() {
    m_thumbnail.reset();
    if (Exists())
        m_thumbnail = CreateThumbnail(m_fileName);
    return m_thumbnail != nullptr;
}

std::unique_ptr<TBM_Bitmap> TKelPicture::CreateThumbnail(const std::string& fileName, int size) {
    try {
        TBM_Bitmap decoded;
        LoadPictureThumbnail(fileName, size, decoded);
        // The spans of the frame and of the picture (its pixel counts) give the thumbnail's
        // size: the longer side becomes size. A very thin picture keeps one pixel.
        const TRect fitted =
            FitRect(TRect{0, 0, size, size}, TRect{0, 0, decoded.Width(), decoded.Height()});
        auto thumbnail = std::make_unique<TBM_Bitmap>();
        Resample(decoded, *thumbnail, std::max(1, fitted.Right), std::max(1, fitted.Bottom));
        return thumbnail;
    } catch (const std::exception&) {
        return nullptr; // a damaged or unreadable picture simply has no thumbnail
    }
}

void TKelPicture::SetThumbnail(std::unique_ptr<TBM_Bitmap> thumbnail) {
    m_thumbnail = std::move(thumbnail);
}

bool TKelPicture::LoadFromXml(pugi::xml_node node, const std::string& baseDirectory) {
    try {
        m_comment = ReadString(node, "comment", "");
        m_checked = ReadBoolean(node, "checked", true);
        const pugi::xml_node fileNode = node.child("filename");
        if (!fileNode)
            throw EXmlError("Picture without a filename element");
        // A path is exact: here a line break in a name is part of it, not a line end to restore.
        std::string fileName = ReadText(fileNode, "", false);
        // Paths stored relative (example projects) are relative to the project file.
        if (!fileName.empty() && !baseDirectory.empty() && fs::path(fileName).is_relative())
            fileName = (fs::path(baseDirectory) / fileName).lexically_normal().string();
        SetFileName(fileName);
        m_title = ReadString(node, "title", "");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TKelPicture::SaveToXml(pugi::xml_node node) const {
    try {
        WriteString(node, "title", m_title);
        WriteString(node, "comment", m_comment);
        WriteBoolean(node, "checked", m_checked);
        WriteText(node.append_child("filename"), m_fileName);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
