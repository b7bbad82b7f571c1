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

// The file's bytes, its features and its container, checked: what reading the headers and
// decoding both start with. The demuxer points into the bytes, so this stays where it is made.
class TWebpFile {
public:
    explicit TWebpFile(const std::string& fileName)
        : m_file(kelvo::ReadFileBytes(fileName)) {
        if (!IsWebpData(Bytes(), Size()))
            RaisePictureError(Format, fileName, "Not a WebP picture");
        if (!WebPInitDecoderConfig(&m_config))
            RaisePictureError(Format, fileName, "Incompatible libwebp");
        const VP8StatusCode status = WebPGetFeatures(Bytes(), Size(), &m_config.input);
        if (status != VP8_STATUS_OK)
            RaisePictureError(Format, fileName, StatusText(status));
        if (m_config.input.has_animation)
            RaisePictureError(Format, fileName, "Animated WebP pictures are not supported");
        CheckPictureSize(Format, fileName, m_config.input.width, m_config.input.height,
                         static_cast<std::int64_t>(Size()));
        // The demuxer validates the whole container, so a file cut short is refused here.
        const WebPData data{Bytes(), Size()};
        m_demux.reset(WebPDemux(&data));
        if (!m_demux)
            RaisePictureError(Format, fileName, "The file is truncated or damaged");
    }
    TWebpFile(const TWebpFile&) = delete;
    TWebpFile& operator=(const TWebpFile&) = delete;

    const std::uint8_t* Bytes() const {
        return reinterpret_cast<const std::uint8_t*>(m_file.data());
    }
    std::size_t Size() const { return m_file.size(); }
    WebPDecoderConfig& Config() { return m_config; }
    const WebPDecoderConfig& Config() const { return m_config; }

    // The payload of the first chunk with this tag, or nothing.
    std::vector<std::uint8_t> Chunk(const char* tag) const {
        WebPChunkIterator it{};
        std::vector<std::uint8_t> bytes;
        if (WebPDemuxGetChunk(m_demux.get(), tag, 1, &it))
            bytes.assign(it.chunk.bytes, it.chunk.bytes + it.chunk.size);
        WebPDemuxReleaseChunkIterator(&it);
        return bytes;
    }
    int Orientation() const {
        const std::vector<std::uint8_t> exif = Chunk("EXIF");
        return ExifOrientation(exif.data(), exif.size());
    }

private:
    const std::string m_file;
    WebPDecoderConfig m_config{};
    std::unique_ptr<WebPDemuxer, TDemuxDelete> m_demux;
};

} // namespace

bool IsWebpData(const std::uint8_t* data, std::size_t size) {
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

TPictureInfo ReadWebpInfo(const std::string& fileName) {
    const TWebpFile file(fileName);
    TPictureInfo info;
    info.Width = file.Config().input.width;
    info.Height = file.Config().input.height;
    info.Orientation = file.Orientation();
    return info;
}

TDecodedPicture LoadWebpFile(const std::string& fileName) {
    TWebpFile file(fileName);
    WebPDecoderConfig& config = file.Config();
    const int width = config.input.width;
    const int height = config.input.height;
    TDecodedPicture picture;
    AllocatePixels(picture, width, height, 8);
    picture.Colour.IccProfile = file.Chunk("ICCP");
    picture.Orientation = file.Orientation();

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
    const VP8StatusCode status = WebPDecode(file.Bytes(), file.Size(), &config);
    if (status != VP8_STATUS_OK)
        RaisePictureError(Format, fileName, StatusText(status));
    if (alpha) {
        for (int y = 0; y < height; ++y)
            PutRow(picture, y, rgba.data() + static_cast<std::size_t>(y) * width * 4,
                   {4, 255, false});
    }
    return picture;
}
