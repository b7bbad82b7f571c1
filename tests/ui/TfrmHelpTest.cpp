// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

#include "UiTestSupport.h"
#include "language/THelpManager.h"
#include "language/TTamHtmlHelpViewer.h"
#include "language/TTamLanguage.h"
#include "language/TTamWinHelpTester.h"
#include "ui/THtmlHelpHost.h"
#include "ui/TfrmHelp.h"

namespace {

QVariant RunScript(QWebEngineView* view, const QString& script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 5000))
        return {};
    return result;
}

} // namespace

class TfrmHelpTest : public QObject {
    Q_OBJECT

    // The help system as main() sets it up, showing the English help.
    std::unique_ptr<TTamLanguage> m_language;
    std::unique_ptr<THtmlHelpHost> m_host;
    std::unique_ptr<THelpManager> m_manager;

    TfrmHelp* Window() const { return m_host->Window(); }
    QWebEngineView* View() const { return Window()->findChild<QWebEngineView*>("webHelp"); }
    QString LoadedTitle() const { return View()->title(); }

private slots:
    void init() {
        m_language = std::make_unique<TTamLanguage>();
        m_language->SetFolder(KELVO_RUNTIME_DIR);
        m_language->SetLanguageCode("ENU");
        m_host = std::make_unique<THtmlHelpHost>(*m_language);
        m_manager = std::make_unique<THelpManager>();
        auto viewer = std::make_shared<TTamHtmlHelpViewer>();
        viewer->SetHtmlHelpProc(
            [this](QObject* owner, const QString& file,
                   TTamHtmlHelpViewer::THtmlHelpCommand command,
                   const QVariant& data) { m_host->HtmlHelp(owner, file, command, data); });
        m_manager->RegisterViewer(viewer);
        m_manager->SetHelpSelector(viewer);
        m_manager->SetWinHelpTester(std::make_shared<TTamWinHelpTester>());
        QString helpFile;
        QVERIFY(m_language->FindLanguageFile("Kelvo_%s.chm", KELVO_RUNTIME_DIR, helpFile));
        m_manager->SetHelpFile(helpFile);
    }
    void cleanup() {
        m_manager.reset();
        m_host.reset();
        m_language.reset();
    }

    // The layout dialog's context must open the window at its page, with its style sheet served
    // from the archive and the contents tree pointing at the page.
    void helpContextOpensItsPage() {
        QDialog dialog;
        dialog.show();
        QVERIFY(m_manager->ShowHelpContext(2100, &dialog));
        QVERIFY(Window());
        QVERIFY(Window()->isVisible());
        QCOMPARE(Window()->parentWidget(), &dialog);
        QCOMPARE(Window()->windowTitle(), QString("Kelvo Help"));
        QTRY_COMPARE(LoadedTitle(), QString("The layout dialog"));
        QCOMPARE(Window()->CurrentPage(), QString("/layoutdialog.htm"));
        QTRY_COMPARE(RunScript(View(), "document.styleSheets.length ? "
                                       "document.styleSheets[0].cssRules.length : 0")
                             .toInt() > 5,
                     true);
        auto* tree = Window()->findChild<QTreeWidget*>("tvwContents");
        QTRY_VERIFY(tree->currentItem());
        QCOMPARE(tree->currentItem()->text(0), QString("The layout dialog"));
        QTest::qWait(300);
        SaveScreenshot(Window(), "helpwindow");
    }

    // The table of contents must start at the default page; a link inside a page must load
    // the linked page from the archive.
    void tableOfContentsStartsAtTheDefaultPageAndLinksWork() {
        QVERIFY(m_manager->ShowTableOfContents());
        QTRY_COMPARE(LoadedTitle(), QString("Getting started"));
        auto* tabs = Window()->findChild<QTabWidget*>("tabNavigation");
        QCOMPARE(tabs->currentWidget()->objectName(), QString("tabContents"));
        QCOMPARE(tabs->tabText(0), QString("Contents"));
        RunScript(View(), "document.querySelector('a[href=\"cli.htm\"]').click()");
        QTRY_COMPARE(LoadedTitle(), QString("kelvo-cli"));

        // A click in the contents tree shows that entry's page.
        auto* tree = Window()->findChild<QTreeWidget*>("tvwContents");
        const auto items = tree->findItems("The project file", Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        tree->scrollToItem(items[0]);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(items[0]).center());
        QTRY_COMPARE(LoadedTitle(), QString("The project file"));
    }

    // A keyword must open the index filtered by it, at the page of its entry; typing another
    // filter and Enter follows the first entry that starts with it.
    void keywordOpensTheIndex() {
        QVERIFY(m_manager->ShowKeyword("Quality"));
        auto* tabs = Window()->findChild<QTabWidget*>("tabNavigation");
        QCOMPARE(tabs->currentWidget()->objectName(), QString("tabIndex"));
        auto* filter = Window()->findChild<QLineEdit*>("edtIndexFilter");
        QCOMPARE(filter->text(), QString("Quality"));
        QTRY_COMPARE(LoadedTitle(), QString("The layout dialog"));

        filter->clear();
        QTest::keyClicks(filter, "proj");
        auto* list = Window()->findChild<QListWidget*>("lstIndex");
        QCOMPARE(list->currentItem()->text(), QString("Project file"));
        QTest::keyClick(filter, Qt::Key_Return);
        QTRY_COMPARE(LoadedTitle(), QString("The project file"));
    }

    // Without a help file no window may open; closing all help closes the open one.
    void noHelpFileShowsNothingAndCloseAllCloses() {
        m_manager->SetHelpFile(QString());
        m_manager->ShowTableOfContents();
        m_manager->ShowHelpContext(2000);
        QVERIFY(!Window());

        m_manager->SetHelpFile(QString(KELVO_RUNTIME_DIR "/Kelvo_DE.chm"));
        QVERIFY(m_manager->ShowHelpContext(2000));
        QTRY_COMPARE(LoadedTitle(), QString("Das Hauptfenster"));
        QCOMPARE(Window()->windowTitle(), QString("Kelvo-Hilfe"));
        m_manager.reset(); // the program's end: its viewer closes all help windows
        QTRY_VERIFY(!Window());
    }
};

int main(int argc, char** argv) {
    TfrmHelp::RegisterUrlScheme();
    QApplication app(argc, argv);
    TfrmHelpTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TfrmHelpTest.moc"
