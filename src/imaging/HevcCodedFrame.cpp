// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/HevcCodedFrame.h"

#include <algorithm>
#include <optional>

#include "imaging/TBitReader.h"
#include "imaging/TByteReader.h"

namespace {

constexpr int SpsType = 33;
// An SPS reaches its picture size within 200 bytes: 12 bytes of profile and level, 12 more for
// each of up to 6 sub-layers, four Exp-Golomb codes, each third byte an emulation-prevention
// byte at worst.
constexpr std::size_t SpsHeadBytes = 256;

// The picture size an SPS NAL unit (its header first) declares; nothing for another unit, one
// of a layer the decoder skips, or one it cannot parse either.
std::optional<TCodedFrame> SpsFrame(const std::uint8_t* nal, std::size_t size) {
    if (size < 2 || (nal[0] >> 1 & 0x3F) != SpsType || ((nal[0] & 1) << 5 | nal[1] >> 3) != 0)
        return std::nullopt;
    // The payload without its emulation-prevention bytes (00 00 03).
    std::uint8_t rbsp[SpsHeadBytes];
    std::size_t length = 0;
    int zeros = 0;
    for (std::size_t i = 2; i < size; ++i) {
        if (zeros >= 2 && nal[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = nal[i] == 0 ? zeros + 1 : 0;
        rbsp[length++] = nal[i];
    }
    TBitReader bits(rbsp, length);
    bits.Skip(4);
    const int subLayers = static_cast<int>(bits.Bits(3));
    bits.Skip(1);
    // profile_tier_level: the general profile and level, then what each sub-layer has.
    bits.Skip(96);
    const std::uint32_t present = bits.Bits(2 * subLayers);
    if (subLayers > 0)
        bits.Skip(2 * (8 - subLayers));
    for (int i = 0; i < subLayers; ++i)
        bits.Skip((present >> (2 * i + 1) & 1) * 88 + (present >> (2 * i) & 1) * 8);
    const auto id = bits.ExpGolomb();
    const auto chroma = bits.ExpGolomb();
    if (!id || !chroma)
        return std::nullopt;
    if (*chroma == 3)
        bits.Skip(1);
    const auto width = bits.ExpGolomb();
    const auto height = bits.ExpGolomb();
    if (!width || !height)
        return std::nullopt;
    return TCodedFrame{*width, *height, *width, *height};
}

} // namespace

TCodedFrame HevcCodedFrame(const std::vector<std::string_view>& configs, const TByteChain& data,
                           std::int64_t& units) {
    TCodedFrame frame;
    const auto cover = [&frame](const std::uint8_t* nal, std::size_t size) {
        if (const auto sps = SpsFrame(nal, size))
            frame.Cover(*sps);
    };
    // hvcC: 22 bytes of settings, then arrays of NAL units, each behind a 2-byte length.
    for (const std::string_view config : configs) {
        TByteReader in(config);
        in.Take(22);
        for (std::uint32_t arrays = in.U8(); arrays > 0 && in.Ok(); --arrays) {
            in.U8();
            for (std::uint32_t count = in.U16(); count > 0 && in.Ok(); --count) {
                const std::string_view nal = in.Take(in.U16());
                CountCodedUnit(units);
                if (in.Ok())
                    cover(reinterpret_cast<const std::uint8_t*>(nal.data()),
                          std::min(nal.size(), SpsHeadBytes));
            }
        }
    }
    // The data ends where a length points past it: the decoder gets nothing from there on.
    std::uint8_t head[SpsHeadBytes];
    for (std::size_t at = 0; data.Copy(at, head, 4) == 4;) {
        const std::size_t size =
            static_cast<std::size_t>(head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
        at += 4;
        if (size > data.Size() - at)
            break;
        CountCodedUnit(units);
        cover(head, data.Copy(at, head, std::min(size, SpsHeadBytes)));
        at += size;
    }
    return frame;
}
