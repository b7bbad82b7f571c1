// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TPreviewPage.h"

TPreviewPage::TPreviewPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {}

void TPreviewPage::Navigate(const QUrl& url) {
    m_allowed = url;
    if (url == this->url())
        triggerAction(QWebEnginePage::ReloadAndBypassCache);
    else
        load(url);
}

void TPreviewPage::Refresh() {
    m_allowed = url();
    triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

bool TPreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    if (!isMainFrame)
        return url.isLocalFile() || url.scheme() == QLatin1String("about");
    // One request per load the dialog started: a load that is overtaken by the next one cannot
    // close the window for it, and nothing after it gets through.
    const bool allowed = !m_allowed.isEmpty() && url.adjusted(QUrl::RemoveFragment) == m_allowed;
    if (allowed)
        m_allowed.clear();
    return allowed;
}
