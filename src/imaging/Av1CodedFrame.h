// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "imaging/TCodedFrame.h"

/// The largest frame that the sequence header OBUs of a HEIF item's AV1 stream declare, as
/// libheif feeds them to the decoder: the configuration OBUs of an av1C (box body) followed by
/// the item's data (its extents), one stream for each av1C. A sequence header's frame may be
/// replaced by a frame header within its frame_width_bits and frame_height_bits, which gives
/// MaxWidth and MaxHeight. Units counts down the OBUs read; raises EImageError when it runs out.
TCodedFrame Av1CodedFrame(const std::vector<std::string_view>& configs,
                          const std::vector<std::string_view>& data, std::int64_t& units);
