// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "imaging/TByteChain.h"
#include "imaging/TCodedFrame.h"

/// The largest frame that the sequence parameter sets (SPS) of a HEIF item's HEVC stream
/// declare, as libheif feeds them to the decoder: the NAL units of its hvcC configurations
/// (box bodies), then those of its data, each behind a 4-byte big-endian length. Units counts
/// down the NAL units read; raises EImageError when it runs out.
TCodedFrame HevcCodedFrame(const std::vector<std::string_view>& configs, const TByteChain& data,
                           std::int64_t& units);
