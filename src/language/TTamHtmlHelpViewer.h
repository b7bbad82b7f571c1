// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "language/THelpManager.h"

#include <QString>
#include <QVariant>

#include <functional>

/// The viewer of the program's compiled HTML help (.chm): answers the help manager's questions
/// by whether the help file is usable and carries out its requests as HTML Help commands through
/// HtmlHelpProc, which the desktop program points at its help window. Without a HtmlHelpProc,
/// or without a usable help file, every request does nothing.
///
/// The program makes one in main(), registers it with the help manager (which owns it from then
/// on) and makes it the manager's selector.
class TTamHtmlHelpViewer : public ICustomHelpViewer, public IHelpSelector {
public:
    /// The HTML Help commands the viewer sends.
    enum class THtmlHelpCommand {
        DisplayTopic = 0,
        DisplayToc = 1,
        DisplayIndex = 2,
        HelpContext = 15,
        CloseAll = 18,
    };
    /// Carries out one command: the owner window (may be none), the file argument ("file.chm",
    /// or "file.chm::/page.htm" for a page), the command and its data (0, a keyword or a context
    /// number).
    using THtmlHelpProc = std::function<void(QObject* owner, const QString& file,
                                             THtmlHelpCommand command, const QVariant& data)>;

    TTamHtmlHelpViewer();
    ~TTamHtmlHelpViewer() override;

    void SetHtmlHelpProc(THtmlHelpProc proc) { m_htmlHelpProc = std::move(proc); }
    int ViewerID() const { return m_viewerId; }
    QString Name() const { return m_name; }
    QString DefaultExtension() const { return m_defaultExtension; }
    THelpManager* HelpManager() const { return m_helpManager; }

    QString GetViewerName() const override;
    int UnderstandsKeyword(const QString& helpString) const override;
    QStringList GetHelpStrings(const QString& helpString) const override;
    bool CanShowTableOfContents() const override;
    void ShowTableOfContents() override;
    void ShowHelp(const QString& helpString) override;
    void NotifyID(int viewerId) override;
    void SoftShutDown() override;
    void ShutDown() override;
    bool UnderstandsTopic(const QString& topic) const override;
    void DisplayTopic(const QString& topic) override;
    bool UnderstandsContext(int contextId, const QString& helpFileName) const override;
    void DisplayHelpByContext(int contextId, const QString& helpFileName) override;
    void SetHelpManager(THelpManager* manager) override { m_helpManager = manager; }

    int SelectKeyword(const QStringList& keywords) override;
    int TableOfContents(const QStringList& contents) override;

    /// The help file of the current request: the manager's request file, else the application's
    /// help file; empty when no file of that name exists.
    QString HelpFile() const;
    /// A help file is usable when it has a name ending in ".chm", in any letter case.
    static bool IsUsableHelpFile(const QString& fileName);

private:
    void HtmlHelp(const QString& file, THtmlHelpCommand command, const QVariant& data);

    int m_viewerId = 0;
    QString m_name;
    THtmlHelpProc m_htmlHelpProc;
    THelpManager* m_helpManager = nullptr;
    QString m_defaultExtension;
};
