// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

/// A page or picture that a generator skipped, and why. The generators go on after such a
/// failure; callers may show the list once the run is over.
struct TKelGenerationFailure {
    /// The file that was to be read or written.
    std::string FileName;
    std::string Message;
};
