// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
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
        THelpManager Manager;
        THelpKey Key{Manager};

        explicit THelp(const QString& languageCode)
            : Test(languageCode) {
            auto viewer = std::make_shared<TTamHtmlHelpViewer>();
            viewer->SetHtmlHelpProc(
                [this](QObject* owner, const QString& file,
                       TTamHtmlHelpViewer::THtmlHelpCommand command,
                       const QVariant& data) { Host.HtmlHelp(owner, file, command, data); });
            Manager.RegisterViewer(viewer);
            Manager.SetHelpSelector(viewer);
            Manager.SetWinHelpTester(std::make_shared<TTamWinHelpTester>());
            QString helpFile;
            Test.Language.FindLanguageFile("Kelvo_%s.chm", KELVO_RUNTIME_DIR, helpFile);
            Manager.SetHelpFile(helpFile);
            Test.Environment->Help = &Manager;
        }
        QString PageTitle() const {
            auto* window = Host.Window();
            return window ? window->findChild<QWebEngineView*>("webHelp")->title() : QString();
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
    // F1 in the main window must open the help at the main window's page, in the window's
    // language, owned by the main window.
    void f1InTheMainWindowShowsItsPage_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << "ENU"
                                 << "The main window";
        QTest::newRow("German") << "DEU"
                                << "Das Hauptfenster";
    }
    void f1InTheMainWindowShowsItsPage() {
        QFETCH(QString, language);
        QFETCH(QString, title);
        THelp help(language);
        TfrmKelvo window(*help.Test.Environment);
        ShowSampleProject(window);
        QTest::qWait(200);
        SaveScreenshot(&window, "mainwindow-" + language.left(2));

        PressF1();
        QVERIFY(help.Host.Window());
        QVERIFY(help.Host.Window()->isVisible());
        QCOMPARE(help.Host.Window()->parentWidget(), &window);
        QTRY_COMPARE(help.PageTitle(), title);
        QCOMPARE(help.Host.Window()->CurrentPage(), QString("/mainwindow.htm"));

        // The Help menu's contents entry shows the contents beside the same window.
        window.findChild<QAction*>("actHelpHelp")->trigger();
        auto* tabs = help.Host.Window()->findChild<QTabWidget*>("tabNavigation");
        QCOMPARE(tabs->currentWidget()->objectName(), QString("tabContents"));
    }

    // The layout dialog's Help button and F1 inside it must show the layout dialog's page, with
    // the help window usable beside the modal dialog.
    void layoutDialogHelpShowsItsPage_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << "ENU"
                                 << "The layout dialog";
        QTest::newRow("German") << "DEU"
                                << "Der Layout-Dialog";
    }
    void layoutDialogHelpShowsItsPage() {
        QFETCH(QString, language);
        QFETCH(QString, title);
        THelp help(language);
        TfrmKelvo window(*help.Test.Environment);
        ShowSampleProject(window);
        TfrmHtmlLayout dialog(*window.Project(), *help.Test.Environment, &window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnHelp"), Qt::LeftButton);
        QVERIFY(help.Host.Window());
        QCOMPARE(help.Host.Window()->parentWidget(), &dialog);
        QTRY_COMPARE(help.PageTitle(), title);
        help.Host.Window()->close();
        QTRY_VERIFY(!help.Host.Window());

        QApplication::setActiveWindow(&dialog);
        dialog.findChild<QWidget*>("webPreview")->setFocus();
        PressF1();
        QVERIFY(help.Host.Window());
        QTRY_COMPARE(help.PageTitle(), title);
    }

    // The info action must open the info dialog.
    void infoActionOpensTheInfoDialog() {
        THelp help("ENU");
        TfrmKelvo window(*help.Test.Environment);
        window.show();
        QString opened;
        QTimer::singleShot(0, &window, [&opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                opened = modal->metaObject()->className();
                modal->close();
            }
        });
        window.findChild<QAction*>("actHelpInfo")->trigger();
        QCOMPARE(opened, QString("TfrmInfo"));
    }
};

int main(int argc, char** argv) {
    TfrmHelp::RegisterUrlScheme();
    QApplication app(argc, argv);
    THelpKeyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "THelpKeyTest.moc"
