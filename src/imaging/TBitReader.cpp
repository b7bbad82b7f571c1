// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TBitReader.h"

std::uint32_t TBitReader::Bits(int bits) {
    std::uint32_t value = 0;
    for (int i = 0; i < bits; ++i, ++m_position) {
        const std::uint64_t byte = m_position / 8;
        const int bit = byte < m_size ? m_data[byte] >> (7 - m_position % 8) & 1 : 0;
        value = value << 1 | static_cast<std::uint32_t>(bit);
    }
    return value;
}

std::optional<std::uint32_t> TBitReader::ExpGolomb() {
    int zeros = 0;
    while (Bits(1) == 0)
        if (++zeros == 32)
            return std::nullopt;
    return static_cast<std::uint32_t>((std::uint64_t{1} << zeros) - 1 + Bits(zeros));
}

std::uint32_t TBitReader::Uvlc() {
    return ExpGolomb().value_or(0xFFFFFFFFu);
}
