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

std::string ExtractFileName(const std::string& path) {
    const auto slash = path.rfind(PathDelim);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFilePath(const std::string& path) {
    const auto slash = path.rfind(PathDelim);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string RelativePath(const std::string& fromDir, const std::string& target) {
    const std::filesystem::path from = std::filesystem::path(fromDir).lexically_normal();
    const std::filesystem::path to = std::filesystem::path(target).lexically_normal();
    std::string result =
        to.lexically_relative(from.has_filename() ? from : from.parent_path()).generic_string();
    return result.empty() ? target : result;
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    const std::filesystem::path base = std::filesystem::path(folder).lexically_normal();
    const std::filesystem::path rel =
        std::filesystem::path(path).lexically_normal().lexically_relative(base);
    if (rel.empty())
        return false;
    const auto first = *rel.begin();
    return first != "..";
}

void WriteFileBytes(const std::string& path, std::string_view data) {
    const std::string temp = path + ".kelvo-tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out)
            out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            const int error = errno;
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            throw EFileError("Cannot write \"" + path + "\": " + std::strerror(error));
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw EFileError("Cannot write \"" + path + "\": " + ec.message());
    }
}

} // namespace kelvo
