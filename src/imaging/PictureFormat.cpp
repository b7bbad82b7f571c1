// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/PictureFormat.h"

#include <algorithm>
#include <array>

#include <unistd.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "base/KelText.h"
#include "imaging/BmpFile.h"
#include "imaging/HeifFile.h"
#include "imaging/JpegFile.h"
#include "imaging/PngFile.h"
#include "imaging/TPictureReader.h"
#include "imaging/TiffFile.h"
#include "imaging/WebpFile.h"

namespace {

// Enough for every signature, including the "ftyp" brand of HEIF files.
constexpr std::size_t SniffBytes = 32;

// The extension from the last '.', lower case, if no path delimiter or drive colon follows it.
std::string Extension(const std::string& fileName) {
    const std::size_t pos = fileName.find_last_of(".:/\\");
    if (pos == std::string::npos || fileName[pos] != '.')
        return {};
    return kelvo::LowerAZ(std::string_view(fileName).substr(pos + 1));
}

} // namespace

TPictureFormat SniffPictureFormat(const std::uint8_t* data, std::size_t size) {
    if (IsJpegData(data, size))
        return TPictureFormat::Jpeg;
    if (IsPngData(data, size))
        return TPictureFormat::Png;
    if (IsWebpData(data, size))
        return TPictureFormat::Webp;
    if (IsTiffData(data, size))
        return TPictureFormat::Tiff;
    if (IsHeifData(data, size))
        return TPictureFormat::Heif;
    if (IsBmpData(data, size))
        return TPictureFormat::Bmp;
    return TPictureFormat::None;
}

TPictureFormat PictureFormatOf(const std::string& fileName) {
    std::array<std::uint8_t, SniffBytes> head{};
    std::size_t size = 0;
    try {
        const int fd = kelvo::OpenRegularFile(fileName); // a named pipe would block a plain open
        while (size < head.size()) {
            const ssize_t got = ::read(fd, head.data() + size, head.size() - size);
            if (got <= 0)
                break;
            size += static_cast<std::size_t>(got);
        }
        ::close(fd);
    } catch (const EFileError&) {
        // Unreadable: only the name is left to go by.
    }
    const TPictureFormat format = SniffPictureFormat(head.data(), size);
    if (format != TPictureFormat::None)
        return format;
    const std::string extension = Extension(fileName);
    if (extension == "jpg" || extension == "jpeg")
        return TPictureFormat::Jpeg;
    if (extension == "bmp")
        return TPictureFormat::Bmp;
    return TPictureFormat::None;
}

std::unique_ptr<TPictureReader> OpenPicture(const std::string& fileName) {
    switch (PictureFormatOf(fileName)) {
    case TPictureFormat::Jpeg:
        return OpenJpegPicture(fileName);
    case TPictureFormat::Bmp:
        return OpenBmpPicture(fileName);
    case TPictureFormat::Png:
        return OpenPngPicture(fileName);
    case TPictureFormat::Webp:
        return OpenWebpPicture(fileName);
    case TPictureFormat::Tiff:
        return OpenTiffPicture(fileName);
    case TPictureFormat::Heif:
        return OpenHeifPicture(fileName);
    case TPictureFormat::None:
        break;
    }
    throw EImageError("Not a picture Kelvo can read: \"" + fileName + "\"");
}

TPictureSize ReadPictureSize(const std::string& fileName) {
    // Some readers decode on opening (BMP, HEIF, TIFF through the RGBA interface), so those
    // formats' headers are read apart.
    TPictureInfo info;
    switch (PictureFormatOf(fileName)) {
    case TPictureFormat::Bmp: {
        const TBmpInfo bmp = ReadBmpInfo(fileName);
        return {bmp.Width, bmp.Height};
    }
    case TPictureFormat::Webp:
        info = ReadWebpInfo(fileName);
        break;
    case TPictureFormat::Tiff:
        info = ReadTiffInfo(fileName);
        break;
    case TPictureFormat::Heif:
        info = ReadHeifInfo(fileName);
        break;
    default:
        info = OpenPicture(fileName)->Info();
        break;
    }
    const bool swap = info.Orientation >= 5;
    return {swap ? info.Height : info.Width, swap ? info.Width : info.Height};
}

const std::vector<TPictureFamily>& PictureFamilies() {
    static const std::vector<TPictureFamily> families{
        {"JPEG", {"jpg", "jpeg", "jpe", "jfif"}},
        {"PNG", {"png"}},
        {"WebP", {"webp"}},
        {"HEIF", {"heic", "heif", "hif"}},
        {"AVIF", {"avif"}},
        {"TIFF", {"tif", "tiff"}},
        {"Bitmap", {"bmp"}},
    };
    return families;
}

bool HasPictureExtension(const std::string& fileName) {
    const std::string extension = Extension(fileName);
    return std::any_of(PictureFamilies().begin(), PictureFamilies().end(),
                       [&](const TPictureFamily& family) {
                           return std::find(family.Extensions.begin(), family.Extensions.end(),
                                            extension) != family.Extensions.end();
                       });
}
