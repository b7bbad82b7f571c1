// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class THelpManager;
class TPrompts;
class TSettings;
class TTamLanguage;

/// What every window of the program works with: one language, one settings object, one
/// seam for message boxes and file dialogs and the help for the program's whole run, made in
/// main() and handed to each window's constructor. Tests make their own. Nothing here is owned.
struct TKelvoEnvironment {
    TTamLanguage& Language;
    TSettings& Settings;
    TPrompts& Prompts;
    /// Where the Help menu and the Help buttons ask for help; none shows no help.
    THelpManager* Help = nullptr;
};
