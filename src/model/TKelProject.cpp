// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TKelProject.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <sstream>

#include <pugixml.hpp>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "base/KelText.h"
#include "model/SXmlHelpers.h"
#include "model/TSXmlReader.h"
#include "model/TSXmlWriter.h"

namespace fs = std::filesystem;

TKelProject::TKelProject() {
    m_pictures.SetHistory(&m_history);
}

void TKelProject::SetOutputDirectory(const std::string& value) {
    const std::string folder = kelvo::IncludeTrailingDelimiter(value);
    if (folder == m_outputDirectory)
        return;
    m_outputDirectory = folder;
    m_history.Add("SetOutputDirectory");
}

void TKelProject::SetOutputSubDirectory(const std::string& value) {
    std::string folder = value;
    std::replace(folder.begin(), folder.end(), '\\', kelvo::PathDelim);
    folder = kelvo::IncludeTrailingDelimiter(folder);
    // One leading delimiter goes, so the folder stays below OutputDirectory and an empty value
    // (now a lone delimiter) is empty again.
    if (folder.front() == kelvo::PathDelim)
        folder.erase(0, 1);
    if (folder == m_outputSubDirectory)
        return;
    m_outputSubDirectory = folder;
    m_history.Add("SetOutputSubDirectory");
}

std::string TKelProject::LayoutSettings() const {
    pugi::xml_document document;
    pugi::xml_node node = document.append_child("project");
    WriteString(node, "output_directory", m_outputDirectory);
    WriteString(node, "output_subdirectory", m_outputSubDirectory);
    m_layouts.SaveToXml(node.append_child("layouts"));
    std::ostringstream text;
    document.save(text, "", pugi::format_raw);
    return text.str();
}

bool TKelProject::SetLayoutSettings(const std::string& settings) {
    pugi::xml_document document;
    if (!document.load_string(settings.c_str()))
        return false;
    const pugi::xml_node node = document.child("project");
    TKelLayoutList layouts;
    const pugi::xml_node layoutsNode = node.child("layouts");
    if (!layoutsNode || !layouts.LoadFromXml(layoutsNode))
        return false;
    m_layouts.Swap(layouts);
    m_outputDirectory = ReadString(node, "output_directory", "");
    m_outputSubDirectory = ReadString(node, "output_subdirectory", "");
    m_history.Add("SetLayoutSettings");
    return true;
}

bool TKelProject::LoadFromFile(const std::string& fileName, bool loadThumbnails,
                               const TPictureLoadedEvent& onPictureLoaded) {
    TSXmlReader reader;
    try {
        reader.LoadFromFile(fileName);
    } catch (const std::exception&) {
        return false;
    }

    // Keep the current content aside so that a failed load can put it back untouched.
    TKelPictureList oldPictures;
    TKelLayoutList oldLayouts;
    oldPictures.Swap(m_pictures);
    oldLayouts.Swap(m_layouts);
    const THistory oldHistory = m_history;
    std::string oldFileName = std::move(m_fileName);
    std::string oldOutputDirectory = m_outputDirectory;
    std::string oldOutputSubDirectory = m_outputSubDirectory;

    m_fileName = fileName;
    if (LoadFromXml(reader.GetNode("project"), loadThumbnails, onPictureLoaded)) {
        m_history.Clear();
        return true;
    }

    m_pictures.Swap(oldPictures);
    m_layouts.Swap(oldLayouts);
    m_history = oldHistory;
    m_fileName = std::move(oldFileName);
    m_outputDirectory = std::move(oldOutputDirectory);
    m_outputSubDirectory = std::move(oldOutputSubDirectory);
    return false;
}

bool TKelProject::SaveToFile(const std::string& fileName) {
    bool result = false;
    try {
        TSXmlWriter writer("kelvo", "1.00");
        result = SaveToXml(writer.AddChild("project"));
        // A project that could not be written whole must not replace a good file.
        if (result)
            writer.SaveToFile(fileName);
    } catch (const std::exception&) {
        result = false;
    }
    if (result) {
        m_fileName = fileName;
        m_history.Clear();
    }
    return result;
}

bool TKelProject::LoadFromXml(pugi::xml_node node, bool loadThumbnails,
                              const TPictureLoadedEvent& onPictureLoaded) {
    try {
        m_pictures.Clear();
        m_layouts.Clear();
        m_outputDirectory = ReadString(node, "output_directory", "");
        m_outputSubDirectory = ReadString(node, "output_subdirectory", "");
        const pugi::xml_node layouts = node.child("layouts");
        if (!layouts || !m_layouts.LoadFromXml(layouts))
            return false;
        const pugi::xml_node pictures = node.child("picture_infos");
        if (!pictures)
            return false;
        std::string baseDirectory;
        if (!m_fileName.empty())
            baseDirectory = fs::absolute(fs::path(m_fileName)).parent_path().string();
        return m_pictures.LoadFromXml(pictures, loadThumbnails, onPictureLoaded, baseDirectory);
    } catch (const std::exception&) {
        return false;
    }
}

bool TKelProject::SaveToXml(pugi::xml_node node) const {
    try {
        WriteString(node, "output_directory", m_outputDirectory);
        WriteString(node, "output_subdirectory", m_outputSubDirectory);
        const bool layoutsSaved = m_layouts.SaveToXml(node.append_child("layouts"));
        const pugi::xml_node pictures = node.append_child("picture_infos");
        return layoutsSaved && m_pictures.SaveToXml(pictures);
    } catch (const std::exception&) {
        return false;
    }
}
