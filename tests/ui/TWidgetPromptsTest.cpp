// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "ui/TWidgetPrompts.h"

class TWidgetPromptsTest : public QObject {
    Q_OBJECT

private slots:
    void PictureDialogShowsPreview();
};

// Catches the add-pictures dialog losing the preview of the selected picture.
void TWidgetPromptsTest::PictureDialogShowsPreview() {
    const QString folder = QStringLiteral(KELVO_SOURCE_DIR "/Pictures");
    bool previewed = false;
    QTimer::singleShot(200, this, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QTest::qWait(500); // the dialog lists the folder in the background
        // As a click in the list does: the picture becomes the current file.
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto* files = list != nullptr ? qobject_cast<QFileSystemModel*>(list->model()) : nullptr;
        QVERIFY(files != nullptr);
        list->setCurrentIndex(files->index(folder + QStringLiteral("/Sunset.jpg")));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const QLabel* label : dialog->findChildren<QLabel*>())
                    if (!label->pixmap().isNull())
                        return true;
                return false;
            }(),
            2000);
        previewed = true;
        dialog->resize(760, 420);
        SaveScreenshot(dialog, QStringLiteral("add-pictures-dialog"));
        dialog->reject();
    });
    TWidgetPrompts prompts;
    const QStringList files = prompts.GetOpenFileNames(
        nullptr, QStringLiteral("Add pictures"), folder,
        QStringLiteral("All pictures (*.jpg *.jpeg *.bmp);;Bitmap (*.bmp)"));
    QVERIFY(files.isEmpty());
    QVERIFY(previewed);
}

QTEST_MAIN(TWidgetPromptsTest)
#include "TWidgetPromptsTest.moc"
