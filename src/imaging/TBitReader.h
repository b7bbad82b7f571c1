// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

/// Reads a coded stream's header fields bit by bit, most significant bit first. Past the end it
/// reads zero bits, as the HEVC decoder does: a header cut short is parsed as the decoder would
/// parse it. Holds a pointer: the bytes must outlive it.
class TBitReader {
public:
    TBitReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size) {}

    /// An unsigned field of bits (0 to 32) bits.
    std::uint32_t Bits(int bits);
    void Skip(std::uint64_t bits) { m_position += bits; }

    /// An Exp-Golomb code, ue(v); nothing when it has 32 or more leading zero bits, which no
    /// decoder accepts.
    std::optional<std::uint32_t> ExpGolomb();
    /// AV1's uvlc(): an Exp-Golomb code whose 32 leading zero bits end it at 2^32 - 1, as the
    /// AV1 decoders read it.
    std::uint32_t Uvlc();

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::uint64_t m_position = 0;
};
