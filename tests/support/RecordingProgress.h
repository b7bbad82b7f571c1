// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "model/TCustomProgress.h"

/// A progress sink for tests: records what the generators report, and asks them to stop from
/// a given query on, or once a number of steps has been reported.
class RecordingProgress : public TCustomProgress {
public:
    int GetMax() const override { return Max; }
    void SetMax(int value) override { Max = value; }
    void Reset() override { Position = 0; }
    void Step(int delta, const std::string& text) override {
        Position += delta;
        Total += delta;
        Texts.push_back(text);
    }
    bool IsCancelled() override {
        const int query = Queries++;
        return (CancelAtQuery >= 0 && query >= CancelAtQuery) ||
               (CancelAfterSteps >= 0 && Total >= CancelAfterSteps);
    }

    /// The 0-based query from which IsCancelled answers true; -1 for never.
    int CancelAtQuery = -1;
    /// IsCancelled answers true once this many steps were reported; -1 for never.
    int CancelAfterSteps = -1;

    int Max = 0;
    int Position = 0;
    /// Steps reported since creation, across resets.
    int Total = 0;
    int Queries = 0;
    std::vector<std::string> Texts;
};
