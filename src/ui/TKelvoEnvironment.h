// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TPrompts;
class TSettings;
class TTamLanguage;

/// What every window of the program works with: one language, one settings object and one
/// seam for message boxes and file dialogs for the program's whole run, made in main() and
/// handed to each window's constructor. Tests make their own. Nothing here is owned.
struct TKelvoEnvironment {
    TTamLanguage& Language;
    TSettings& Settings;
    TPrompts& Prompts;
};
