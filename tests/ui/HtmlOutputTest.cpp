// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>

#include "DialogTestSupport.h"
#include "model/TKelLayout.h"
#include "model/TKelLayoutList.h"
#include "model/TKelPicture.h"
#include "template/TKelPageDirectoryList.h"
#include "ui/ControlState.h"
#include "ui/TFrmHtmlOutput.h"

namespace {

int CountFiles(const QString& folder, const QString& pattern) {
    int count = 0;
    QDirIterator it(folder, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++count;
    }
    return count;
}

/// A project whose layouts are read from the shipped templates, as the layout dialog leaves
/// it, writing into a folder of the test.
struct TRunFixture {
    TRunFixture(const QString& layout, int pictures) {
        directories.Load(test.Settings->LayoutsDirectory());
        project.Layouts().LoadFromDirectories(directories);
        project.Layouts().SetActiveLayout(layout.toStdString());
        // Copies of the sample pictures under their own names, as many as asked for.
        const QStringList samples = SamplePictures();
        QStringList files;
        QDir().mkpath(test.Temp.filePath("in"));
        for (int i = 0; i < pictures; ++i) {
            const QString copy =
                test.Temp.filePath(QString("in/p%1.jpg").arg(i, 2, 10, QChar('0')));
            QFile::copy(samples[i % samples.size()], copy);
            files << copy;
        }
        AddPictures(project, files);
        QDir().mkpath(test.Temp.filePath("out"));
        project.SetOutputDirectory(test.Temp.filePath("out").toStdString());
        project.SetOutputSubDirectory("gallery");
        project.History().Clear();
    }
    QString Gallery() const { return test.Temp.filePath("out/gallery"); }

    TDialogTestEnvironment test;
    TKelPageDirectoryList directories;
    TKelProject project;
};

} // namespace

class HtmlOutputTest : public QObject {
    Q_OBJECT

private:
    static void Show(TFrmHtmlOutput& dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    static void Start(TFrmHtmlOutput& dialog) {
        dialog.findChild<QPushButton*>("btnStart")->click();
    }

private slots:
    // Sub-folder names that the run would refuse later, or good names refused.
    void subFolderNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::addRow("plain") << "gallery2" << true;
        QTest::addRow("nested") << "web\\gallery2" << true;
        QTest::addRow("empty") << "" << true;
        QTest::addRow("space") << "my gallery" << false;
        QTest::addRow("dash") << "my-gallery" << false;
        QTest::addRow("underscore") << "gallery_2" << false;
    }
    void subFolderNames() {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        TRunFixture fixture("Standard", 1);
        TFrmHtmlOutput dialog(fixture.project, *fixture.test.Environment);
        Show(dialog);
        auto* edit = dialog.findChild<QLineEdit*>("edtOutputSubDirectory");
        edit->setText(name);
        dialog.findChild<QPushButton*>("btnOk")->click();
        QCOMPARE(edit->palette().color(QPalette::Base) == InvalidInputColor, !valid);
        QCOMPARE(dialog.isVisible(), !valid);
        if (!valid) {
            QCOMPARE(fixture.test.Prompts.Asked.size(), 1);
            QCOMPARE(fixture.test.Prompts.Asked[0].Text, QString("Invalid input!"));
        }
    }

    // A missing output folder accepted; the folder picker's choice not taken over.
    void missingOutputFolder() {
        TRunFixture fixture("Standard", 1);
        TFrmHtmlOutput dialog(fixture.project, *fixture.test.Environment);
        Show(dialog);
        auto* edit = dialog.findChild<QLineEdit*>("edtOutputDirectory");
        edit->setText(fixture.test.Temp.filePath("nowhere"));
        Start(dialog);
        QCOMPARE(edit->palette().color(QPalette::Base), InvalidInputColor);
        QCOMPARE(fixture.test.Prompts.Asked.value(0).Text, QString("Invalid input!"));
        QVERIFY(!QDir(fixture.test.Temp.filePath("nowhere")).exists());

        fixture.test.Prompts.Files.push_back({fixture.test.Temp.filePath("out")});
        fixture.test.Prompts.Answers = {QMessageBox::No};
        dialog.findChild<QWidget*>("btnOutputDirectory")->setFocus();
        QTest::keyClick(dialog.findChild<QWidget*>("btnOutputDirectory"), Qt::Key_Space);
        Start(dialog);
        QVERIFY(QFile::exists(fixture.Gallery() + "/index.html"));
    }

