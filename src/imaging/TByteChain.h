// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

/// Pieces of a file read as one run of bytes without copying them, as a HEIF item's data is
/// the concatenation of its extents (and a decoder gets its configuration in front of it).
/// Holds views: the bytes must outlive it.
class TByteChain {
public:
    explicit TByteChain(std::vector<std::string_view> pieces);

    std::size_t Size() const { return m_starts.back(); }
    /// Copies up to count bytes from position on into out; returns how many there were.
    std::size_t Copy(std::size_t position, std::uint8_t* out, std::size_t count) const;

private:
    std::vector<std::string_view> m_pieces;
    // Where each piece starts in the run, and its total size last.
    std::vector<std::size_t> m_starts;
};
