// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/mman.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzz {

const std::string& MemoryFile(std::string_view data) {
    static const int fd = ::memfd_create("kelvo-fuzz", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0)
        Fail("cannot prepare the in-memory file");
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0)
            Fail("cannot write the in-memory file");
        done += static_cast<std::size_t>(n);
    }
    return path;
}

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        return (base / ("kelvo-fuzz-" + std::to_string(::getpid()))).string() + "/";
    }();
    static const bool cleanup = [] { return std::atexit([] { fs::remove_all(folder); }) == 0; }();
    (void)cleanup;
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    if (ec)
        Fail("cannot create " + folder + ": " + ec.message());
    return folder;
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
    std::abort();
}

} // namespace fuzz
