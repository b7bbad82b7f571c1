// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/HeifFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <libheif/heif.h>

#include "base/FileUtils.h"
#include "base/KelErrors.h"
#include "imaging/DecodedPictureRows.h"
#include "imaging/HeifFrameCheck.h"
#include "imaging/TBM_Bitmap.h"

namespace {

constexpr const char* Format = "HEIF";

struct TContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct THandleRelease {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct TImageRelease {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct TNclxFree {
    void operator()(heif_color_profile_nclx* nclx) const { heif_nclx_color_profile_free(nclx); }
};
struct TOptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using THandle = std::unique_ptr<heif_image_handle, THandleRelease>;

// The file's bytes and libheif's view of them; the context reads the bytes without a copy.
class TFile {
public:
    explicit TFile(const std::string& fileName)
        : m_fileName(fileName)
        , m_bytes(kelvo::ReadFileBytes(fileName))
        , m_context(heif_context_alloc()) {
        if (!m_context)
            Fail("Out of memory");
        // libheif refuses larger pictures before it allocates them; the pixel total and the
        // data a picture needs are held to the pixel store's limits in Decode.
        heif_context_set_maximum_image_size_limit(m_context.get(), TBM_Bitmap::MaxDimension);
        Check(heif_context_read_from_memory_without_copy(m_context.get(), m_bytes.data(),
                                                         m_bytes.size(), nullptr));
        heif_image_handle* primary = nullptr;
        Check(heif_context_get_primary_image_handle(m_context.get(), &primary));
        m_primary.reset(primary);
        Check(heif_context_get_primary_image_ID(m_context.get(), &m_primaryId));
    }

    [[noreturn]] void Fail(const std::string& reason) const {
        RaisePictureError(Format, m_fileName, reason);
    }
    void Check(const heif_error& error) const {
        if (error.code != heif_error_Ok)
            Fail(error.message && *error.message ? error.message : "The file is damaged");
    }
    const heif_image_handle* Primary() const { return m_primary.get(); }
    heif_item_id PrimaryId() const { return m_primaryId; }
    // The stored size (before turning and cropping) of the picture of handle (item id), and
    // the frames that its decoders allocate, which libheif does not hold to the stored size.
    void CheckStoredSize(const heif_image_handle* handle, heif_item_id id) const {
        CheckPictureSize(Format, m_fileName, heif_image_handle_get_ispe_width(handle),
                         heif_image_handle_get_ispe_height(handle),
                         static_cast<std::int64_t>(m_bytes.size()));
        try {
            CheckHeifCodedFrames(m_bytes, id);
        } catch (const EImageError& e) {
            Fail(e.what());
        }
    }

    // The picture of handle, upright, served by a reader; its colour description, or else
    // fallbackColour's.
    std::unique_ptr<TPictureReader> Decode(const heif_image_handle* handle, heif_item_id id,
                                           const heif_image_handle* fallbackColour) const;

private:
    const std::string& m_fileName;
    const std::string m_bytes;
    const std::unique_ptr<heif_context, TContextFree> m_context;
    THandle m_primary;
    heif_item_id m_primaryId = 0;
};

// The colour description of handle; one that libheif cannot read counts as none.
TPictureColour ColourOf(const heif_image_handle* handle) {
    TPictureColour colour;
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC:
        colour.IccProfile.resize(heif_image_handle_get_raw_color_profile_size(handle));
        if (!colour.IccProfile.empty() &&
            heif_image_handle_get_raw_color_profile(handle, colour.IccProfile.data()).code !=
                heif_error_Ok)
            colour.IccProfile.clear();
        break;
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx* raw = nullptr;
        const heif_error error = heif_image_handle_get_nclx_color_profile(handle, &raw);
        // Freed also when libheif allocated it and then reported an error.
        const std::unique_ptr<heif_color_profile_nclx, TNclxFree> nclx(raw);
        if (error.code == heif_error_Ok && nclx) {
            colour.HasNclx = true;
            colour.ColourPrimaries = nclx->color_primaries;
            colour.TransferCharacteristics = nclx->transfer_characteristics;
        }
        break;
    }
    default:
        break;
    }
    return colour;
}

// A picture decoded by libheif, its rows handed on from libheif's own image: widened, scaled
// to the full range, alpha composited over white.
class THeifReader final : public TPictureReader {
public:
    THeifReader(std::unique_ptr<heif_image, TImageRelease> image, const TRowFormat& format,
                bool deep, TPictureColour colour)
        : m_image(std::move(image))
        , m_format(format)
        , m_deep(deep) {
        m_info.Width = heif_image_get_width(m_image.get(), heif_channel_interleaved);
        m_info.Height = heif_image_get_height(m_image.get(), heif_channel_interleaved);
        m_info.Layout = deep ? TSampleLayout::Rgbx16 : TSampleLayout::Rgbx8;
        m_info.Colour = std::move(colour);
    }

