// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <QWebEngineView>

#include <map>

#include "DialogTestSupport.h"
#include "model/TKelLayer.h"
#include "model/TKelLayout.h"
#include "ui/ControlState.h"
#include "ui/TPreviewPage.h"
#include "ui/TfrmHtmlLayout.h"

namespace {

// A file's last change, by path, for every file below folder.
std::map<QString, QDateTime> FileTimes(const QString& folder) {
    std::map<QString, QDateTime> times;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        times[path] = QFileInfo(path).lastModified();
    }
    return times;
}

QTreeWidgetItem* FindNode(QTreeWidget* tree, const QString& layout, const QString& layer) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tree->topLevelItem(i);
        if (node->text(0) != layout)
            continue;
        if (layer.isEmpty())
            return node;
        for (int j = 0; j < node->childCount(); ++j)
            if (node->child(j)->text(0) == layer)
                return node->child(j);
    }
    return nullptr;
}

} // namespace

class HtmlLayoutTest : public QObject {
    Q_OBJECT

private:
    /// Shows the dialog and waits for its first preview.
    static void Show(TfrmHtmlLayout& dialog) {
        QSignalSpy loaded(&dialog, &TfrmHtmlLayout::PreviewLoaded);
        dialog.resize(900, 620);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTRY_VERIFY_WITH_TIMEOUT(loaded.count() > 0, 20000);
    }
    /// Chooses a node of the tree and waits for its preview.
    static void Choose(TfrmHtmlLayout& dialog, const QString& layout, const QString& layer = {}) {
        auto* tree = dialog.findChild<QTreeWidget*>("tvwLayouts");
        QTreeWidgetItem* node = FindNode(tree, layout, layer);
        QVERIFY2(node, qPrintable(layout + "/" + layer));
        QSignalSpy loaded(&dialog, &TfrmHtmlLayout::PreviewLoaded);
        tree->setCurrentItem(node);
        QTRY_VERIFY_WITH_TIMEOUT(loaded.count() > 0, 20000);
    }
    /// Types text into an edit and leaves it, as the user does.
    static void TypeAndLeave(TfrmHtmlLayout& dialog, const char* name, const QString& text) {
        auto* edit = dialog.findChild<QLineEdit*>(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        dialog.findChild<QWidget*>("tvwLayouts")->setFocus();
    }
    static bool LooksInvalid(QWidget* control) {
        return control->palette().color(QPalette::Base) == InvalidInputColor;
    }

private slots:
    // A preview that shows no picture, or a broken one, in any shipped layout and language.
    void previewShowsPictures_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("layout");
        for (const char* language : {"EN", "DE"})
            for (const char* layout : {"Classic", "Darkroom", "Standard"})
                QTest::addRow("%s %s", layout, language) << language << layout;
    }
    void previewShowsPictures() {
        QFETCH(QString, language);
        QFETCH(QString, layout);
        TDialogTestEnvironment test(language == "DE" ? "DEU" : "ENU");
        TKelProject project;
        QVERIFY(project.LoadFromFile(KELVO_SOURCE_DIR "/examples/sample-gallery.kel", true));
        project.Layouts().SetActiveLayout(layout.toStdString());
        TfrmHtmlLayout dialog(project, *test.Environment);
        Show(dialog);
        Choose(dialog, layout, "index");

        const QVariant broken = RunJavaScript(
            dialog.PreviewPage(),
            "Array.from(document.images).filter(i => !i.complete || i.naturalWidth === 0)"
            ".map(i => i.src).join(' ') + '|' + document.images.length");
        const QStringList parts = broken.toString().split('|');
        QCOMPARE(parts.value(0), QString());
        QVERIFY(parts.value(1).toInt() > 0);
        QVERIFY(!dialog.findChild<QLabel*>("pnlStatistic")->text().isEmpty());
        QTest::qWait(300);
        SaveScreenshot(&dialog, "TfrmHtmlLayout-" + layout + "-" + language);
    }

