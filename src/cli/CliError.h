// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

/// A failure that ends a kelvo-cli command with a message on stderr and exit status 1.
class CliError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Exit statuses of kelvo-cli.
enum class ExitStatus : int { Success = 0, Failure = 1, Usage = 2, Cancelled = 130 };
