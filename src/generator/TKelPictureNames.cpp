// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelPictureNames.h"

#include <algorithm>
#include <unordered_set>

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "generator/TKelPageGenerator.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "model/TKelPicture.h"
#include "model/TKelPictureRefs.h"
#include "model/TSettings.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelPageFile.h"

namespace {

// Names that differ only in letter case or in characters the link form replaces would be one
// file on a case-insensitive server or after the link form.
std::string CollisionKey(const std::string& name) {
    return kelvo::LowerAZ(TKelPageGenerator::MakeUrl(name, false));
}

} // namespace

std::string TKelPictureNames::PlainName(const std::string& fileName) {
    std::string name = kelvo::ExtractFileName(fileName);
    std::replace(name.begin(), name.end(), '\\', '_');
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name + ".jpg";
}

void TKelPictureNames::Assign(const TKelPictureRefs& list) {
    m_names.clear();
    // A numbered name must not take the plain name of a later picture either.
    std::unordered_set<std::string> taken;
    for (const TKelPicture* picture : list)
        taken.insert(CollisionKey(PlainName(picture->FileName())));

    std::unordered_set<std::string> used;
    for (const TKelPicture* picture : list) {
        const std::string plain = PlainName(picture->FileName());
        std::string name = plain;
        if (!used.insert(CollisionKey(name)).second) {
            const std::string stem = plain.substr(0, plain.size() - 4);
            for (int n = 2;; ++n) {
                name = stem + "_" + std::to_string(n) + ".jpg";
                const std::string key = CollisionKey(name);
                if (!taken.count(key) && used.insert(key).second)
                    break;
            }
        }
        m_names[picture] = name;
    }
}

std::string TKelPictureNames::PictureFileName(const TKelLayout& layout, const TKelLayer& layer,
                                              const TKelPicture* picture, const std::string& outDir,
                                              int density) const {
    std::string name = picture ? Name(*picture) : TSettings::GetDummyFileName();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.insert(dot, "_" + layer.Name());

    // The model never holds an unsafe folder; asking again keeps every write inside outDir
    // whatever a caller did to the layer.
    std::string folder = layer.PictureDirectory();
    if (!TKelLayer::IsSafePictureDirectory(folder))
        folder.clear();
    std::replace(folder.begin(), folder.end(), '\\', kelvo::PathDelim);
    if (folder.empty() && layout.Directory() && layer.PageFile())
        folder =
            kelvo::ExtractFilePath(layout.Directory()->RelativePath(layer.PageFile()->FileName));
    if (!folder.empty()) {
        if (folder.front() == kelvo::PathDelim)
            folder.erase(0, 1);
        folder = kelvo::IncludeTrailingDelimiter(folder);
    }
    if (density > 1)
        folder += DensityFolder(density) + kelvo::PathDelim;
    return outDir + folder + name;
}

std::string TKelPictureNames::DensityFolder(int density) {
    return std::to_string(density) + "x";
}

std::string TKelPictureNames::Name(const TKelPicture& picture) const {
    const auto it = m_names.find(&picture);
    return it != m_names.end() ? it->second : PlainName(picture.FileName());
}
