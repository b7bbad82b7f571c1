// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/THtmlHelpHost.h"

#include <QWidget>

#include "ui/TfrmHelp.h"

THtmlHelpHost::THtmlHelpHost(TTamLanguage& language)
    : m_language(language) {}

THtmlHelpHost::~THtmlHelpHost() {
    delete m_window;
}

TfrmHelp* THtmlHelpHost::WindowFor(QObject* owner) {
    auto* ownerWidget = qobject_cast<QWidget*>(owner);
    QWidget* parent = ownerWidget ? ownerWidget->window() : nullptr;
    if (!m_window) {
        m_window = new TfrmHelp(m_language, parent);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
    } else if (m_window->parentWidget() != parent) {
        const QRect geometry = m_window->geometry();
        m_window->setParent(parent, Qt::Window);
        m_window->setGeometry(geometry);
    }
    return m_window;
}

void THtmlHelpHost::HtmlHelp(QObject* owner, const QString& file,
                             TTamHtmlHelpViewer::THtmlHelpCommand command, const QVariant& data) {
    using Command = TTamHtmlHelpViewer::THtmlHelpCommand;
    if (command == Command::CloseAll) {
        if (m_window)
            m_window->close();
        return;
    }
    // "file.chm::/page.htm" names a page inside the file.
    const qsizetype separator = file.indexOf(QLatin1String("::"));
    const QString helpFile = separator < 0 ? file : file.left(separator);
    const QString page = separator < 0 ? QString() : file.mid(separator + 2);

    TfrmHelp* window = WindowFor(owner);
    if (!window->OpenHelpFile(helpFile)) {
        window->close();
        return;
    }
    bool shown = true;
    switch (command) {
    case Command::DisplayTopic:
        shown = window->ShowPage(page);
        break;
    case Command::DisplayToc:
        window->ShowContents();
        break;
    case Command::DisplayIndex:
        window->ShowIndex(data.toString());
        break;
    case Command::HelpContext:
        shown = window->ShowContext(data.toInt());
        break;
    case Command::CloseAll:
        break;
    }
    if (!shown && window->CurrentPage().isEmpty()) {
        window->close();
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}
