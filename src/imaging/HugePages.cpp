// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/HugePages.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

void AdviseHugePages([[maybe_unused]] std::uint8_t* bytes, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t HugePage = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(bytes);
    const std::uintptr_t begin = (start + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t end = (start + size) & ~(HugePage - 1);
    if (end > begin)
        madvise(bytes + (begin - start), end - begin, MADV_HUGEPAGE);
#endif
}
