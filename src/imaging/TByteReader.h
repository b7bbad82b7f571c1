// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

/// Reads big-endian fields from the front of a span of bytes. A read past the end gives 0 and
/// leaves Ok() false for good, so a parser reads a whole record and checks once. Holds a view:
/// the bytes must outlive it.
class TByteReader {
public:
    explicit TByteReader(std::string_view bytes)
        : m_rest(bytes) {}

    /// An unsigned field of bytes (0 to 8) bytes.
    std::uint64_t Read(std::size_t bytes) {
        if (bytes > 8 || bytes > m_rest.size()) {
            m_ok = false;
            m_rest = {};
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value = value << 8 | static_cast<std::uint8_t>(m_rest[i]);
        m_rest.remove_prefix(bytes);
        return value;
    }
    std::uint32_t U8() { return static_cast<std::uint32_t>(Read(1)); }
    std::uint32_t U16() { return static_cast<std::uint32_t>(Read(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Read(4)); }
    /// A 16-bit field when wide is false, else a 32-bit one (the box versions' two widths).
    std::uint32_t U16or32(bool wide) { return wide ? U32() : U16(); }

    /// The next count bytes as a view; an empty view and Ok() false when fewer are left.
    std::string_view Take(std::size_t count) {
        if (count > m_rest.size()) {
            m_ok = false;
            m_rest = {};
            return {};
        }
        const std::string_view taken = m_rest.substr(0, count);
        m_rest.remove_prefix(count);
        return taken;
    }

    std::string_view Rest() const { return m_rest; }
    bool Ok() const { return m_ok; }

private:
    std::string_view m_rest;
    bool m_ok = true;
};
