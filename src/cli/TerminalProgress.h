// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

#include "model/TCustomProgress.h"

/// kelvo-cli's progress sink: a bar on stderr when that is a terminal, plain lines when it is
/// not, nothing when quiet. Ctrl+C (SIGINT) asks the run to stop at the generators' next query;
/// a second Ctrl+C ends the program at once.
class TerminalProgress : public TCustomProgress {
public:
    explicit TerminalProgress(bool quiet);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    int GetMax() const override { return m_max; }
    void SetMax(int value) override { m_max = value; }
    void Reset() override;
    void Step(int delta, const std::string& text) override;
    bool IsCancelled() override;

    /// Clears the bar so that the next message starts on an empty line.
    void Finish();

private:
    void Draw(const std::string& text);

    bool m_quiet;
    bool m_terminal;
    int m_max = 0;
    int m_position = 0;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw;
};
