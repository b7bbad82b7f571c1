// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineView>

#include <memory>

#include "DialogTestSupport.h"
#include "language/THelpManager.h"
#include "language/TTamHtmlHelpViewer.h"
#include "language/TTamWinHelpTester.h"
#include "model/TKelPictureList.h"
#include "ui/THelpKey.h"
#include "ui/THtmlHelpHost.h"
#include "ui/TfrmHelp.h"
#include "ui/TfrmHtmlLayout.h"
#include "ui/TfrmInfo.h"
#include "ui/TfrmKelvo.h"

class THelpKeyTest : public QObject {
    Q_OBJECT

    // The program's help as main() sets it up, for windows in the given language.
    struct THelp {
        TDialogTestEnvironment Test;
        THtmlHelpHost Host{Test.Language};
        std::unique_ptr<THelpManager> Manager = std::make_unique<THelpManager>();
        THelpKey Key{*Manager};

        explicit THelp(const QString& languageCode = QStringLiteral("ENU"))
            : Test(languageCode) {
            auto viewer = std::make_shared<TTamHtmlHelpViewer>();
            viewer->SetHtmlHelpProc(
                [this](QObject* owner, const QString& file,
                       TTamHtmlHelpViewer::THtmlHelpCommand command,
                       const QVariant& data) { Host.HtmlHelp(owner, file, command, data); });
            Manager->RegisterViewer(viewer);
            Manager->SetHelpSelector(viewer);
            Manager->SetWinHelpTester(std::make_shared<TTamWinHelpTester>());
            QString helpFile;
            Test.Language.FindLanguageFile("Kelvo_%s.chm", KELVO_RUNTIME_DIR, helpFile);
            Manager->SetHelpFile(helpFile);
            Test.Environment->Help = Manager.get();
        }
        TfrmHelp* Window() const { return Host.Window(); }
        QWebEngineView* View() const { return Window()->findChild<QWebEngineView*>("webHelp"); }
        QString PageTitle() const { return Window() ? View()->title() : QString(); }
        template <class T>
        T* Find(const char* name) const {
            return Window()->findChild<T*>(name);
        }
    };

    static void PressF1() {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : QApplication::activeWindow(), Qt::Key_F1);
    }

    static void ShowSampleProject(TfrmKelvo& window) {
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(window.Project());
        window.OpenProjectFile(KELVO_SOURCE_DIR "/examples/sample-gallery.kel");
        QTRY_COMPARE(window.Project()->Pictures().Count(), 9);
        QTRY_VERIFY(window.isEnabled());
    }

