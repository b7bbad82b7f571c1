// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDesktopServices>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <memory>

#include "UiTestSupport.h"
#include "language/TTamLanguage.h"
#include "support/TempDir.h"
#include "ui/TfrmInfo.h"

// Collects the addresses the dialog hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};

class TfrmInfoTest : public QObject {
    Q_OBJECT

    TempDir m_dir;

    QString ProgramWithVersion(const QByteArray& content) {
        // The marker is put together here too, so that this test program holds only the real one.
        return QString::fromStdString(
            m_dir.write("program", (QByteArray("\x7f"
                                               "ELF junk ") +
                                    "KelvoFile" + "Version=" + content + QByteArray("\0 more", 6))
                                       .toStdString()));
    }

private slots:
    // Every part count must give the parts the design asks for, 0 and 5 counting as 4.
    void fileVersionText_data() {
        QTest::addColumn<int>("parts");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 parts") << 0 << "2.05.01.07";
        QTest::newRow("1 part") << 1 << "2";
        QTest::newRow("2 parts") << 2 << "2.05";
        QTest::newRow("3 parts") << 3 << "2.05.01";
        QTest::newRow("4 parts") << 4 << "2.05.01.07";
        QTest::newRow("5 parts") << 5 << "2.05.01.07";
    }
    void fileVersionText() {
        QFETCH(int, parts);
        QFETCH(QString, text);
        QCOMPARE(GetFileVersionText(ProgramWithVersion("2.5.1.7"), parts), text);
    }

    // A file without a version, with a broken one, or no file at all gives an empty text; a
    // broken record does not hide a good one behind it; numbers keep all their digits.
    void fileVersionTextOfOtherFiles() {
        QCOMPARE(GetFileVersionText(m_dir.write("plain", "no version here").c_str(), 4), QString());
        QCOMPARE(GetFileVersionText(m_dir.write("empty", "").c_str(), 4), QString());
        QCOMPARE(GetFileVersionText(QString::fromStdString(m_dir.dir()) + "missing", 4), QString());
        QCOMPARE(GetFileVersionText(ProgramWithVersion("1.2"), 4), QString());
        QCOMPARE(GetFileVersionText(ProgramWithVersion("99999.0.0.0"), 1), QString());
        QCOMPARE(
            GetFileVersionText(
                ProgramWithVersion(QByteArray("1.x.0.0 KelvoFile") + "Version=10.20.300.4000"), 4),
            QString("10.20.300.4000"));
        // The version the build stamped into this very program.
        const QStringList built = QStringLiteral(KELVO_TEST_PROJECT_VERSION).split('.');
        QCOMPARE(GetFileVersionText(QCoreApplication::applicationFilePath(), 3),
                 QStringLiteral("%1.%2.%3")
                     .arg(built[0])
                     .arg(built[1].toInt(), 2, 10, QChar('0'))
                     .arg(built[2].toInt(), 2, 10, QChar('0')));
    }

    // The fields must keep their order and each value must stay whole inside the link.
    void mailToLink_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("expected");
        QTest::newRow("address only") << MailToLink("a@b.example") << "mailto:a@b.example";
        QTest::newRow("subject with a space") << MailToLink("a@b.example", "Kelvo 0.1.0.0")
                                              << "mailto:a@b.example?subject=Kelvo%200.1.0.0";
        QTest::newRow("subject with & and #")
            << MailToLink("a@b.example", "Q&A #2") << "mailto:a@b.example?subject=Q%26A%20%232";
        QTest::newRow("all fields in order")
            << MailToLink("a@b.example", "s", "b=1", "bcc@x.example", "cc@x.example")
            << "mailto:a@b.example?subject=s&body=b%3D1&cc=cc%40x.example&bcc=bcc%40x.example";
        QTest::newRow("empty fields left out") << MailToLink("a@b.example", "", "body", "", "cc")
                                               << "mailto:a@b.example?body=body&cc=cc";
    }
    void mailToLink() {
        QFETCH(QString, link);
        QFETCH(QString, expected);
        QCOMPARE(link, expected);
        // The desktop must see the subject with its & as one value.
        if (QTest::currentDataTag() == QByteArray("subject with & and #"))
            QCOMPARE(QUrl(link).query(QUrl::FullyDecoded), QString("subject=Q&A #2"));
    }

    // The dialog must show the version from the program, the details the build set, open the
    // homepage and a mail with the program's version as subject, and leave empty lines out.
    void dialogShowsVersionDetailsAndLinks() {
        TTamLanguage language;
        language.SetFolder(KELVO_RUNTIME_DIR);
        language.SetLanguageCode("ENU");
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "Open");
        QDesktopServices::setUrlHandler("mailto", &recorder, "Open");

        TfrmInfo info(language,
                      {"The Kelvo developers", "https://example.org/kelvo/", "kelvo@example.org"});
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        auto* version = info.findChild<QLabel*>("lblVersion");
        QCOMPARE(version->text(),
                 "Version " + GetFileVersionText(QCoreApplication::applicationFilePath(), 3));
        QCOMPARE(info.findChild<QLabel*>("lblAuthor")->text(), QString("The Kelvo developers"));
        auto* homepage = info.findChild<QLabel*>("lblHomepage");
        auto* mail = info.findChild<QLabel*>("lblMail");
        QCOMPARE(homepage->text(), QString("example.org/kelvo"));
        const QString family = QFontInfo(info.findChild<QLabel*>("lblTitle")->font()).family();
        QVERIFY2(family == "Comic Sans MS" || family == "Comic Neue", qPrintable(family));
        SaveScreenshot(&info, "info-dialog");

        QTest::mouseClick(homepage, Qt::LeftButton);
        QTest::mouseClick(mail, Qt::LeftButton);
        const QString subject =
            "Kelvo " + GetFileVersionText(QCoreApplication::applicationFilePath(), 4);
        QCOMPARE(recorder.Opened, (QList<QUrl>{QUrl("https://example.org/kelvo/"),
                                               QUrl(MailToLink("kelvo@example.org", subject))}));

        QTest::keyClick(&info, Qt::Key_Return);
        QVERIFY(!info.isVisible());
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("mailto");

        // A build without homepage and e-mail address shows only the author.
        TfrmInfo plain(language, {"The Kelvo developers", "", ""});
        plain.show();
        QVERIFY(plain.findChild<QLabel*>("lblAuthor")->isVisible());
        QVERIFY(!plain.findChild<QLabel*>("lblHomepage")->isVisible());
        QVERIFY(!plain.findChild<QLabel*>("lblMailCaption")->isVisible());
        SaveScreenshot(&plain, "info-dialog-plain");
    }
};

QTEST_MAIN(TfrmInfoTest)
#include "TfrmInfoTest.moc"
