// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <QtEndian>

#include "language/TTamLanguage.h"

namespace {

// Compiles an id-based language file of the given texts into folder/name with lrelease.
void WriteLanguageFile(const QString& folder, const QString& name,
                       const QList<std::pair<int, QString>>& texts) {
    QString xml = QStringLiteral("<TS version=\"2.1\"><context><name/>");
    for (const auto& [id, text] : texts)
        xml += QStringLiteral("<message id=\"%1\"><source>%2</source>"
                              "<translation>%2</translation></message>")
                   .arg(id)
                   .arg(text.toHtmlEscaped());
    const QString ts = folder + QStringLiteral("/source.ts");
    QFile file(ts);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((xml + QStringLiteral("</context></TS>")).toUtf8());
    file.close();
    QCOMPARE(QProcess::execute(QStringLiteral(KELVO_LRELEASE),
                               {QStringLiteral("-silent"), QStringLiteral("-idbased"), ts,
                                QStringLiteral("-qm"), folder + QLatin1Char('/') + name}),
             0);
    QFile::remove(ts);
}

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// The ids of a .ts file that have a non-empty translation.
QSet<int> TranslatedIds(const QString& path) {
    QSet<int> ids;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ids;
    QXmlStreamReader xml(&file);
    int id = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("message"))
            id = xml.attributes().value(QLatin1String("id")).toInt();
        else if (xml.name() == QLatin1String("translation") && !xml.readElementText().isEmpty())
            ids.insert(id);
    }
    return ids;
}

} // namespace

class TTamLanguageTest : public QObject {
    Q_OBJECT

private slots:
    void TranslatesCaptionsByNumber_data();
    void TranslatesCaptionsByNumber();
    void LeavesEverythingAloneWithoutLanguageFile();
    void CutsLongTexts();
    void IgnoresDamagedLanguageFile_data();
    void IgnoresDamagedLanguageFile();
    void FindsFileByName_data();
    void FindsFileByName();
    void LanguageCodeOfLocale_data();
    void LanguageCodeOfLocale();
    void FormatsNumbers();
    void EveryTextNumberHasTexts();
};

// Catches a caption rule gone wrong: & handling, separators, hex numbers, fallback wording.
void TTamLanguageTest::TranslatesCaptionsByNumber_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("hint"); // hints show no accelerator marks
    QTest::newRow("no number keeps its &")
        << QStringLiteral("&Open...") << QStringLiteral("&Open...") << QStringLiteral("&Open...");
    QTest::newRow("number without text: the words behind it")
        << QStringLiteral("1026&Open...") << QStringLiteral("Open...") << QStringLiteral("Open...");
    QTest::newRow("number with text")
        << QStringLiteral("1025New project") << QStringLiteral("&Neues Projekt")
        << QStringLiteral("Neues Projekt");
    QTest::newRow("separator") << QStringLiteral("-") << QStringLiteral("-") << QStringLiteral("-");
    QTest::newRow("hex with $") << QStringLiteral("$401New project")
                                << QStringLiteral("&Neues Projekt")
                                << QStringLiteral("Neues Projekt");
    QTest::newRow("hex with 0x") << QStringLiteral("0x401") << QStringLiteral("&Neues Projekt")
                                 << QStringLiteral("Neues Projekt");
    QTest::newRow("number only, no text")
        << QStringLiteral("1026") << QStringLiteral("1026") << QStringLiteral("1026");
    QTest::newRow("zero is no number")
        << QStringLiteral("0Zero") << QStringLiteral("0Zero") << QStringLiteral("0Zero");
    QTest::newRow("leading spaces") << QStringLiteral("  1025") << QStringLiteral("&Neues Projekt")
                                    << QStringLiteral("Neues Projekt");
}

