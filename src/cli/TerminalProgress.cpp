// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalProgress.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted = true;
    std::signal(SIGINT, SIG_DFL); // a second Ctrl+C ends the program at once
}

int TerminalWidth() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20)
        return size.ws_col;
    return 80;
}

} // namespace

TerminalProgress::TerminalProgress(bool quiet)
    : m_quiet(quiet)
    , m_terminal(isatty(STDERR_FILENO) != 0) {
    interrupted = false;
    std::signal(SIGINT, OnInterrupt);
}

TerminalProgress::~TerminalProgress() {
    Finish();
    std::signal(SIGINT, SIG_DFL);
}

void TerminalProgress::Reset() {
    m_position = 0;
    interrupted = false;
}

bool TerminalProgress::IsCancelled() {
    return interrupted;
}

void TerminalProgress::Step(int delta, const std::string& text) {
    m_position += delta;
    if (m_quiet)
        return;
    if (!m_terminal) {
        const int percent = m_max > 0 ? static_cast<int>(100LL * m_position / m_max) : 0;
        std::fprintf(stderr, "[%3d%%] %s\n", std::min(percent, 100), text.c_str());
        return;
    }
    // Redrawing for every step of a large run would cost more than it shows.
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && m_position < m_max && now - m_lastDraw < std::chrono::milliseconds(50))
        return;
    m_lastDraw = now;
    Draw(text);
}

void TerminalProgress::Draw(const std::string& text) {
    const int width = TerminalWidth();
    const int barWidth = std::clamp(width / 3, 10, 40);
    const double fraction = m_max > 0 ? std::min(1.0, static_cast<double>(m_position) / m_max) : 0;
    const int filled = static_cast<int>(fraction * barWidth);
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(barWidth - filled), '.') + "] ";
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%% ", static_cast<int>(fraction * 100));
    line += percent;
    // Show the end of a long path: the file name matters most.
    const auto room =
        static_cast<std::size_t>(std::max(0, width - 1 - static_cast<int>(line.size())));
    if (text.size() <= room)
        line += text;
    else if (room > 3)
        line += "..." + text.substr(text.size() - (room - 3));
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    m_drawn = true;
}

void TerminalProgress::Finish() {
    if (m_drawn) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        m_drawn = false;
    }
}
