// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/TTamWinHelpTester.h"

bool TTamWinHelpTester::CanShowALink(const QString&, const QString&) const {
    return false;
}

bool TTamWinHelpTester::CanShowTopic(const QString&, const QString&) const {
    return false;
}

bool TTamWinHelpTester::CanShowContext(int, const QString&) const {
    return false;
}

QStringList TTamWinHelpTester::GetHelpStrings(const QString& aLink) const {
    return {QStringLiteral(": ") + aLink};
}

QString TTamWinHelpTester::GetHelpPath() const {
    return {};
}

QString TTamWinHelpTester::GetDefaultHelpFile() const {
    return {};
}