void TTamLanguageTest::TranslatesCaptionsByNumber() {
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QFETCH(QString, hint);
    QTemporaryDir folder;
    WriteLanguageFile(folder.path(), QStringLiteral("Kelvo_DE.lng"),
                      {{1025, QStringLiteral("&Neues Projekt")}});
    TTamLanguage language;
    language.SetLanguageFileMask(QStringLiteral("Kelvo_%s.lng"));
    language.SetFolder(folder.path());
    language.SetLanguageCode(QStringLiteral("DEU"));
    QMenu menu;
    QLabel label(&menu);
    QAction* action = menu.addAction(caption);
    action->setToolTip(caption);
    menu.setTitle(caption);
    label.setText(caption);
    language.TranslateComponent(&menu);
    QCOMPARE(menu.title(), expected);
    QCOMPARE(action->text(), expected);
    QCOMPARE(action->toolTip(), hint);
    QCOMPARE(label.text(), expected);
}

// Catches a missing language file wiping captions or defaults.
void TTamLanguageTest::LeavesEverythingAloneWithoutLanguageFile() {
    QTemporaryDir folder;
    TTamLanguage language;
    language.SetFolder(folder.path());
    QLabel label(QStringLiteral("1025New project"));
    language.TranslateComponent(&label);
    QCOMPARE(label.text(), QStringLiteral("1025New project"));
    QCOMPARE(language.GetText(1025, QStringLiteral("New")), QStringLiteral("New"));
    QVERIFY(language.LoadedFile().isEmpty());
}

// Catches an unbounded text from a language file.
void TTamLanguageTest::CutsLongTexts() {
    QTemporaryDir folder;
    WriteLanguageFile(folder.path(), QStringLiteral("Kelvo_EN.lng"),
                      {{3000, QString(5000, QLatin1Char('x'))}});
    TTamLanguage language;
    language.SetLanguageFileMask(QStringLiteral("Kelvo_%s.lng"));
    language.SetFolder(folder.path());
    QCOMPARE(language.GetText(3000).size(), 4096);
}

// Catches a damaged language file crashing Qt's reader or replacing the defaults, and a file
// that failed once never being tried again.
void TTamLanguageTest::IgnoresDamagedLanguageFile_data() {
    QTest::addColumn<int>("cut");         // bytes dropped from the end
    QTest::addColumn<bool>("longBlock");  // the first block claims more than the file holds
    QTest::addColumn<bool>("wildOffset"); // a hash entry points past the messages
    QTest::newRow("truncated") << 7 << false << false;
    QTest::newRow("block length past the end") << 0 << true << false;
    QTest::newRow("offset past the messages") << 0 << false << true;
}

void TTamLanguageTest::IgnoresDamagedLanguageFile() {
    QFETCH(int, cut);
    QFETCH(bool, longBlock);
    QFETCH(bool, wildOffset);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Kelvo_EN.lng"));
    WriteLanguageFile(folder.path(), QStringLiteral("Kelvo_EN.lng"),
                      {{1025, QStringLiteral("New project")}, {1026, QStringLiteral("Open")}});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray intact = file.readAll();
    file.close();
    QByteArray damaged = intact.chopped(cut);
    if (longBlock)
        qToBigEndian<quint32>(quint32(intact.size()), damaged.data() + 17);
    if (wildOffset) {
        const qsizetype hashes = damaged.indexOf('\x42', 16); // the block after the magic
        QCOMPARE(hashes, 16);
        qToBigEndian<quint32>(0x7fffffff, damaged.data() + hashes + 5 + 4);
    }
    QVERIFY(!TTamLanguage::IsValidLanguageFile(damaged));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    TTamLanguage language;
    language.SetLanguageFileMask(QStringLiteral("Kelvo_%s.lng"));
    language.SetFolder(folder.path());
    QLabel label(QStringLiteral("1025Neu"));
    language.TranslateComponent(&label);
    QCOMPARE(label.text(), QStringLiteral("1025Neu"));
    QCOMPARE(language.GetText(1026, QStringLiteral("Def")), QStringLiteral("Def"));
    QVERIFY(language.LoadedFile().isEmpty());

    // Mended, the file is loaded at the next request.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(intact);
    file.close();
    QCOMPARE(language.GetText(1026, QStringLiteral("Def")), QStringLiteral("Open"));
}