private slots:
    // F1 must open the help at the page of the window that has the focus, in the window's
    // language and owned by that window: the main window, then the layout dialog (also through
    // its Help button) with the page's style sheet served from the archive and the contents
    // tree at the page, the help window usable beside the modal dialog. The Help menu's contents
    // entry reuses the open window; the info entry opens the info dialog.
    void f1AndHelpButtonsShowTheirWindowsPage_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("mainTitle");
        QTest::addColumn<QString>("layoutTitle");
        QTest::newRow("English") << "ENU" << QString("Kelvo Help") << QString("The main window")
                                 << QString("The layout dialog");
        QTest::newRow("German") << "DEU" << QString("Kelvo-Hilfe") << QString("Das Hauptfenster")
                                << QString("Der Layout-Dialog");
    }
    void f1AndHelpButtonsShowTheirWindowsPage() {
        QFETCH(QString, language);
        QFETCH(QString, caption);
        QFETCH(QString, mainTitle);
        QFETCH(QString, layoutTitle);
        THelp help(language);
        TfrmKelvo window(*help.Test.Environment);
        ShowSampleProject(window);
        QTest::qWait(200);
        SaveScreenshot(&window, "mainwindow-" + language.left(2));

        PressF1();
        QVERIFY(help.Window());
        QVERIFY(help.Window()->isVisible());
        QCOMPARE(help.Window()->parentWidget(), &window);
        QTRY_COMPARE(help.PageTitle(), mainTitle);
        QCOMPARE(help.Window()->CurrentPage(), QString("/mainwindow.htm"));
        QCOMPARE(help.Window()->windowTitle(), caption);
        window.findChild<QAction*>("actHelpHelp")->trigger();
        QCOMPARE(help.Find<QTabWidget>("tabNavigation")->currentWidget()->objectName(),
                 QString("tabContents"));
        help.Window()->close();
        QTRY_VERIFY(!help.Window());

        QString opened;
        QTimer::singleShot(0, &window, [&opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened = modal->metaObject()->className();
                modal->close();
            }
        });
        window.findChild<QAction*>("actHelpInfo")->trigger();
        QCOMPARE(opened, QString("TfrmInfo"));

        TfrmHtmlLayout dialog(*window.Project(), *help.Test.Environment, &window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnHelp"), Qt::LeftButton);
        QVERIFY(help.Window());
        QCOMPARE(help.Window()->parentWidget(), &dialog);
        QTRY_COMPARE(help.PageTitle(), layoutTitle);
        QTRY_VERIFY(RunJavaScript(*help.View()->page(),
                                  "document.styleSheets.length ? "
                                  "document.styleSheets[0].cssRules.length : 0")
                        .toInt() > 5);
        auto* tree = help.Find<QTreeWidget>("tvwContents");
        QTRY_VERIFY(tree->currentItem());
        QCOMPARE(tree->currentItem()->text(0), layoutTitle);
        if (language == "ENU") {
            QTest::qWait(300);
            SaveScreenshot(help.Window(), "helpwindow");
        }
        help.Window()->close();
        QTRY_VERIFY(!help.Window());

        QApplication::setActiveWindow(&dialog);
        dialog.findChild<QWidget*>("webPreview")->setFocus();
        PressF1();
        QVERIFY(help.Window());
        QTRY_COMPARE(help.PageTitle(), layoutTitle);
    }

    // The table of contents must start at the default page; a link inside a page and a click
    // in the contents tree must load their pages from the archive.
    void tableOfContentsStartsAtTheDefaultPageAndLinksWork() {
        THelp help;
        QVERIFY(help.Manager->ShowTableOfContents());
        QTRY_COMPARE(help.PageTitle(), QString("Getting started"));
        QCOMPARE(help.Find<QTabWidget>("tabNavigation")->currentWidget()->objectName(),
                 QString("tabContents"));
        RunJavaScript(*help.View()->page(),
                      "document.querySelector('a[href=\"cli.htm\"]').click()");
        QTRY_COMPARE(help.PageTitle(), QString("kelvo-cli"));

        auto* tree = help.Find<QTreeWidget>("tvwContents");
        const auto items = tree->findItems("The project file", Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        tree->scrollToItem(items[0]);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(items[0]).center());
        QTRY_COMPARE(help.PageTitle(), QString("The project file"));
    }

    // A keyword must open the index filtered by it, at the page of its entry; typing another
    // filter and Enter follows the first entry that starts with it.
    void keywordOpensTheIndex() {
        THelp help;
        QVERIFY(help.Manager->ShowKeyword("Quality"));
        QCOMPARE(help.Find<QTabWidget>("tabNavigation")->currentWidget()->objectName(),
                 QString("tabIndex"));
        auto* filter = help.Find<QLineEdit>("edtIndexFilter");
        QCOMPARE(filter->text(), QString("Quality"));
        QTRY_COMPARE(help.PageTitle(), QString("The layout dialog"));

        filter->clear();
        QTest::keyClicks(filter, "proj");
        QCOMPARE(help.Find<QListWidget>("lstIndex")->currentItem()->text(),
                 QString("Project file"));
        QTest::keyClick(filter, Qt::Key_Return);
        QTRY_COMPARE(help.PageTitle(), QString("The project file"));
    }

    // Without a help file no window may open; the program's end closes the open one.
    void noHelpFileShowsNothingAndCloseAllCloses() {
        THelp help;
        help.Manager->SetHelpFile(QString());
        help.Manager->ShowTableOfContents();
        help.Manager->ShowHelpContext(2000);
        QVERIFY(!help.Window());

        help.Manager->SetHelpFile(QString(KELVO_RUNTIME_DIR "/Kelvo_EN.chm"));
        QVERIFY(help.Manager->ShowHelpContext(2000));
        QTRY_VERIFY(help.Window());
        help.Manager.reset();
        QTRY_VERIFY(!help.Window());
    }
};

int main(int argc, char** argv) {
    TfrmHelp::RegisterUrlScheme();
    QApplication app(argc, argv);
    THelpKeyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "THelpKeyTest.moc"
