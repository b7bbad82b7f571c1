// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

/// The progress sink through which the generators report how far a run has come and learn
/// that the user wants to stop. The output dialog implements it; callers hold one they do not
/// own, and may be given none.
class TCustomProgress {
public:
    virtual ~TCustomProgress() = default;

    /// The maximum of the progress range.
    virtual int GetMax() const = 0;
    /// Sets the maximum: the total number of steps of a run.
    virtual void SetMax(int value) = 0;
    /// Position 0, empty text and the cancel request cleared; called at the start of a run.
    virtual void Reset() = 0;
    /// Advances the position by delta and shows text (what is being worked on).
    virtual void Step(int delta, const std::string& text) = 0;
    /// Lets the user interface handle pending input first, then reports whether the user asked
    /// to stop. The generators ask before each unit of work.
    virtual bool IsCancelled() = 0;
};
