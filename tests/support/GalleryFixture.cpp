// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/GalleryFixture.h"

#include <algorithm>
#include <filesystem>

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "generator/TKelRunRecord.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TKelPicture.h"

namespace fs = std::filesystem;

GalleryFixture::GalleryFixture()
    : LayoutDir(Tmp.dir() + "Layouts/Test/")
    , OutDir(Tmp.dir() + "out/") {
    fs::create_directories(LayoutDir);
}

void GalleryFixture::Page(std::string_view relative, std::string_view text) const {
    Tmp.write("Layouts/Test/" + std::string(relative), text);
}

void GalleryFixture::Load() {
    Directory.Load(LayoutDir);
    Layout = std::make_unique<TKelLayout>();
    Layout->LoadFromDirectory(&Directory);
}

TKelPicture* GalleryFixture::AddPicture(std::string_view name) {
    TKelPicture* picture = Pictures.CreatePicture();
    picture->SetFileName(Tmp.write("src/" + std::string(name), ""));
    return picture;
}

TKelPicture* GalleryFixture::AddPhoto(std::string_view name, int width, int height) {
    const std::string file = Tmp.dir() + "src/" + std::string(name);
    WritePatternPhoto(file, width, height);
    TKelPicture* picture = Pictures.CreatePicture();
    picture->SetFileName(file);
    return picture;
}

std::string GalleryFixture::Output(std::string_view relative) const {
    const std::string file = OutDir + std::string(relative);
    return fs::is_regular_file(file) ? kelvo::ReadFileBytes(file) : std::string();
}

bool GalleryFixture::OutputExists(std::string_view relative) const {
    return fs::exists(OutDir + std::string(relative));
}

std::vector<std::string> GalleryFixture::OutputFiles() const {
    return FilesBelow(OutDir);
}

std::vector<std::string> FilesBelow(const std::string& dir) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file() && it->path().filename() != TKelRunRecord::FileName)
            files.push_back(fs::relative(it->path(), dir).generic_string());
    std::sort(files.begin(), files.end());
    return files;
}

void SavePicture(const std::string& file, const TBM_Bitmap& bitmap) {
    if (kelvo::LowerAZ(fs::path(file).extension().string()) == ".bmp")
        SaveBmpFile(file, bitmap);
    else
        SaveJpegFile(file, bitmap, 90);
}

void WritePatternPhoto(const std::string& file, int width, int height) {
    TBM_Bitmap bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y,
                            static_cast<std::uint32_t>((x * 7 & 255) | (y * 5 & 255) << 8 |
                                                       ((x + y) & 255) << 16));
    fs::create_directories(fs::path(file).parent_path());
    SavePicture(file, bitmap);
}

std::string DescribeLayouts(const TKelLayoutList& layouts) {
    std::string s;
    for (const TKelLayout* layout : layouts) {
        s += "L:" + layout->Name();
        for (const TKelLayer* l : layout->Layers())
            s += " " + l->Name() + "," + l->PageTitle() + "," + l->PageText() + "," +
                 std::to_string(l->ColCount()) + "," + std::to_string(l->RowCount()) + "," +
                 std::to_string(l->PictureWidth()) + "," + std::to_string(l->PictureHeight()) +
                 "," + std::to_string(l->PictureQuality()) + "," + l->PictureDirectory() +
                 (l->Densities().size() > 1 ? ",d=" + TKelLayer::FormatDensities(l->Densities())
                                            : "");
        s += "|";
    }
    return s;
}

int CountOf(std::string_view text, std::string_view needle) {
    int count = 0;
    for (auto at = text.find(needle); at != text.npos; at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}