    void ReadRows(TRows& rows) override {
        int stride = 0;
        const std::uint8_t* plane =
            heif_image_get_plane_readonly(m_image.get(), heif_channel_interleaved, &stride);
        const int width = m_info.Width;
        const auto samples = static_cast<std::size_t>(width) * 3;
        const bool plain = !m_deep && m_format.Channels == 3 && m_format.MaxValue == 0xFF;
        std::vector<std::uint16_t> row(m_deep ? static_cast<std::size_t>(width) * m_format.Channels
                                              : 0);
        std::vector<std::uint8_t> rgb(plain || m_deep ? 0 : samples);
        std::vector<std::uint16_t> rgb16(m_deep ? samples : 0);
        for (int y = 0; y < m_info.Height; ++y) {
            const std::uint8_t* in =
                plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
            std::uint8_t* out = rows.Row(y);
            if (plain) {
                WidenRow(in, out, static_cast<std::size_t>(width));
            } else if (!m_deep) {
                PutRow(rgb.data(), width, in, m_format);
                WidenRow(rgb.data(), out, static_cast<std::size_t>(width));
            } else {
                for (std::size_t i = 0; i < row.size(); ++i)
                    row[i] = static_cast<std::uint16_t>(in[2 * i] | in[2 * i + 1] << 8);
                PutRow(rgb16.data(), width, row.data(), m_format);
                WidenRow(rgb16.data(), reinterpret_cast<std::uint16_t*>(out),
                         static_cast<std::size_t>(width));
            }
            rows.RowsArrived(y + 1);
        }
    }

private:
    const std::unique_ptr<heif_image, TImageRelease> m_image;
    const TRowFormat m_format;
    const bool m_deep;
};

std::unique_ptr<TPictureReader> TFile::Decode(const heif_image_handle* handle, heif_item_id id,
                                              const heif_image_handle* fallbackColour) const {
    CheckStoredSize(handle, id);
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    const bool deep = heif_image_handle_get_luma_bits_per_pixel(handle) > 8;
    const heif_chroma chroma =
        deep ? (alpha ? heif_chroma_interleaved_RRGGBBAA_LE : heif_chroma_interleaved_RRGGBB_LE)
             : (alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB);
    // The default options apply irot and imir.
    const std::unique_ptr<heif_decoding_options, TOptionsFree> options(
        heif_decoding_options_alloc());
    heif_image* decoded = nullptr;
    Check(heif_decode_image(handle, &decoded, heif_colorspace_RGB, chroma, options.get()));
    std::unique_ptr<heif_image, TImageRelease> image(decoded);

    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    const int range = heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int channels = alpha ? 4 : 3;
    const std::size_t rowBytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(channels) * (deep ? 2 : 1);
    if (!plane || range < 1 || range > (deep ? 16 : 8) || stride < 0 ||
        static_cast<std::size_t>(stride) < rowBytes)
        Fail("Unexpected decoded picture");
    CheckPictureSize(Format, m_fileName, width, height, static_cast<std::int64_t>(m_bytes.size()));

    const TRowFormat format{channels, (1u << range) - 1,
                            heif_image_is_premultiplied_alpha(decoded) != 0};
    TPictureColour colour = ColourOf(handle);
    if (colour.Empty() && fallbackColour)
        colour = ColourOf(fallbackColour);
    return std::make_unique<THeifReader>(std::move(image), format, deep, std::move(colour));
}

bool IsHeifBrand(const std::uint8_t* brand) {
    static constexpr const char* Brands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm",
                                             "hevs", "mif1", "msf1", "mif2", "avif", "avis"};
    return std::any_of(std::begin(Brands), std::end(Brands),
                       [brand](const char* b) { return std::memcmp(brand, b, 4) == 0; });
}

} // namespace

