// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/WebpFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

#include "base/FileUtils.h"
#include "imaging/DecodedPictureRows.h"
#include "imaging/ExifOrientation.h"
#include "imaging/HugePages.h"

namespace {

constexpr const char* Format = "WebP";

struct TDemuxDelete {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

struct TIDecDelete {
    void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};

// The compressed bytes given to the decoder at a time: each step decodes a few dozen rows of a
// photo, which are handed on while they are still in cache.
constexpr std::size_t StepBytes = 16 * 1024;

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

// A WebP picture decoded as ReadRows hands its rows on: the decoder writes into a buffer of
// the whole picture (libwebp decodes into nothing smaller), fed the file a step at a time, and
// the rows each step completes are handed on at once.
class TWebpReader final : public TPictureReader {
public:
    explicit TWebpReader(const std::string& fileName)
        : m_fileName(fileName)
        , m_file(fileName) {
        m_info.Width = m_file.Config().input.width;
        m_info.Height = m_file.Config().input.height;
        m_info.Orientation = m_file.Orientation();
        m_info.Colour.IccProfile = m_file.Chunk("ICCP");
    }

    void ReadRows(TRows& rows) override {
        const auto width = static_cast<std::size_t>(m_info.Width);
        const bool alpha = m_file.Config().input.has_alpha != 0;
        const std::size_t stride = width * (alpha ? 4 : 3);
        const std::size_t size = stride * static_cast<std::size_t>(m_info.Height);
        // Not cleared: the decoder writes every byte before a row is handed on.
        const auto pixels = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        AdviseHugePages(pixels.get(), size);
        const std::unique_ptr<WebPIDecoder, TIDecDelete> decoder(WebPINewRGB(
            alpha ? MODE_RGBA : MODE_RGB, pixels.get(), size, static_cast<int>(stride)));
        if (!decoder)
            RaisePictureError(Format, m_fileName, StatusText(VP8_STATUS_OUT_OF_MEMORY));
        std::vector<std::uint8_t> rgb(alpha ? width * 3 : 0);
        VP8StatusCode status = VP8_STATUS_SUSPENDED;
        int done = 0;
        for (std::size_t fed = 0; status == VP8_STATUS_SUSPENDED && fed < m_file.Size();) {
            fed = std::min(m_file.Size(), fed + StepBytes);
            status = WebPIUpdate(decoder.get(), m_file.Bytes(), fed);
            if (status != VP8_STATUS_OK && status != VP8_STATUS_SUSPENDED)
                RaisePictureError(Format, m_fileName, StatusText(status));
            int decoded = 0;
            if (!WebPIDecGetRGB(decoder.get(), &decoded, nullptr, nullptr, nullptr))
                continue; // the headers are not through yet
            for (; done < std::min(decoded, m_info.Height); ++done) {
                const std::uint8_t* row = pixels.get() + static_cast<std::size_t>(done) * stride;
                if (alpha) {
                    PutRow(rgb.data(), m_info.Width, row, {4, 255, false});
                    row = rgb.data();
                }
                WidenRow(row, rows.Row(done), width);
                rows.RowsArrived(done + 1);
            }
        }
        if (status != VP8_STATUS_OK || done < m_info.Height)
            RaisePictureError(Format, m_fileName, StatusText(VP8_STATUS_NOT_ENOUGH_DATA));
    }

private:
    const std::string m_fileName;
    TWebpFile m_file;
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

std::unique_ptr<TPictureReader> OpenWebpPicture(const std::string& fileName) {
    return std::make_unique<TWebpReader>(fileName);
}

TDecodedPicture LoadWebpFile(const std::string& fileName) {
    return ReadDecodedPicture(*OpenWebpPicture(fileName));
}