    // A progress range that does not fit the work, or a run that does not reach its end.
    void progressCountsEveryStep() {
        TRunFixture fixture("Darkroom", 12);
        QCOMPARE(fixture.project.Layouts().FindLayout("Darkroom")->Layers().Count(), 3);
        TFrmHtmlOutput dialog(fixture.project, *fixture.test.Environment);
        Show(dialog);
        auto* bar = dialog.findChild<QProgressBar*>("prgOutput");
        int highest = 0;
        int atFirstPicture = -1;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            highest = std::max(highest, value);
            if (atFirstPicture < 0 && value > 3)
                atFirstPicture = value;
        });
        fixture.test.Prompts.Answers = {QMessageBox::No};
        Start(dialog);
        QCOMPARE(bar->maximum(), 363);
        QCOMPARE(highest, 363);
        QCOMPARE(atFirstPicture, 13); // 3 page steps, then 10 for the first picture
        QCOMPARE(CountFiles(fixture.Gallery(), "*.jpg"), 12 * 3);
        QVERIFY(fixture.test.Prompts.Asked.value(0).Text.contains("successfully"));
    }

    // Stop that is not asked for during the run, that does not stop it, or that stops it when
    // the user said No.
    void stopDuringRun_data() {
        QTest::addColumn<bool>("stop");
        QTest::addRow("yes") << true;
        QTest::addRow("no") << false;
    }
    void stopDuringRun() {
        QFETCH(bool, stop);
        TRunFixture fixture("Standard", 24);
        TFrmHtmlOutput dialog(fixture.project, *fixture.test.Environment);
        Show(dialog);
        auto* bar = dialog.findChild<QProgressBar*>("prgOutput");
        auto* stopButton = dialog.findChild<QPushButton*>("btnStop");
        bool clicked = false;
        bool startHiddenAfterStop = false;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            // Once pictures are under way, Stop is clicked as the user would: handled inside
            // the run's next cancel query.
            if (clicked || value <= 2)
                return;
            clicked = true;
            QTimer::singleShot(0, stopButton, [&] {
                QVERIFY(stopButton->isVisible());
                QTest::mouseClick(stopButton, Qt::LeftButton);
                startHiddenAfterStop = !dialog.findChild<QPushButton*>("btnStart")->isVisible();
            });
        });
        fixture.test.Prompts.Answers = {stop ? QMessageBox::Yes : QMessageBox::No, QMessageBox::No};
        Start(dialog);
        QVERIFY(clicked);
        QCOMPARE(fixture.test.Prompts.Asked.size(), 2);
        QVERIFY(fixture.test.Prompts.Asked[0].Text.contains("stop"));
        QCOMPARE(startHiddenAfterStop, !stop);
        const int written = CountFiles(fixture.Gallery(), "*.jpg");
        if (stop) {
            // Pictures already being made may finish (two layers each); no new one is started.
            QVERIFY2(written <= 2 * (QThread::idealThreadCount() + 1),
                     qPrintable(QString::number(written)));
        } else {
            QCOMPARE(written, 24 * 2);
        }
        QVERIFY(dialog.findChild<QPushButton*>("btnStart")->isVisible());
        QVERIFY(dialog.findChild<QWidget*>("pnlBottom")->isEnabled());
    }

    // A run that skipped a damaged picture reported as a plain success.
    void damagedPictureIsReported() {
        TRunFixture fixture("Standard", 2);
        const QString damaged = fixture.test.Temp.filePath("in/Damaged.jpg");
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xff\xd8\xff\xe0 this is no picture");
        file.close();
        AddPictures(fixture.project, {damaged});
        TFrmHtmlOutput dialog(fixture.project, *fixture.test.Environment);
        Show(dialog);
        fixture.test.Prompts.Answers = {QMessageBox::No};
        Start(dialog);
        QCOMPARE(fixture.test.Prompts.Asked.size(), 1);
        const auto& report = fixture.test.Prompts.Asked[0];
        QCOMPARE(report.Icon, QMessageBox::Warning);
        QVERIFY2(report.Text.contains("0 pages and 1 pictures were skipped"),
                 qPrintable(report.Text));
        QVERIFY(report.Text.contains("Damaged.jpg"));
        QVERIFY(report.Text.contains("web browser"));
        QCOMPARE(CountFiles(fixture.Gallery(), "*.jpg"), 2 * 2);
    }

    // Nothing to run told as if a gallery had been made.
    void nothingToRun() {
        TRunFixture fixture("Standard", 2);
        for (TKelPicture* picture : fixture.project.Pictures())
            picture->SetChecked(false);
        TFrmHtmlOutput dialog(fixture.project, *fixture.test.Environment);
        Show(dialog);
        Start(dialog);
        QCOMPARE(fixture.test.Prompts.Asked.value(0).Text, QString("No pictures are selected!"));
        QVERIFY(!QDir(fixture.Gallery()).exists());
    }

    // The dialog as the user sees it.
    void screenshot() {
        TRunFixture fixture("Standard", 1);
        TFrmHtmlOutput dialog(fixture.project, *fixture.test.Environment);
        Show(dialog);
        SaveScreenshot(&dialog, "TFrmHtmlOutput");
    }
};

QTEST_MAIN(HtmlOutputTest)
#include "HtmlOutputTest.moc"
