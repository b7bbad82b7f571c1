// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

/// A decoder writing a fresh 24-megapixel picture touches 96 MB of new memory; in 4 KB pages
/// that is 24,000 page faults, which in a virtual machine cost more than the decoding itself.
/// Where the kernel gives transparent huge pages on request, this asks for them for the aligned
/// interior of the bytes (2 MB pages: 48 faults). Only advice, given before the bytes are first
/// written; nothing changes if refused.
void AdviseHugePages(std::uint8_t* bytes, std::size_t size);
