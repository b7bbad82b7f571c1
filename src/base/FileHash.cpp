// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileHash.h"

#include <cstdio>
#include <memory>
#include <new>

#include <xxhash.h>

#include "base/FileUtils.h"

namespace kelvo {

std::uint64_t HashBytes(std::string_view data) {
    return XXH3_64bits(data.data(), data.size());
}

std::uint64_t HashFile(const std::string& path) {
    const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                         &XXH3_freeState);
    if (!state || XXH3_64bits_reset(state.get()) != XXH_OK)
        throw std::bad_alloc();
    ReadFileBlocks(path, [&](std::string_view block) {
        XXH3_64bits_update(state.get(), block.data(), block.size());
    });
    return XXH3_64bits_digest(state.get());
}

std::string HashText(std::uint64_t hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

} // namespace kelvo
