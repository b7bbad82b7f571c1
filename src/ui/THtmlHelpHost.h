// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>

#include "language/TTamHtmlHelpViewer.h"

class TfrmHelp;
class TTamLanguage;

/// Carries out the help viewer's HTML Help commands with the program's help window: makes it on
/// the first request, places it under the window that asked (so that a modal dialog does not
/// block it, and it goes with that window), and closes it on "close all". Made once in main()
/// and handed to the viewer as its HtmlHelpProc.
class THtmlHelpHost {
public:
    explicit THtmlHelpHost(TTamLanguage& language);
    ~THtmlHelpHost();
    THtmlHelpHost(const THtmlHelpHost&) = delete;
    THtmlHelpHost& operator=(const THtmlHelpHost&) = delete;

    void HtmlHelp(QObject* owner, const QString& file, TTamHtmlHelpViewer::THtmlHelpCommand command,
                  const QVariant& data);
    /// The help window, or none while no help is shown.
    TfrmHelp* Window() const { return m_window; }

private:
    TfrmHelp* WindowFor(QObject* owner);

    TTamLanguage& m_language;
    QPointer<TfrmHelp> m_window;
};
