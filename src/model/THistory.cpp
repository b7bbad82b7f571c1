// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/THistory.h"

void THistory::Add(const std::string& reason) {
    m_items.push_back(reason);
}

void THistory::Clear() {
    m_items.clear();
}

void THistory::Append(const THistory& other) {
    // Copy first: other may be this history.
    const std::vector<std::string> entries = other.m_items;
    m_items.insert(m_items.end(), entries.begin(), entries.end());
}
