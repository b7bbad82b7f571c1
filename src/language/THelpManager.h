// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QObject;
class THelpManager;

/// A help viewer as the help manager sees it: what it can show, and the requests it carries out.
/// Registered with THelpManager::RegisterViewer.
class ICustomHelpViewer {
public:
    virtual ~ICustomHelpViewer() = default;

    virtual QString GetViewerName() const = 0;
    /// How many help strings the viewer has for the keyword; 0 when it cannot show it.
    virtual int UnderstandsKeyword(const QString& helpString) const = 0;
    virtual QStringList GetHelpStrings(const QString& helpString) const = 0;
    virtual bool CanShowTableOfContents() const = 0;
    virtual void ShowTableOfContents() = 0;
    /// Shows one of the strings GetHelpStrings gave.
    virtual void ShowHelp(const QString& helpString) = 0;
    /// Called on registration with the number the manager knows the viewer by.
    virtual void NotifyID(int viewerId) = 0;
    /// Closes the viewer's windows.
    virtual void SoftShutDown() = 0;
    /// Closes the viewer's windows and lets go of the manager.
    virtual void ShutDown() = 0;
    virtual bool UnderstandsTopic(const QString& topic) const = 0;
    virtual void DisplayTopic(const QString& topic) = 0;
    virtual bool UnderstandsContext(int contextId, const QString& helpFileName) const = 0;
    virtual void DisplayHelpByContext(int contextId, const QString& helpFileName) = 0;

    /// Called by RegisterViewer with the manager that will ask the viewer from now on.
    virtual void SetHelpManager(THelpManager* manager) = 0;
};

/// Chooses between viewers when more than one can answer a request.
class IHelpSelector {
public:
    virtual ~IHelpSelector() = default;
    /// The index of the help string to show.
    virtual int SelectKeyword(const QStringList& keywords) = 0;
    /// The index of the viewer (by name) that shows the table of contents, or -1 for none.
    virtual int TableOfContents(const QStringList& contents) = 0;
};

/// Decides whether the old WinHelp route takes a request. This program has no WinHelp viewer,
/// so a request it claims is shown by nobody.
class IWinHelpTester {
public:
    virtual ~IWinHelpTester() = default;
    virtual bool CanShowALink(const QString& aLink, const QString& fileName) const = 0;
    virtual bool CanShowTopic(const QString& topic, const QString& fileName) const = 0;
    virtual bool CanShowContext(int context, const QString& fileName) const = 0;
    virtual QStringList GetHelpStrings(const QString& aLink) const = 0;
    virtual QString GetHelpPath() const = 0;
    virtual QString GetDefaultHelpFile() const = 0;
};

/// The program's help system: the Help menu, the Help buttons and F1 ask it for the table of
/// contents, a help context, a keyword or a topic, and it hands each request to a registered
/// viewer that understands it. The program makes one in main() and hands it to its windows
/// (TKelvoEnvironment); it owns the viewers, the selector and the tester registered with it, and
/// shuts the viewers down when it is destroyed.
class THelpManager {
public:
    THelpManager();
    ~THelpManager();
    THelpManager(const THelpManager&) = delete;
    THelpManager& operator=(const THelpManager&) = delete;

    /// Stores the viewer, hands it this manager and then its number.
    void RegisterViewer(std::shared_ptr<ICustomHelpViewer> viewer);
    /// Forgets the viewer with that number (a viewer at its end calls this).
    void Release(int viewerId);
    void SetHelpSelector(std::shared_ptr<IHelpSelector> selector);
    void SetWinHelpTester(std::shared_ptr<IWinHelpTester> tester);

    /// The application's help file; the main window sets the one of the user's language.
    QString HelpFile() const { return m_helpFile; }
    void SetHelpFile(const QString& value) { m_helpFile = value; }

    /// For viewers: the window that owns help windows during the current request (may be none),
    /// and the help file the current request names (empty when it names none).
    QObject* GetHandle() const { return m_handle; }
    QString GetHelpFile() const { return m_requestFile; }

    /// The requests. Each returns whether a viewer took it; owner is the window asking.
    bool ShowTableOfContents(QObject* owner = nullptr);
    bool ShowHelpContext(int contextId, QObject* owner = nullptr);
    bool ShowKeyword(const QString& keyword, QObject* owner = nullptr);
    bool ShowTopic(const QString& topic, QObject* owner = nullptr);

private:
    struct TRegistered {
        int Id;
        std::shared_ptr<ICustomHelpViewer> Viewer;
    };
    class TRequest;

    std::vector<TRegistered> m_viewers;
    std::shared_ptr<IHelpSelector> m_selector;
    std::shared_ptr<IWinHelpTester> m_tester;
    QString m_helpFile;
    QString m_requestFile;
    QObject* m_handle = nullptr;
    int m_nextId = 1;
};
