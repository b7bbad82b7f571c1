// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "DialogTestSupport.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "ui/TFrmHtmlOutput.h"
#include "ui/TfrmHtmlLayout.h"
#include "ui/TfrmKelvo.h"

namespace {

// Every local link and picture of every page below folder that names no existing file.
QStringList BrokenReferences(const QString& folder) {
    static const QRegularExpression reference(R"re((?:href|src)="([^"#?:]+)[^"]*")re");
    QStringList broken;
    QDirIterator it(folder, {"*.html"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString page = it.next();
        QFile file(page);
        if (!file.open(QIODevice::ReadOnly))
            return {page};
        const QString text = QString::fromUtf8(file.readAll());
        for (const auto& match : reference.globalMatch(text)) {
            const QString target = QFileInfo(page).dir().filePath(match.captured(1));
            if (!QFileInfo::exists(target))
                broken << page + " -> " + match.captured(1);
        }
    }
    return broken;
}

template <typename T>
T* WaitForModal() {
    T* dialog = nullptr;
    const bool found = QTest::qWaitFor([&dialog] {
        dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        return dialog != nullptr;
    });
    return found ? dialog : nullptr;
}

} // namespace

class GalleryScenarioTest : public QObject {
    Q_OBJECT

private slots:
    // The whole way from the main window to a gallery: a layer setting that does not reach
    // the run, a page missing from the gallery, or a project that does not count as changed.
    void galleryFromTheMainWindow() {
        TDialogTestEnvironment test;
        TfrmKelvo window(*test.Environment);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.OpenProjectFile(KELVO_SOURCE_DIR "/examples/sample-gallery.kel");
        QVERIFY(window.Project());
        QCOMPARE(window.Project()->Pictures().Count(), 9);
        QVERIFY(!window.Project()->History().IsModified());
        const QString out = test.Temp.filePath("out");
        QVERIFY(QDir().mkpath(out));
        test.Prompts.Answers = {QMessageBox::No}; // do not open the browser

        bool layoutDriven = false;
        bool outputDriven = false;
        const auto driveLayoutDialog = [&] {
            auto* layout = WaitForModal<TfrmHtmlLayout>();
            QVERIFY(layout);
            auto* tree = layout->findChild<QTreeWidget*>("tvwLayouts");
            QTRY_VERIFY(tree->topLevelItemCount() == 3);
            QTreeWidgetItem* darkroom = tree->findItems("Darkroom", Qt::MatchExactly).value(0);
            QVERIFY(darkroom);
            QSignalSpy loaded(layout, &TfrmHtmlLayout::PreviewLoaded);
            tree->setCurrentItem(darkroom->child(0)); // index
            QTRY_VERIFY_WITH_TIMEOUT(loaded.count() > 0, 20000);
            auto* columns = layout->findChild<QComboBox*>("cmbColCount");
            columns->setCurrentIndex(3);
            emit columns->activated(3);

            QTimer::singleShot(0, this, [&] {
                auto* output = WaitForModal<TFrmHtmlOutput>();
                QVERIFY(output);
                output->findChild<QLineEdit*>("edtOutputDirectory")->setText(out);
                output->findChild<QLineEdit*>("edtOutputSubDirectory")->setText("gallery");
                output->findChild<QPushButton*>("btnStart")->click();
                output->findChild<QPushButton*>("btnOk")->click();
                outputDriven = true;
            });
            layout->findChild<QPushButton*>("btnCreateHtml")->click();
            layout->findChild<QPushButton*>("btnOk")->click();
            layoutDriven = true;
        };
        // The window enables its actions when the event loop goes idle, which QTest::qWait
        // never lets it do.
        QEventLoop idle;
        QTimer::singleShot(50, &idle, &QEventLoop::quit);
        idle.exec();
        auto* action = window.findChild<QAction*>("actFileHtmlLayout");
        QVERIFY(action->isEnabled());
        QTimer::singleShot(0, this, driveLayoutDialog);
        action->trigger();
        QVERIFY(layoutDriven);
        QVERIFY(outputDriven);

        const QString gallery = out + "/gallery";
        QVERIFY(QFile::exists(gallery + "/index.html"));
        QCOMPARE(BrokenReferences(gallery), QStringList());
        QCOMPARE(test.Prompts.Asked.size(), 1);
        QVERIFY(test.Prompts.Asked[0].Text.contains("successfully"));
        // Three columns: the first row of the contact sheet ends after the third picture.
        QFile index(gallery + "/index.html");
        QVERIFY(index.open(QIODevice::ReadOnly));
        QVERIFY(index.readAll().count("</tr>") >= 3);
        TKelProject& project = *window.Project();
        QVERIFY(project.History().IsModified());
        QCOMPARE(project.Layouts().ActiveLayout(), std::string("Darkroom"));
        QCOMPARE(project.Layouts().FindLayout("Darkroom")->Layers().FindLayer("index")->ColCount(),
                 3);
        SaveScreenshot(&window, "TfrmKelvo-after-gallery");
    }
};

QTEST_MAIN(GalleryScenarioTest)
#include "GalleryScenarioTest.moc"
