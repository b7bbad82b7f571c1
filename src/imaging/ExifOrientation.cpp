// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/ExifOrientation.h"

#include <cstring>
#include <memory>
#include <vector>

#include <libexif/exif-data.h>

namespace {

struct TExifFree {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

constexpr unsigned char ExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

} // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 0xFFFFFFFFu)
        return 1;
    // libexif only takes a block that starts with the "Exif" header.
    std::vector<std::uint8_t> withHeader;
    if (size < sizeof ExifHeader || std::memcmp(data, ExifHeader, sizeof ExifHeader) != 0) {
        withHeader.assign(ExifHeader, ExifHeader + sizeof ExifHeader);
        withHeader.insert(withHeader.end(), data, data + size);
        data = withHeader.data();
        size = withHeader.size();
    }
    const std::unique_ptr<ExifData, TExifFree> exif(exif_data_new());
    if (!exif)
        return 1;
    exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif.get(), data, static_cast<unsigned int>(size));
    ExifContent* ifd0 = exif->ifd[EXIF_IFD_0];
    ExifEntry* entry = ifd0 ? exif_content_get_entry(ifd0, EXIF_TAG_ORIENTATION) : nullptr;
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data ||
        entry->size < 2)
        return 1;
    const int orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif.get()));
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}
