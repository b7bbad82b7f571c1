// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/TTamHtmlHelpViewer.h"

#include <QFileInfo>

namespace {

// The text behind the first ":" (all of it without one), trimmed of blanks and control
// characters at both ends.
QString KeywordOf(const QString& helpString) {
    const qsizetype colon = helpString.indexOf(QLatin1Char(':'));
    const QString keyword = colon < 0 ? helpString : helpString.mid(colon + 1);
    qsizetype first = 0;
    qsizetype last = keyword.size();
    while (first < last && keyword[first].unicode() <= ' ')
        ++first;
    while (last > first && keyword[last - 1].unicode() <= ' ')
        --last;
    return keyword.mid(first, last - first);
}

} // namespace

TTamHtmlHelpViewer::TTamHtmlHelpViewer()
    : m_name(QStringLiteral("TamHtmlHelp"))
    , m_defaultExtension(QStringLiteral(".htm")) {}

TTamHtmlHelpViewer::~TTamHtmlHelpViewer() = default;

bool TTamHtmlHelpViewer::IsUsableHelpFile(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return !fileName.isEmpty() && dot >= 0 &&
           fileName.mid(dot).compare(QLatin1String(".chm"), Qt::CaseInsensitive) == 0;
}

QString TTamHtmlHelpViewer::HelpFile() const {
    QString name;
    if (m_helpManager) {
        name = m_helpManager->GetHelpFile();
        if (name.isEmpty())
            name = m_helpManager->HelpFile();
    }
    return QFileInfo(name).isFile() ? name : QString();
}

void TTamHtmlHelpViewer::HtmlHelp(const QString& file, THtmlHelpCommand command,
                                  const QVariant& data) {
    if (m_htmlHelpProc)
        m_htmlHelpProc(m_helpManager ? m_helpManager->GetHandle() : nullptr, file, command, data);
}

QString TTamHtmlHelpViewer::GetViewerName() const {
    return m_name;
}

int TTamHtmlHelpViewer::UnderstandsKeyword(const QString&) const {
    return IsUsableHelpFile(HelpFile()) ? 1 : 0;
}

QStringList TTamHtmlHelpViewer::GetHelpStrings(const QString& helpString) const {
    return {QStringLiteral("%1: %2").arg(m_name, helpString)};
}

bool TTamHtmlHelpViewer::CanShowTableOfContents() const {
    return true;
}

void TTamHtmlHelpViewer::ShowTableOfContents() {
    const QString file = HelpFile();
    if (IsUsableHelpFile(file))
        HtmlHelp(file, THtmlHelpCommand::DisplayToc, 0);
}

void TTamHtmlHelpViewer::ShowHelp(const QString& helpString) {
    const QString file = HelpFile();
    if (IsUsableHelpFile(file))
        HtmlHelp(file, THtmlHelpCommand::DisplayIndex, KeywordOf(helpString));
}

void TTamHtmlHelpViewer::NotifyID(int viewerId) {
    m_viewerId = viewerId;
}

void TTamHtmlHelpViewer::SoftShutDown() {
    HtmlHelp(QString(), THtmlHelpCommand::CloseAll, 0);
}

void TTamHtmlHelpViewer::ShutDown() {
    SoftShutDown();
    m_helpManager = nullptr;
}

bool TTamHtmlHelpViewer::UnderstandsTopic(const QString&) const {
    return IsUsableHelpFile(HelpFile());
}

void TTamHtmlHelpViewer::DisplayTopic(const QString& topic) {
    const QString file = HelpFile();
    if (!IsUsableHelpFile(file))
        return;
    QString page = topic;
    const qsizetype dot = topic.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : topic.mid(dot).toLower();
    if (extension != QLatin1String(".htm") && extension != QLatin1String(".html"))
        page += m_defaultExtension;
    HtmlHelp(file + QLatin1String("::/") + page, THtmlHelpCommand::DisplayTopic, 0);
}

bool TTamHtmlHelpViewer::UnderstandsContext(int, const QString& helpFileName) const {
    return helpFileName.endsWith(QLatin1String(".chm"), Qt::CaseInsensitive);
}

void TTamHtmlHelpViewer::DisplayHelpByContext(int contextId, const QString&) {
    const QString file = HelpFile();
    if (IsUsableHelpFile(file))
        HtmlHelp(file, THtmlHelpCommand::HelpContext, contextId);
}

int TTamHtmlHelpViewer::SelectKeyword(const QStringList& keywords) {
    for (qsizetype i = 0; i < keywords.size(); ++i) {
        const qsizetype colon = keywords[i].indexOf(QLatin1Char(':'));
        if ((colon < 0 ? keywords[i] : keywords[i].left(colon)) == m_name)
            return static_cast<int>(i);
    }
    return 0;
}

int TTamHtmlHelpViewer::TableOfContents(const QStringList& contents) {
    return static_cast<int>(contents.indexOf(m_name));
}
