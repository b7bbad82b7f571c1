// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "CliError.h"

/// What the user asked of each kelvo-cli command, as parsed from the command line.

struct GenerateOptions {
    std::string Project;
    std::string Output;
    std::string Layout;
    std::string Layouts;
    int Jobs = 0;
    bool Fast = false;
    bool Force = false;
    bool Quiet = false;
};

struct NewOptions {
    std::string Project;
    std::vector<std::string> Inputs;
    std::string Layout;
    std::string Layouts;
    std::string Output;
    std::string Sort;
    /// The gallery's language; empty: from the locale.
    std::string Language;
    bool Force = false;
};

struct LayoutsOptions {
    std::string Layouts;
};

struct CheckOptions {
    /// Layout names in the layouts folder or paths to layout folders; none: every layout.
    std::vector<std::string> Names;
    std::string Layouts;
};

ExitStatus RunGenerate(const GenerateOptions& options);
ExitStatus RunNew(const NewOptions& options);
ExitStatus RunLayouts(const LayoutsOptions& options);
ExitStatus RunCheck(const CheckOptions& options);
