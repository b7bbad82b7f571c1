// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/FileUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "generator/KelErrors.h"
#include "generator/KelText.h"

namespace kelvo {

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EFileError("Cannot open \"" + path + "\": " + std::strerror(errno));
    std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw EFileError("Cannot read \"" + path + "\"");
    return data;
}

std::vector<std::filesystem::directory_entry> ListDirectory(const std::filesystem::path& dir) {
    std::vector<std::filesystem::directory_entry> entries;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name.front() != '.')
            entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        const std::string na = a.path().filename().string();
        const std::string nb = b.path().filename().string();
        const int c = CompareTextAZ(na, nb);
        return c != 0 ? c < 0 : na < nb;
    });
    return entries;
}

std::string IncludeTrailingDelimiter(std::string path) {
    if (path.empty() || path.back() != PathDelim)
        path += PathDelim;
    return path;
}

} // namespace kelvo
