// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TfrmInfo.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFile>
#include <QFont>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

#include <array>
#include <functional>
#include <optional>

#include "KelvoBuildInfo.h"
#include "language/TTamLanguage.h"
#include "ui_TfrmInfo.h"

namespace {

// The version record of every program that shows this dialog, read back from the program file
// by GetFileVersionText. The reader puts the marker together at run time, so that it stands in
// the file only here.
[[gnu::used]] constexpr char FileVersionRecord[] = "KelvoFileVersion=" KELVO_FILE_VERSION_TEXT;

QByteArray FileVersionMarker() {
    return QByteArray("KelvoFile") + QByteArray("Version=");
}

// The four parts behind the first marker in the file that has them.
std::optional<std::array<int, 4>> ReadFileVersion(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return std::nullopt;
    const uchar* mapped = file.map(0, file.size());
    if (!mapped)
        return std::nullopt;
    const QByteArrayView data(mapped, file.size());
    const QByteArray marker = FileVersionMarker();
    for (qsizetype at = data.indexOf(marker); at >= 0; at = data.indexOf(marker, at + 1)) {
        std::array<int, 4> parts{};
        qsizetype i = at + marker.size();
        bool complete = true;
        for (std::size_t part = 0; part < parts.size() && complete; ++part) {
            if (part > 0) {
                complete = i < data.size() && data[i] == '.';
                ++i;
            }
            const qsizetype first = i;
            long value = 0;
            while (complete && i < data.size() && data[i] >= '0' && data[i] <= '9' && i - first < 5)
                value = value * 10 + (data[i++] - '0');
            complete = complete && i > first && value <= 0xffff;
            parts[part] = static_cast<int>(value);
        }
        if (complete)
            return parts;
    }
    return std::nullopt;
}

QString WithoutScheme(const QString& address) {
    QString text = address;
    const qsizetype scheme = text.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        text = text.mid(scheme + 3);
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

// Turns the release of the left mouse button on a label into a call.
class TClickFilter : public QObject {
public:
    TClickFilter(QObject* parent, std::function<void()> onClick)
        : QObject(parent)
        , m_onClick(std::move(onClick)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_onClick();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

QString GetFileVersionText(const QString& fileName, int partCount) {
    if (partCount < 1 || partCount > 4)
        partCount = 4;
    const auto parts = ReadFileVersion(fileName);
    if (!parts)
        return {};
    QString text = QString::number((*parts)[0]);
    for (int i = 1; i < partCount; ++i)
        text += QStringLiteral(".%1").arg((*parts)[static_cast<std::size_t>(i)], 2, 10,
                                          QLatin1Char('0'));
    return text;
}

QString MailToLink(const QString& address, const QString& subject, const QString& body,
                   const QString& bcc, const QString& cc) {
    const std::array<std::pair<const char*, const QString*>, 4> fields{
        {{"subject=", &subject}, {"body=", &body}, {"cc=", &cc}, {"bcc=", &bcc}}};
    QString link = QStringLiteral("mailto:") + address;
    bool first = true;
    for (const auto& [name, value] : fields) {
        if (value->isEmpty())
            continue;
        link += first ? QLatin1Char('?') : QLatin1Char('&');
        link += QLatin1String(name) + QString::fromLatin1(QUrl::toPercentEncoding(*value));
        first = false;
    }
    return link;
}

void OpenMailTo(const QString& address, const QString& subject, const QString& body,
                const QString& bcc, const QString& cc) {
    QDesktopServices::openUrl(QUrl(MailToLink(address, subject, body, bcc, cc)));
}

void OpenDocument(const QString& address) {
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

TfrmInfo::TDetails TfrmInfo::BuiltDetails() {
    return {QString::fromUtf8(kelvo::build::Author), QString::fromUtf8(kelvo::build::Homepage),
            QString::fromUtf8(kelvo::build::EMail)};
}

TfrmInfo::TfrmInfo(TTamLanguage& language, QWidget* parent)
    : TfrmInfo(language, BuiltDetails(), parent) {}

TfrmInfo::TfrmInfo(TTamLanguage& language, const TDetails& details, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TfrmInfo>())
    , m_language(language)
    , m_details(details) {
    m_ui->setupUi(this);
    FormCreate();
}

TfrmInfo::~TfrmInfo() = default;

void TfrmInfo::FormCreate() {
    m_language.TranslateComponent(this);
    setFixedSize(size());
    m_ui->imgPicture->setPixmap(QPixmap(QStringLiteral(":/resources/InfoPicture.jpg")));
    m_ui->imgPicture->setToolTip(
        QStringLiteral("Picos de Europa \u00b7 Aitzol Berasategi \u00b7 CC BY 4.0"));

    // The title's font where it is installed, else the free font made after it.
    QFont title;
    title.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue")});
    title.setPixelSize(64);
    title.setBold(true);
    m_ui->lblTitle->setFont(title);
    m_ui->lblTitleShadow->setFont(title);
    m_ui->lblTitle->setStyleSheet(QStringLiteral("color: rgb(166, 202, 240);"));
    m_ui->lblTitleShadow->setStyleSheet(QStringLiteral("color: gray;"));
    QFont version = m_ui->lblVersion->font();
    version.setPixelSize(19);
    m_ui->lblVersion->setFont(version);

    m_ui->pnlDetails->setStyleSheet(QStringLiteral(
        "#pnlDetails { background: rgba(255, 255, 255, 215); border-radius: 4px; }"
        "#pnlDetails QLabel { color: black; }"
        "#pnlDetails QLabel#lblHomepage, #pnlDetails QLabel#lblMail { color: #0645ad; }"));
    m_ui->lblAuthor->setText(m_details.Author);
    m_ui->lblHomepage->setText(WithoutScheme(m_details.Homepage));
    m_ui->lblMail->setText(m_details.EMail);
    for (QLabel* link : {m_ui->lblHomepage, m_ui->lblMail})
        link->setCursor(Qt::PointingHandCursor);
    m_ui->lblHomepage->installEventFilter(new TClickFilter(this, [this] { lblHomepageClick(); }));
    m_ui->lblMail->installEventFilter(new TClickFilter(this, [this] { lblEMailClick(); }));

    // Lines the build left empty are left out, and the panel shrinks onto the picture's foot.
    m_ui->lytDetails->setRowVisible(0, !m_details.Author.isEmpty());
    m_ui->lytDetails->setRowVisible(1, !m_details.Homepage.isEmpty());
    m_ui->lytDetails->setRowVisible(2, !m_details.EMail.isEmpty());
    const bool anyDetail =
        !(m_details.Author.isEmpty() && m_details.Homepage.isEmpty() && m_details.EMail.isEmpty());
    m_ui->pnlDetails->setVisible(anyDetail);
    if (anyDetail) {
        m_ui->pnlDetails->adjustSize();
        const QRect picture = m_ui->imgPicture->geometry();
        const QSize panel(picture.width() - 24, m_ui->pnlDetails->sizeHint().height());
        m_ui->pnlDetails->setGeometry(picture.left() + 12, picture.bottom() - 8 - panel.height(),
                                      panel.width(), panel.height());
    }

    connect(m_ui->btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmInfo::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmInfo::FormShow() {
    m_ui->lblVersion->setText(QStringLiteral("Version ") +
                              GetFileVersionText(QCoreApplication::applicationFilePath(), 3));
}

void TfrmInfo::lblHomepageClick() {
    OpenDocument(m_details.Homepage);
}

void TfrmInfo::lblEMailClick() {
    OpenMailTo(m_details.EMail, QStringLiteral("Kelvo ") +
                                    GetFileVersionText(QCoreApplication::applicationFilePath(), 4));
}