bool IsHeifData(const std::uint8_t* data, std::size_t size) {
    if (size < 12 || std::memcmp(data + 4, "ftyp", 4) != 0)
        return false;
    if (IsHeifBrand(data + 8))
        return true;
    // The compatible brands follow the major brand and its version, up to the box's end.
    const std::size_t box =
        static_cast<std::size_t>(data[0]) << 24 | data[1] << 16 | data[2] << 8 | data[3];
    for (std::size_t at = 16; at + 4 <= std::min(box, size); at += 4)
        if (IsHeifBrand(data + at))
            return true;
    return false;
}

TPictureInfo ReadHeifInfo(const std::string& fileName) {
    const TFile file(fileName);
    file.CheckStoredSize(file.Primary(), file.PrimaryId());
    TPictureInfo info;
    info.Width = heif_image_handle_get_width(file.Primary());
    info.Height = heif_image_handle_get_height(file.Primary());
    if (info.Width <= 0 || info.Height <= 0)
        file.Fail("Empty picture");
    return info;
}

std::unique_ptr<TPictureReader> OpenHeifPicture(const std::string& fileName) {
    const TFile file(fileName);
    return file.Decode(file.Primary(), file.PrimaryId(), nullptr);
}

TDecodedPicture LoadHeifFile(const std::string& fileName) {
    return ReadDecodedPicture(*OpenHeifPicture(fileName));
}

std::unique_ptr<TPictureReader> OpenHeifThumbnail(const std::string& fileName, int minWidth,
                                                  int minHeight) {
    const TFile file(fileName);
    const int count = heif_image_handle_get_number_of_thumbnails(file.Primary());
    if (count <= 0)
        return nullptr;
    std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
    ids.resize(static_cast<std::size_t>(
        heif_image_handle_get_list_of_thumbnail_IDs(file.Primary(), ids.data(), count)));
    THandle best;
    heif_item_id bestId = 0;
    for (const heif_item_id id : ids) {
        heif_image_handle* thumbnail = nullptr;
        file.Check(heif_image_handle_get_thumbnail(file.Primary(), id, &thumbnail));
        THandle handle(thumbnail);
        const std::int64_t w = heif_image_handle_get_width(thumbnail);
        const std::int64_t h = heif_image_handle_get_height(thumbnail);
        if (w >= minWidth && h >= minHeight &&
            (!best || w * h < static_cast<std::int64_t>(heif_image_handle_get_width(best.get())) *
                                  heif_image_handle_get_height(best.get()))) {
            best = std::move(handle);
            bestId = id;
        }
    }
    if (!best)
        return nullptr;
    return file.Decode(best.get(), bestId, file.Primary());
}

std::optional<TDecodedPicture> LoadHeifThumbnail(const std::string& fileName, int minWidth,
                                                 int minHeight) {
    const std::unique_ptr<TPictureReader> reader = OpenHeifThumbnail(fileName, minWidth, minHeight);
    if (!reader)
        return std::nullopt;
    return ReadDecodedPicture(*reader);
}
