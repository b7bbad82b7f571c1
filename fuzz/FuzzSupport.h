// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// Helpers shared by the fuzz targets: the loaders read files, so inputs go through files in
/// memory, and a broken invariant must end the run as a crash that libFuzzer records.
namespace fuzz {

/// A file in memory (memfd) holding data, named by a /proc/self/fd path; one per process,
/// rewritten for every input, so no disk is involved.
const std::string& MemoryFile(std::string_view data);

/// A fresh, empty folder below /dev/shm (else the temporary folder) for this process, ending
/// in '/'; emptied again by every call.
const std::string& ScratchFolder();

/// Prints what broke and aborts, which libFuzzer reports as a crash with the input.
[[noreturn]] void Fail(const std::string& what);

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace fuzz