// Catches a wrong order of the name search.
void TTamLanguageTest::FindsFileByName_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("found");
    QTest::newRow("whole code first")
        << QStringList{"Kelvo_DEU.lng", "Kelvo_DE.lng"} << "Kelvo_DEU.lng";
    QTest::newRow("two letters") << QStringList{"Kelvo_DE.lng", "Kelvo_EN.lng"} << "Kelvo_DE.lng";
    QTest::newRow("DES for DEU") << QStringList{"Kelvo_DES.lng", "Kelvo_EN.lng"} << "Kelvo_DES.lng";
    QTest::newRow("English next") << QStringList{"Kelvo_ENU.lng", "Kelvo_FR.lng"}
                                  << "Kelvo_ENU.lng";
    QTest::newRow("only FR") << QStringList{"Kelvo_FR.lng"} << "Kelvo_FR.lng";
    QTest::newRow("none") << QStringList{"Other_DE.lng"} << "";
}

void TTamLanguageTest::FindsFileByName() {
    QFETCH(QStringList, files);
    QFETCH(QString, found);
    QTemporaryDir folder;
    for (const QString& file : files)
        Touch(folder.filePath(file));
    TTamLanguage language;
    language.SetLanguageCode(QStringLiteral("DEU"));
    QString fileName;
    QCOMPARE(language.FindLanguageFile(QStringLiteral("Kelvo_%s.lng"), folder.path(), fileName),
             !found.isEmpty());
    QCOMPARE(QFileInfo(fileName).fileName(), found);
}

// Catches a locale mapped to a code the search cannot use.
void TTamLanguageTest::LanguageCodeOfLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("code");
    QTest::newRow("German") << QString("de_DE") << "DEU";
    QTest::newRow("Swiss German") << QString("de_CH") << "DES";
    QTest::newRow("US English") << QString("en_US") << "ENU";
    QTest::newRow("Brazilian") << QString("pt_BR") << "PTB";
    QTest::newRow("not in the table") << QString("gl_ES") << "GLE";
    QTest::newRow("C locale") << QString("C") << "ENU";
}

void TTamLanguageTest::LanguageCodeOfLocale() {
    QFETCH(QString, locale);
    QFETCH(QString, code);
    QCOMPARE(TTamLanguage::LocaleLanguageCode(QLocale(locale)), code);
}

// Catches the statistics text losing its thousands separators.
void TTamLanguageTest::FormatsNumbers() {
    QCOMPARE(TTamLanguage::Format(QStringLiteral("Size: %.0n Bytes"), {1234567.0},
                                  QLocale(QStringLiteral("de_DE"))),
             QStringLiteral("Size: 1.234.567 Bytes"));
    QCOMPARE(TTamLanguage::Format(QStringLiteral("%d of %d"), {3, 10}), QStringLiteral("3 of 10"));
}

// Catches a text number used in the code or a form that a language file lacks.
void TTamLanguageTest::EveryTextNumberHasTexts() {
    const QString source = QStringLiteral(KELVO_SOURCE_DIR);
    const QSet<int> english = TranslatedIds(source + QStringLiteral("/translations/Kelvo_EN.ts"));
    const QSet<int> german = TranslatedIds(source + QStringLiteral("/translations/Kelvo_DE.ts"));
    QVERIFY(!english.isEmpty());
    QCOMPARE(german, english);

    const QRegularExpression inCode(QStringLiteral(R"(GetText(?:Fmt)?\(\s*(\d{4})\b)"));
    const QRegularExpression inForm(QStringLiteral(R"(<string>\s*(\d{4})\D?)"));
    QStringList missing;
    QDirIterator it(source + QStringLiteral("/src"), {"*.cpp", "*.h", "*.ui"}, QDir::Files,
                    QDirIterator::Subdirectories);
    int used = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        const QRegularExpression& pattern = path.endsWith(QLatin1String(".ui")) ? inForm : inCode;
        for (auto match = pattern.globalMatch(text); match.hasNext();) {
            const int id = match.next().captured(1).toInt();
            ++used;
            if (!english.contains(id))
                missing.append(QFileInfo(path).fileName() + QLatin1Char(':') + QString::number(id));
        }
    }
    QVERIFY(used > 20);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
}

QTEST_MAIN(TTamLanguageTest)
#include "TTamLanguageTest.moc"
