// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <QWebEnginePage>

class QWebEngineProfile;

/// The page of the layout dialog's preview: it shows only what the dialog loads itself. A
/// click on a link and a script's location change arrive as the same kind of request as the
/// dialog's own load, so the page remembers the one address it was asked to load and refuses
/// every other main-frame navigation; frames inside the page may load local files only.
/// Owned by the preview view; the profile must outlive it.
class TPreviewPage : public QWebEnginePage {
    Q_OBJECT

public:
    TPreviewPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    /// Loads url, fresh from disk.
    void Navigate(const QUrl& url);
    /// Loads the page shown again, bypassing every cache, so rewritten pictures show.
    void Refresh();

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    /// The address the dialog asked for; empty once that navigation has been let through.
    QUrl m_allowed;
};
