// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileUtils.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/KelErrors.h"
#include "base/KelText.h"

namespace fs = std::filesystem;

namespace kelvo {

int OpenRegularFile(const std::string& path) {
    // Without O_NONBLOCK opening a named pipe waits for a writer; for files it changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw EFileError("Cannot open \"" + path + "\": " + std::strerror(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw EFileError("Cannot read \"" + path + "\": not a file");
    }
    return fd;
}

void ReadFileBlocks(const std::string& path,
                    const std::function<void(std::string_view block)>& consume) {
    // Closed also when consume raises.
    struct TDescriptor {
        int Value;
        ~TDescriptor() { ::close(Value); }
    } const fd{OpenRegularFile(path)};
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Value, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EFileError("Cannot read \"" + path + "\": " + std::strerror(errno));
        if (n == 0)
            break;
        consume(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
}

std::string ReadFileBytes(const std::string& path) {
    std::string data;
    ReadFileBlocks(path, [&](std::string_view block) { data.append(block); });
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

bool IsSafeSubFolder(std::string_view directory) {
    if (directory.empty())
        return true;
    // Rooted on some platform: "/x", "\x", "C:x" and "C:\x" all leave the gallery.
    if (directory.front() == '/' || directory.front() == '\\')
        return false;
    if (directory.size() >= 2 && directory[1] == ':')
        return false;
    std::size_t start = 0;
    while (start <= directory.size()) {
        const std::size_t end = directory.find_first_of("/\\", start);
        const std::string_view part =
            directory.substr(start, end == std::string_view::npos ? end : end - start);
        if (part == "..")
            return false;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return true;
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

namespace {

constexpr std::size_t TemporarySuffixLength = 8;

std::string ErrorText(const std::string& fileName, const char* what, int error) {
    return "Cannot write \"" + fileName + "\": " + what + ": " + std::strerror(error);
}

void WriteAll(int fd, std::string_view data, const std::string& fileName) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError(ErrorText(fileName, "write", errno));
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

void WriteFileBytes(const std::string& fileName, std::string_view data, bool flushToDisk,
                    bool ownerOnly) {
    fs::path target = fileName;
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    if (target.filename().empty())
        throw EFileError("Cannot write \"" + fileName + "\": not a file name");

    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        throw EFileError("Cannot write \"" + fileName + "\": not a regular file");

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = TemporaryFileName(target.string());
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    ownerOnly ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            throw EFileError(ErrorText(fileName, "create", errno));
    }
    if (fd < 0)
        throw EFileError(ErrorText(fileName, "create", EEXIST));

    try {
        // The new file keeps the permissions the user gave the old one.
        if (replacing && !ownerOnly && ::fchmod(fd, old.st_mode & 07777) != 0)
            throw EFileError(ErrorText(fileName, "chmod", errno));
        WriteAll(fd, data, fileName);
        if (flushToDisk && ::fsync(fd) != 0)
            throw EFileError(ErrorText(fileName, "flush", errno));
        const int closed = ::close(fd);
        fd = -1;
        if (closed != 0)
            throw EFileError(ErrorText(fileName, "close", errno));
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            throw EFileError(ErrorText(fileName, "rename", errno));
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }

    if (!flushToDisk)
        return;
    // Make the rename itself durable; the file is complete either way.
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

// The random part keeps writers, also parallel ones (one generator per thread), from meeting.
std::string TemporaryFileName(const std::string& target, std::string_view keepExtension) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix(TemporarySuffixLength, '0');
    for (char& c : suffix)
        c = Digits[random() % (sizeof(Digits) - 1)];
    const fs::path path = target;
    return (path.parent_path() /
            ("." + path.filename().string() + "." + suffix + ".tmp" + std::string(keepExtension)))
        .string();
}

bool IsTemporaryFileNameOf(std::string_view name, std::string_view targetName) {
    const std::string head = "." + std::string(targetName) + ".";
    if (!name.starts_with(head))
        return false;
    name.remove_prefix(head.size());
    if (name.size() < TemporarySuffixLength + 4)
        return false;
    for (const char c : name.substr(0, TemporarySuffixLength))
        if (!std::isdigit(static_cast<unsigned char>(c)) && !(c >= 'a' && c <= 'z'))
            return false;
    name.remove_prefix(TemporarySuffixLength);
    if (!name.starts_with(".tmp"))
        return false;
    name.remove_prefix(4);
    const auto dot = targetName.rfind('.');
    return name.empty() || (dot != std::string_view::npos && name == targetName.substr(dot));
}

} // namespace kelvo
