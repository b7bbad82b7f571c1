// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Content hashes (XXH3, 64 bits) that tell whether bytes changed. Not meant to resist anyone
/// forging a collision: they only compare a file with what was there before.
namespace kelvo {

std::uint64_t HashBytes(std::string_view data);

/// The hash of the whole file, read in blocks. Raises EFileError naming the file when it cannot
/// be read or is not a regular file.
std::uint64_t HashFile(const std::string& path);

/// A hash as 16 lower-case hexadecimal digits.
std::string HashText(std::uint64_t hash);

} // namespace kelvo
