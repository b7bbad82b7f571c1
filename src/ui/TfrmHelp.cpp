// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TfrmHelp.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QListWidget>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include "language/TChmArchive.h"
#include "language/TTamLanguage.h"
#include "ui_TfrmHelp.h"

namespace {

constexpr int PageRole = Qt::UserRole;

QByteArray MimeType(const QString& path) {
    static const QHash<QString, QByteArray> types{
        {QStringLiteral("htm"), "text/html"},    {QStringLiteral("html"), "text/html"},
        {QStringLiteral("css"), "text/css"},     {QStringLiteral("js"), "text/javascript"},
        {QStringLiteral("png"), "image/png"},    {QStringLiteral("jpg"), "image/jpeg"},
        {QStringLiteral("jpeg"), "image/jpeg"},  {QStringLiteral("gif"), "image/gif"},
        {QStringLiteral("svg"), "image/svg+xml"}};
    return types.value(QFileInfo(path).suffix().toLower(), "application/octet-stream");
}

// Serves the objects of the window's open help file; anything else is not found. Requests of a
// page still loading can arrive after its window has gone, so the handler shares the archive.
class THelpSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    THelpSchemeHandler(std::shared_ptr<const TChmArchive> archive, QObject* parent)
        : QWebEngineUrlSchemeHandler(parent)
        , m_archive(std::move(archive)) {}

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const QString path = job->requestUrl().path();
        const auto data = m_archive->Read(path);
        if (!data) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto* buffer = new QBuffer(job);
        buffer->setData(*data);
        job->reply(MimeType(path), buffer);
    }

private:
    std::shared_ptr<const TChmArchive> m_archive;
};

QUrl PageUrl(const QString& page) {
    QUrl url;
    url.setScheme(QLatin1String(TfrmHelp::UrlScheme));
    url.setPath(page);
    return url;
}

} // namespace

void TfrmHelp::RegisterUrlScheme() {
    QWebEngineUrlScheme scheme(UrlScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme |
                    QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

TfrmHelp::TfrmHelp(TTamLanguage& language, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::TfrmHelp>())
    , m_archive(std::make_shared<TChmArchive>())
    , m_profile(new QWebEngineProfile(this)) {
    m_ui->setupUi(this);
    language.TranslateComponent(this);
    m_ui->tabNavigation->setTabText(0, language.GetText(2241, QStringLiteral("Contents")));
    m_ui->tabNavigation->setTabText(1, language.GetText(2242, QStringLiteral("Index")));
    m_ui->spltHelp->setSizes({240, 620});

    // A profile of its own keeps the archive's scheme away from every other web view.
    m_profile->installUrlSchemeHandler(UrlScheme, new THelpSchemeHandler(m_archive, m_profile));
    m_ui->webHelp->setPage(new QWebEnginePage(m_profile, m_ui->webHelp));

    connect(m_ui->tvwContents, &QTreeWidget::itemActivated, this,
            &TfrmHelp::tvwContentsItemActivated);
    connect(m_ui->tvwContents, &QTreeWidget::itemClicked, this,
            &TfrmHelp::tvwContentsItemActivated);
    connect(m_ui->lstIndex, &QListWidget::itemActivated, this, &TfrmHelp::lstIndexItemActivated);
    connect(m_ui->lstIndex, &QListWidget::itemClicked, this, &TfrmHelp::lstIndexItemActivated);
    connect(m_ui->edtIndexFilter, &QLineEdit::textChanged, this,
            &TfrmHelp::edtIndexFilterTextChanged);
    connect(m_ui->edtIndexFilter, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem* item = m_ui->lstIndex->currentItem())
            lstIndexItemActivated(item);
    });
    connect(m_ui->webHelp, &QWebEngineView::urlChanged, this,
            [this](const QUrl& url) { SelectContentsEntry(url.path()); });
}

TfrmHelp::~TfrmHelp() {
    // The page must go before its profile.
    delete m_ui->webHelp->page();
}