    // A link in the preview, clicked or followed by a script, leaves the preview.
    void linksDoNotNavigate_data() {
        QTest::addColumn<QString>("how");
        QTest::addRow("mouse click") << "mouse";
        QTest::addRow("script click") << "document.querySelector('a[href]').click()";
        QTest::addRow("location change") << "location.href = 'https://example.org/'";
    }
    void linksDoNotNavigate() {
        QFETCH(QString, how);
        TDialogTestEnvironment test;
        TKelProject project;
        AddPictures(project, SamplePictures().mid(0, 3));
        TfrmHtmlLayout dialog(project, *test.Environment);
        Show(dialog);
        Choose(dialog, "Standard", "photo");
        QWebEnginePage& page = dialog.PreviewPage();
        const QUrl shown = page.url();
        QVERIFY(RunJavaScript(page, "document.querySelectorAll('a[href]').length").toInt() > 0);

        if (how == "mouse") {
            const QVariantList box =
                RunJavaScript(page, "(r => [r.left + r.width / 2, r.top + r.height / 2])("
                                    "document.querySelector('a[href]').getBoundingClientRect())")
                    .toList();
            QVERIFY(box.size() == 2);
            QWidget* target = dialog.findChild<QWebEngineView*>("webPreview")->focusProxy();
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
        } else {
            RunJavaScript(page, how);
        }
        QTest::qWait(700);
        QCOMPARE(page.url(), shown);
        QCOMPARE(RunJavaScript(page, "location.href").toUrl(), shown);
    }

