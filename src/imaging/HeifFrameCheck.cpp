// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/HeifFrameCheck.h"

#include <optional>
#include <string>

#include "base/KelErrors.h"
#include "imaging/Av1CodedFrame.h"
#include "imaging/HevcCodedFrame.h"
#include "imaging/TBM_Bitmap.h"
#include "imaging/TByteChain.h"
#include "imaging/TByteReader.h"
#include "imaging/TCodedFrame.h"
#include "imaging/THeifItems.h"

namespace {

constexpr auto Code = THeifItems::Code;
// NAL units and OBUs read in all; real pictures have a few per tile.
constexpr std::int64_t MaxCodedUnits = 1 << 16;

// The canvas of a grid or overlay, from the start of its data: version, flags (bit 0: 32-bit
// sizes), then the grid's rows and columns or the overlay's four fill values, then the size.
std::optional<TCodedFrame> CanvasFrame(const THeifItems::TItem& item, bool grid) {
    std::uint8_t head[20];
    TByteReader in({reinterpret_cast<const char*>(head), TByteChain(item.Data).Copy(0, head, 20)});
    in.U8();
    const bool wide = (in.U8() & 1) != 0;
    in.Read(grid ? 2 : 8);
    const std::int64_t width = in.U16or32(wide);
    const std::int64_t height = in.U16or32(wide);
    if (!in.Ok())
        return std::nullopt;
    return TCodedFrame{width, height, width, height};
}

// What the decoder of item allocates; nothing for what libheif does not decode.
std::optional<TCodedFrame> FrameOf(const THeifItems::TItem& item, std::int64_t& units) {
    if (item.Type == Code("hvc1"))
        return HevcCodedFrame(item.HevcConfigs, TByteChain(item.Data), units);
    if (item.Type == Code("av01"))
        return Av1CodedFrame(item.Av1Configs, item.Data, units);
    if (item.Type == Code("grid") || item.Type == Code("iovl"))
        return CanvasFrame(item, item.Type == Code("grid"));
    return std::nullopt;
}

std::string SizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

void CheckHeifCodedFrames(std::string_view bytes, std::uint32_t id) {
    std::int64_t units = MaxCodedUnits;
    const THeifItems items(bytes);
    for (const THeifItems::TItem* item : items.DecodedWith(id)) {
        const std::optional<TCodedFrame> frame = FrameOf(*item, units);
        if (!frame)
            continue;
        TBM_Bitmap::CheckSize(frame->Width, frame->Height);
        TBM_Bitmap::CheckDataSize(frame->Width, frame->Height,
                                  static_cast<std::int64_t>(bytes.size()));
        const auto padded = [](std::int64_t side) { return 2 * ((side + 63) / 64 * 64); };
        if (item->Width >= 0 &&
            (frame->MaxWidth > padded(item->Width) || frame->MaxHeight > padded(item->Height)))
            throw EImageError("A coded picture of " + SizeText(frame->MaxWidth, frame->MaxHeight) +
                              " pixels is far larger than its declared " +
                              SizeText(item->Width, item->Height));
    }
}
