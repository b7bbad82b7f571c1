// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "model/TCustomProgress.h"

/// Records what the generators report; asks them to stop from a query on or after some steps.
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

    int CancelAtQuery = -1;    ///< the 0-based query from which to cancel; -1 for never
    int CancelAfterSteps = -1; ///< cancel once this many steps were reported; -1 for never

    int Max = 0;
    int Position = 0;
    int Total = 0; ///< steps reported since creation, across resets
    int Queries = 0;
    std::vector<std::string> Texts;
};