bool TfrmHelp::OpenHelpFile(const QString& fileName) {
    const QString file = QFileInfo(fileName).absoluteFilePath();
    if (m_archive->IsOpen() && m_archive->FileName() == file)
        return true;
    m_ui->webHelp->setUrl(QUrl(QStringLiteral("about:blank")));
    if (!m_archive->Open(file)) {
        FillContents();
        FillIndex();
        return false;
    }
    const QString title = m_archive->Title();
    setWindowTitle(title.isEmpty() ? QFileInfo(file).completeBaseName() : title);
    FillContents();
    FillIndex();
    return true;
}

QString TfrmHelp::HelpFile() const {
    return m_archive->FileName();
}

bool TfrmHelp::ShowPage(const QString& page) {
    const QString path = m_archive->ResolvePage(page);
    if (path.isEmpty())
        return false;
    QUrl url = PageUrl(path);
    const qsizetype anchor = page.indexOf(QLatin1Char('#'), page.lastIndexOf(QLatin1Char('/')) + 2);
    if (anchor > 0)
        url.setFragment(page.mid(anchor + 1));
    m_ui->webHelp->setUrl(url);
    return true;
}

void TfrmHelp::ShowContents() {
    m_ui->tabNavigation->setCurrentWidget(m_ui->tabContents);
    if (CurrentPage().isEmpty())
        ShowPage(m_archive->DefaultTopic());
}

void TfrmHelp::ShowIndex(const QString& keyword) {
    m_ui->tabNavigation->setCurrentWidget(m_ui->tabIndex);
    m_ui->edtIndexFilter->setText(keyword);
    if (QListWidgetItem* item = m_ui->lstIndex->currentItem())
        lstIndexItemActivated(item);
}

bool TfrmHelp::ShowContext(int context) {
    const QString page = m_archive->ContextPage(context);
    return !page.isEmpty() && ShowPage(page);
}

QString TfrmHelp::CurrentPage() const {
    const QUrl url = m_ui->webHelp->url();
    return url.scheme() == QLatin1String(UrlScheme) ? url.path() : QString();
}

void TfrmHelp::FillContents() {
    m_ui->tvwContents->clear();
    QList<QTreeWidgetItem*> parents;
    for (const auto& entry : m_archive->Contents()) {
        const int level = std::min<int>(entry.Level, static_cast<int>(parents.size()));
        parents.resize(level);
        auto* item = parents.isEmpty() ? new QTreeWidgetItem(m_ui->tvwContents)
                                       : new QTreeWidgetItem(parents.last());
        item->setText(0, entry.Name);
        item->setData(0, PageRole, entry.Local);
        parents.append(item);
    }
    m_ui->tvwContents->expandAll();
}

void TfrmHelp::FillIndex() {
    m_ui->lstIndex->clear();
    for (const auto& entry : m_archive->Index()) {
        auto* item = new QListWidgetItem(entry.Name, m_ui->lstIndex);
        item->setData(PageRole, entry.Local);
    }
    edtIndexFilterTextChanged(m_ui->edtIndexFilter->text());
}

void TfrmHelp::SelectContentsEntry(const QString& page) {
    for (QTreeWidgetItemIterator it(m_ui->tvwContents); *it; ++it) {
        const QString local = (*it)->data(0, PageRole).toString();
        if (!local.isEmpty() && m_archive->ResolvePage(local) == page) {
            m_ui->tvwContents->setCurrentItem(*it);
            return;
        }
    }
}

void TfrmHelp::tvwContentsItemActivated(QTreeWidgetItem* item) {
    if (item)
        ShowPage(item->data(0, PageRole).toString());
}

void TfrmHelp::lstIndexItemActivated(QListWidgetItem* item) {
    if (item)
        ShowPage(item->data(PageRole).toString());
}

void TfrmHelp::edtIndexFilterTextChanged(const QString& text) {
    // Entries containing the text stay; the first that starts with it becomes current.
    QListWidgetItem* current = nullptr;
    QListWidgetItem* firstShown = nullptr;
    for (int i = 0; i < m_ui->lstIndex->count(); ++i) {
        QListWidgetItem* item = m_ui->lstIndex->item(i);
        const bool shown = item->text().contains(text, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !firstShown)
            firstShown = item;
        if (shown && !current && item->text().startsWith(text, Qt::CaseInsensitive))
            current = item;
    }
    m_ui->lstIndex->setCurrentItem(current ? current : firstShown);
}
