// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/THelpManager.h"

/// Keeps the WinHelp route from claiming any request, so that every request reaches the HTML
/// help viewer. The program installs one in the help manager at start.
class TTamWinHelpTester : public IWinHelpTester {
public:
    bool CanShowALink(const QString& aLink, const QString& fileName) const override;
    bool CanShowTopic(const QString& topic, const QString& fileName) const override;
    bool CanShowContext(int context, const QString& fileName) const override;
    QStringList GetHelpStrings(const QString& aLink) const override;
    QString GetHelpPath() const override;
    QString GetDefaultHelpFile() const override;
};