    // Frame and quality edits that accept numbers outside their range, or let OK close over
    // an invalid value.
    void pictureEditsValidate_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addRow("width 100000") << "edtPictureWidth"
                                      << "100000" << false;
        QTest::addRow("width 99999") << "edtPictureWidth"
                                     << "99999" << true;
        QTest::addRow("width 0") << "edtPictureWidth"
                                 << "0" << true;
        QTest::addRow("height -1") << "edtPictureHeight"
                                   << "-1" << false;
        QTest::addRow("quality 0") << "edtPictureQuality"
                                   << "0" << false;
        QTest::addRow("quality 1") << "edtPictureQuality"
                                   << "1" << true;
        QTest::addRow("quality 100") << "edtPictureQuality"
                                     << "100" << true;
        QTest::addRow("quality 101") << "edtPictureQuality"
                                     << "101" << false;
        QTest::addRow("quality letter") << "edtPictureQuality"
                                        << "x" << false;
    }
    void pictureEditsValidate() {
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        TDialogTestEnvironment test;
        TKelProject project;
        AddPictures(project, SamplePictures().mid(0, 2));
        project.Layouts().SetActiveLayout("Standard");
        TfrmHtmlLayout dialog(project, *test.Environment);
        Show(dialog);
        Choose(dialog, "Standard", "index");
        auto* slider = dialog.findChild<QSlider*>("trkbPictureQuality");
        const int sliderBefore = slider->value();

        TypeAndLeave(dialog, qPrintable(edit), text);
        auto* control = dialog.findChild<QLineEdit*>(edit);
        if (edit == "edtPictureQuality" && text == "x")
            QCOMPARE(slider->value(), sliderBefore);
        dialog.findChild<QPushButton*>("btnOk")->click();
        QCOMPARE(LooksInvalid(control), !valid);
        QCOMPARE(dialog.isVisible(), !valid);
        if (valid) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            const TKelLayer* layer =
                project.Layouts().FindLayout("Standard")->Layers().FindLayer("index");
            const int stored = edit == "edtPictureWidth"    ? layer->PictureWidth()
                               : edit == "edtPictureHeight" ? layer->PictureHeight()
                                                            : layer->PictureQuality();
            QCOMPARE(stored, text.toInt());
        }
    }

    // The size list showing a preset that the edits no longer hold, or the reverse.
    void sizeListFollowsTheFrame() {
        TDialogTestEnvironment test;
        TKelProject project;
        AddPictures(project, SamplePictures().mid(0, 2));
        TfrmHtmlLayout dialog(project, *test.Environment);
        Show(dialog);
        Choose(dialog, "Standard", "index");
        auto* sizes = dialog.findChild<QComboBox*>("cmbPictureSize");
        QCOMPARE(sizes->currentIndex(), 7);

        sizes->setCurrentIndex(3);
        emit sizes->activated(3);
        QCOMPARE(dialog.findChild<QLineEdit*>("edtPictureWidth")->text(), QString("500"));
        QCOMPARE(dialog.findChild<QLineEdit*>("edtPictureHeight")->text(), QString("460"));
        QCOMPARE(sizes->currentIndex(), 3);

        TypeAndLeave(dialog, "edtPictureWidth", "321");
        QCOMPARE(sizes->currentIndex(), 7);
        Choose(dialog, "Standard", "photo");
        QCOMPARE(sizes->currentIndex(), 7);
    }

    // Copying the layout or rewriting placeholders on a mere change of layer, which makes
    // every switch slow.
    void switchingLayersCopiesNothing() {
        TDialogTestEnvironment test;
        TKelProject project;
        AddPictures(project, SamplePictures().mid(0, 2));
        TfrmHtmlLayout dialog(project, *test.Environment);
        Show(dialog);
        Choose(dialog, "Darkroom", "index");
        const QString temp = QString::fromStdString(test.Settings->TempDirectory());
        const auto before = FileTimes(temp);
        QTest::qWait(20);

        Choose(dialog, "Darkroom", "strip");
        const auto after = FileTimes(temp);
        for (const auto& [path, time] : after) {
            const bool isLayoutFile = path.endsWith(".css") || path.endsWith(".js");
            const bool isPlaceholder = QFileInfo(path).fileName().startsWith("dummy");
            if (!isLayoutFile && !isPlaceholder)
                continue;
            QVERIFY2(before.count(path) == 1, qPrintable("new file " + path));
            QVERIFY2(before.at(path) == time, qPrintable("rewritten " + path));
        }
    }

    // OK that records a change for a mere choice of layout, or that loses the choice.
    void choosingAnotherLayoutRecordsNothing() {
        TDialogTestEnvironment test;
        TKelProject project;
        AddPictures(project, SamplePictures().mid(0, 2));
        project.Layouts().SetActiveLayout("Standard");
        TfrmHtmlLayout dialog(project, *test.Environment);
        Show(dialog);
        Choose(dialog, "Darkroom");
        dialog.findChild<QPushButton*>("btnOk")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(project.Layouts().ActiveLayout(), std::string("Darkroom"));
        QVERIFY(!project.History().IsModified());
    }

    // Edits made in the dialog that do not make the project modified, or a project left
    // pointing into the dialog's template folders after it is gone.
    void editsReachTheProject() {
        TDialogTestEnvironment test;
        TKelProject project;
        AddPictures(project, SamplePictures().mid(0, 2));
        {
            TfrmHtmlLayout dialog(project, *test.Environment);
            Show(dialog);
            Choose(dialog, "Classic", "index");
            auto* columns = dialog.findChild<QComboBox*>("cmbColCount");
            columns->setCurrentIndex(3);
            emit columns->activated(3);
            dialog.findChild<QPushButton*>("btnOk")->click();
        }
        QVERIFY(project.History().IsModified());
        const TKelLayout* classic = project.Layouts().FindLayout("Classic");
        QVERIFY(classic);
        QCOMPARE(classic->Layers().FindLayer("index")->ColCount(), 3);
        QVERIFY(classic->Directory() == nullptr);
    }

    // Measured by hand: how long the user waits for the preview after a change of text,
    // columns and frame, on a 12-megapixel test picture.
    void previewSpeed() {
        TDialogTestEnvironment test;
        const QString big = test.Temp.filePath("Big.jpg");
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
        QVERIFY(image.save(big, "JPEG", 90));
        TKelProject project;
        AddPictures(project, {big});
        TfrmHtmlLayout dialog(project, *test.Environment);
        Show(dialog);
        Choose(dialog, "Standard", "index");

        const auto timed = [&dialog](const char* what, const std::function<void()>& change) {
            QSignalSpy loaded(&dialog, &TfrmHtmlLayout::PreviewLoaded);
            QElapsedTimer timer;
            timer.start();
            change();
            QTRY_VERIFY_WITH_TIMEOUT(loaded.count() > 0, 20000);
            qInfo("%s: %lld ms", what, static_cast<long long>(timer.elapsed()));
        };
        auto* title = dialog.findChild<QPlainTextEdit*>("memTitle");
        timed("text change", [&] {
            title->setFocus();
            title->setPlainText("A new title");
            dialog.findChild<QWidget*>("tvwLayouts")->setFocus();
        });
        auto* columns = dialog.findChild<QComboBox*>("cmbColCount");
        timed("column count change", [&] {
            columns->setCurrentIndex(2);
            emit columns->activated(2);
        });
        auto* sizes = dialog.findChild<QComboBox*>("cmbPictureSize");
        timed("frame size change", [&] {
            sizes->setCurrentIndex(4);
            emit sizes->activated(4);
        });
    }
};

QTEST_MAIN(HtmlLayoutTest)
#include "HtmlLayoutTest.moc"
