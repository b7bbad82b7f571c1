// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/WebpFile.h"

#include <cstring>
#include <memory>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

#include "base/FileUtils.h"
#include "imaging/DecodedPictureRows.h"
#include "imaging/ExifOrientation.h"

namespace {

constexpr const char* Format = "WebP";

struct TDemuxDelete {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

struct TDecBufferFree {
    void operator()(WebPDecBuffer* buffer) const { WebPFreeDecBuffer(buffer); }
};

const char* StatusText(VP8StatusCode status) {
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
        return "Out of memory";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return "Unsupported WebP feature";
    case VP8_STATUS_NOT_ENOUGH_DATA:
        return "The file is truncated";
    default:
        return "The picture data is damaged";
    }
}

// The payload of the first chunk with this tag, or nothing.
std::vector<std::uint8_t> Chunk(const WebPDemuxer* demux, const char* tag) {
    WebPChunkIterator it{};
    std::vector<std::uint8_t> bytes;
    if (WebPDemuxGetChunk(demux, tag, 1, &it))
        bytes.assign(it.chunk.bytes, it.chunk.bytes + it.chunk.size);
    WebPDemuxReleaseChunkIterator(&it);
    return bytes;
}

} // namespace

bool IsWebpData(const std::uint8_t* data, std::size_t size) {
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

TDecodedPicture LoadWebpFile(const std::string& fileName) {
    const std::string file = kelvo::ReadFileBytes(fileName);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(file.data());
    if (!IsWebpData(bytes, file.size()))
        RaisePictureError(Format, fileName, "Not a WebP picture");
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        RaisePictureError(Format, fileName, "Incompatible libwebp");
    VP8StatusCode status = WebPGetFeatures(bytes, file.size(), &config.input);
    if (status != VP8_STATUS_OK)
        RaisePictureError(Format, fileName, StatusText(status));
    if (config.input.has_animation)
        RaisePictureError(Format, fileName, "Animated WebP pictures are not supported");
    const int width = config.input.width;
    const int height = config.input.height;
    CheckPictureSize(Format, fileName, width, height, static_cast<std::int64_t>(file.size()));

    // The demuxer validates the whole container, so a file cut short is refused here.
    const WebPData data{bytes, file.size()};
    const std::unique_ptr<WebPDemuxer, TDemuxDelete> demux(WebPDemux(&data));
    if (!demux)
        RaisePictureError(Format, fileName, "The file is truncated or damaged");

    TDecodedPicture picture;
    AllocatePixels(picture, width, height, 8);
    picture.Colour.IccProfile = Chunk(demux.get(), "ICCP");
    const std::vector<std::uint8_t> exif = Chunk(demux.get(), "EXIF");
    picture.Orientation = ExifOrientation(exif.data(), exif.size());

    const bool alpha = config.input.has_alpha != 0;
    std::vector<std::uint8_t> rgba;
    WebPRGBABuffer& out = config.output.u.RGBA;
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    if (alpha) {
        rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        out.rgba = rgba.data();
        out.stride = width * 4;
        out.size = rgba.size();
    } else {
        out.rgba = picture.Pixels8.data();
        out.stride = width * 3;
        out.size = picture.Pixels8.size();
    }
    const std::unique_ptr<WebPDecBuffer, TDecBufferFree> release(&config.output);
    status = WebPDecode(bytes, file.size(), &config);
    if (status != VP8_STATUS_OK)
        RaisePictureError(Format, fileName, StatusText(status));
    if (alpha) {
        for (int y = 0; y < height; ++y)
            PutRow(picture, y, rgba.data() + static_cast<std::size_t>(y) * width * 4,
                   {4, 255, false});
    }
    return picture;
}
