// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/TByteChain.h"

#include <algorithm>
#include <cstring>
#include <utility>

TByteChain::TByteChain(std::vector<std::string_view> pieces)
    : m_pieces(std::move(pieces)) {
    m_starts.reserve(m_pieces.size() + 1);
    std::size_t start = 0;
    for (const std::string_view piece : m_pieces) {
        m_starts.push_back(start);
        start += piece.size();
    }
    m_starts.push_back(start);
}

std::size_t TByteChain::Copy(std::size_t position, std::uint8_t* out, std::size_t count) const {
    if (position >= Size())
        return 0;
    // The last piece starting at or before position (empty pieces share a start).
    std::size_t piece = static_cast<std::size_t>(
        std::upper_bound(m_starts.begin(), m_starts.end() - 1, position) - m_starts.begin() - 1);
    std::size_t copied = 0;
    for (std::size_t at = position - m_starts[piece]; copied < count && piece < m_pieces.size();
         ++piece, at = 0) {
        const std::size_t n = std::min(count - copied, m_pieces[piece].size() - at);
        if (n > 0)
            std::memcpy(out + copied, m_pieces[piece].data() + at, n);
        copied += n;
    }
    return copied;
}
