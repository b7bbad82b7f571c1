// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The link form of names: it keeps the folder, and the name it makes stays inside it.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/FileUtils.h"
#include "generator/TKelPageGenerator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // First byte: convert slashes or not; the rest is a path, split at its last delimiter.
    const bool convert = (data[0] & 1) != 0;
    const std::string path(fuzz::Bytes(data + 1, size - 1));
    const std::string url = TKelPageGenerator::MakeUrl(path, convert);

    std::string expectedFolder = path;
    if (convert)
        for (char& c : expectedFolder)
            c = c == '\\' ? '/' : c;
    const auto delimiter = expectedFolder.find_last_of("/\\");
    expectedFolder.erase(delimiter == std::string::npos ? 0 : delimiter + 1);
    if (url.compare(0, expectedFolder.size(), expectedFolder) != 0)
        fuzz::Fail("the folder part changed");

    const std::string_view name = std::string_view(url).substr(expectedFolder.size());
    for (const char c : name) {
        const bool kept = c == '.' || c == ':' || c == '_' || (c >= '0' && c <= '9') ||
                          (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!kept)
            fuzz::Fail("the name holds a character the link form drops");
    }
    // Both kinds of delimiter count, as a link does when it is followed on either system.
    const auto slashed = [](std::string text) {
        std::replace(text.begin(), text.end(), '\\', '/');
        return "/base/" + text;
    };
    const std::string_view original = std::string_view(path).substr(expectedFolder.size());
    if (original != "." && original != ".." &&
        !kelvo::IsInsideFolder(slashed(url), slashed(expectedFolder)))
        fuzz::Fail("the name leaves its folder");
    return 0;
}
