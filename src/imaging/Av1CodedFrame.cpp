// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/Av1CodedFrame.h"

#include <algorithm>
#include <utility>

#include "imaging/TBitReader.h"
#include "imaging/TByteChain.h"

namespace {

constexpr int SequenceHeaderType = 1;
// A sequence header reaches its frame size within 400 bytes: timing and decoder model, then
// up to 32 operating points of at most 89 bits.
constexpr std::size_t SequenceHeadBytes = 512;

// The frame a sequence header OBU's payload declares.
TCodedFrame SequenceFrame(const std::uint8_t* payload, std::size_t size) {
    TBitReader bits(payload, size);
    bits.Skip(4); // seq_profile, still_picture
    if (bits.Bits(1) != 0) {
        bits.Skip(5); // reduced_still_picture_header: seq_level_idx
    } else {
        bool decoderModel = false;
        int delayBits = 0;
        if (bits.Bits(1) != 0) { // timing_info_present_flag
            bits.Skip(64);
            if (bits.Bits(1) != 0)
                bits.Uvlc();
            decoderModel = bits.Bits(1) != 0;
            if (decoderModel) {
                delayBits = static_cast<int>(bits.Bits(5)) + 1;
                bits.Skip(42);
            }
        }
        const bool displayDelay = bits.Bits(1) != 0;
        for (int points = static_cast<int>(bits.Bits(5)) + 1; points > 0; --points) {
            bits.Skip(12); // operating_point_idc
            if (bits.Bits(5) > 7)
                bits.Skip(1); // seq_tier
            if (decoderModel && bits.Bits(1) != 0)
                bits.Skip(2 * delayBits + 1);
            if (displayDelay && bits.Bits(1) != 0)
                bits.Skip(4);
        }
    }
    const int widthBits = static_cast<int>(bits.Bits(4)) + 1;
    const int heightBits = static_cast<int>(bits.Bits(4)) + 1;
    const std::int64_t width = std::int64_t{bits.Bits(widthBits)} + 1;
    const std::int64_t height = std::int64_t{bits.Bits(heightBits)} + 1;
    return {width, height, std::int64_t{1} << widthBits, std::int64_t{1} << heightBits};
}

void CoverStream(const TByteChain& stream, TCodedFrame& frame, std::int64_t& units) {
    std::uint8_t head[SequenceHeadBytes];
    for (std::size_t at = 0; at < stream.Size();) {
        CountCodedUnit(units);
        // The OBU header, an extension byte, and a LEB128 size of at most 8 bytes.
        const std::size_t got = stream.Copy(at, head, 10);
        const int type = head[0] >> 3 & 15;
        std::size_t header = 1 + (head[0] >> 2 & 1);
        std::uint64_t size = stream.Size() - at - std::min(header, stream.Size() - at);
        if (head[0] >> 1 & 1) {
            size = 0;
            for (int i = 0;; ++i) {
                // The decoder stops at a size it cannot read: nothing after it is decoded.
                if (i == 8 || header >= got)
                    return;
                const std::uint8_t byte = head[header++];
                size |= std::uint64_t{byte & 0x7Fu} << (7 * i);
                if ((byte & 0x80) == 0)
                    break;
            }
        }
        if (header > stream.Size() - at || size > stream.Size() - at - header)
            return;
        if (type == SequenceHeaderType)
            frame.Cover(
                SequenceFrame(head, stream.Copy(at + header, head,
                                                std::min<std::uint64_t>(size, SequenceHeadBytes))));
        at += header + size;
    }
}

} // namespace

TCodedFrame Av1CodedFrame(const std::vector<std::string_view>& configs,
                          const std::vector<std::string_view>& data, std::int64_t& units) {
    TCodedFrame frame;
    // av1C: 4 bytes of settings, then the configuration OBUs.
    for (const std::string_view config : configs) {
        std::vector<std::string_view> stream{
            config.substr(std::min<std::size_t>(config.size(), 4))};
        stream.insert(stream.end(), data.begin(), data.end());
        CoverStream(TByteChain(std::move(stream)), frame, units);
    }
    if (configs.empty())
        CoverStream(TByteChain(data), frame, units);
    return frame;
}
