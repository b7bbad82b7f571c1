// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A small layout folder made from the bytes, read as the layout dialog does and generated as a
// gallery run does (pages only; the pictures have targets of their own).
//
// Input: the parts of the bytes separated by form feeds ('\f') are, in order, index.html,
// large.html, sub/page.htm and style.css of the layout, then the pictures' file names, one a
// line, then the layout's words file. Without the names the first byte says how many pictures
// there are. The template check reads the same folder.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/FileUtils.h"
#include "generator/TKelPageGenerator.h"
#include "model/TKelLayout.h"
#include "model/TKelPicture.h"
#include "model/TKelPictureList.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelTemplateCheck.h"
#include "template/TKelWords.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t MaxPictures = 40;

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::size_t FileCount(const std::string& folder) {
    std::size_t count = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view input = fuzz::Bytes(data, size);
    const std::vector<std::string_view> parts = Split(input.substr(1), '\f');

    const std::string& scratch = fuzz::ScratchFolder();
    const std::string layoutDir = scratch + "Layouts/Fuzz/";
    const std::string outDir = scratch + "out/";
    static constexpr const char* Names[] = {"index.html", "large.html", "sub/page.htm",
                                            "style.css"};
    for (std::size_t i = 0; i < 4 && i < parts.size(); ++i) {
        fs::create_directories(fs::path(layoutDir + Names[i]).parent_path());
        kelvo::WriteFileBytes(layoutDir + Names[i], parts[i]);
    }

    if (parts.size() > 5)
        kelvo::WriteFileBytes(layoutDir + std::string(TKelWords::FileName), parts[5]);

    TKelPictureList pictures;
    std::vector<std::string_view> names;
    if (parts.size() > 4)
        names = Split(parts[4], '\n');
    else
        names.assign(static_cast<std::size_t>(data[0]) % 24, "photo.jpg");
    for (std::size_t i = 0; i < names.size() && i < MaxPictures; ++i) {
        TKelPicture* picture = pictures.CreatePicture();
        picture->SetFileName(scratch + "src/" + std::string(names[i]));
        picture->SetComment("<b>" + std::to_string(i) + "</b>");
        picture->SetChecked(true);
    }

    TKelPageDirectory directory;
    directory.Load(layoutDir);
    TKelLayout layout;
    layout.LoadFromDirectory(&directory); // false leaves out pages whose defaults are no numbers
    const std::size_t layoutFiles = FileCount(layoutDir);
    for (const TKelTemplateFinding& finding : TKelTemplateCheck::Check(directory)) {
        if (finding.File.empty() || finding.Line < 1 || finding.Column < 1 ||
            finding.Message().empty())
            fuzz::Fail("a finding without a place or a message");
    }

    TKelPageGenerator generator;
    generator.CreateDirectories(layout, outDir);
    generator.CopyFiles(layout, outDir);
    generator.Generate(pictures, layout, outDir);
    const std::string start = generator.GetStartPage(layout, outDir);
    if (!start.empty() && !kelvo::IsInsideFolder(start, outDir))
        fuzz::Fail("the start page lies outside the output folder");
    generator.GeneratePreview(layout, layout.Layers().GetLayer(0), 0, pictures,
                              scratch + "preview/");
    if (FileCount(layoutDir) != layoutFiles)
        fuzz::Fail("generating changed the layout folder");
    return 0;
}
