// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <memory>

#include "DialogTestSupport.h"
#include "ui/TLargeSlideView.h"
#include "ui/TfrmKelvo.h"

namespace {

// Lets the event loop go idle once, as a user's pause would: the window updates its actions
// only then.
void Idle() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

QString SamplePicture(const char* name) {
    return QStringLiteral(KELVO_SOURCE_DIR "/Pictures/") + QLatin1String(name);
}

const QStringList ThreeSamples{SamplePicture("Sunset.jpg"), SamplePicture("Friends.jpg"),
                               SamplePicture("Aitzgorri.jpg")};

/// A main window with its own language (from the built language files), settings and
/// scripted prompts, shown and holding its first empty project.
struct TWindow : TDialogTestEnvironment {
    std::unique_ptr<TfrmKelvo> Window;

    explicit TWindow(const QString& languageCode = QStringLiteral("ENU"))
        : TDialogTestEnvironment(languageCode) {
        Window = std::make_unique<TfrmKelvo>(*Environment);
        Window->show();
        if (!QTest::qWaitForWindowExposed(Window.get()))
            qFatal("main window not exposed");
        Idle();
    }

    QAction* Action(const char* name) const {
        auto* action = Window->findChild<QAction*>(QLatin1String(name));
        if (action == nullptr)
            qFatal("no action %s", name);
        return action;
    }
    QTableView* Grid() const { return Window->findChild<QTableView*>(QStringLiteral("grdData")); }
    TKelPictureList& Pictures() const { return Window->Project()->Pictures(); }
    void AddPictures(const QStringList& files) {
        Prompts.Files.push_back(files);
        Idle();
        Action("actPictureAdd")->trigger();
        Idle();
    }
    // Clicks the middle of slide index in the main slide view.
    void ClickSlide(int index, Qt::KeyboardModifiers keys = {}) const {
        TLargeSlideView* view = Window->MainSlideView();
        const TRect r = view->GetSlideRect(view->IndexToCell(index));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, keys,
                          QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2 - 20));
    }
    QStringList FileNames() const {
        QStringList names;
        for (int i = 0; i < Pictures().Count(); ++i)
            names.append(QString::fromStdString(Pictures().GetPicture(i)->FileName()));
        return names;
    }
    QList<int> SelectedIndexes() const {
        QList<int> selected;
        for (int i = 0; i < Pictures().Count(); ++i)
            if (Pictures().GetPicture(i)->Selected())
                selected.append(i);
        return selected;
    }
};

} // namespace

class TfrmKelvoTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
    void ActionRulesFollowPictures();
    void SelectionRules();
    void GridEditsRecordHistory();
    void HeaderClickNearBorderDoesNotSort();
    void FailedOpenLeavesProjectUntouched();
    void SaveAndOpenAgain();
    void DroppedAndDamagedPicturesAreAdded();
    void GridWheelScrollsWhatIsUnderThePointer();
    void Screenshots_data();
    void Screenshots();
};

// Catches stale enabled states of Up, Down, Remove, Save and the orders, from a fresh project
// (whose caption names no file) on; and a split view that opens to the wrong height or does not
// close.
void TfrmKelvoTest::ActionRulesFollowPictures() {
    TWindow w;
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Kelvo - Unknown"));
    QCOMPARE(w.Grid()->model()->rowCount(), 1); // under the header: one empty row
    QVERIFY(w.Action("actFileSaveAs")->isEnabled());
    for (const char* disabled :
         {"actFileSave", "actPictureDelete", "actPictureUp", "actPictureDown",
          "actPictureOrderByTitle", "actPictureOrderByDate", "actPictureOrderByFilename",
          "actPictureOrderByComment"})
        QVERIFY2(!w.Action(disabled)->isEnabled(), disabled);
    for (const char* enabled : {"actFileNew", "actFileOpen", "actPictureAdd", "actFileHtmlLayout",
                                "actViewDivide", "actHelpHelp", "actHelpInfo"})
        QVERIFY2(w.Action(enabled)->isEnabled(), enabled);
    TLargeSlideView* split = w.Window->SplitSlideView();
    QCOMPARE(split->height(), 1);
    w.Action("actViewDivide")->trigger();
    QCOMPARE(split->height(), 2 + 128 + 2 + 2);
    w.Action("actViewDivide")->trigger();
    QCOMPARE(split->height(), 1);

    w.AddPictures({ThreeSamples[0]});
    Idle();
    QVERIFY(w.Action("actFileSave")->isEnabled());
    QVERIFY(!w.Action("actPictureOrderByTitle")->isEnabled());
    w.ClickSlide(0);
    QCOMPARE(w.Window->CurrentPicture(), w.Pictures().GetPicture(0));
    Idle();
    QVERIFY(w.Action("actPictureDelete")->isEnabled());
    QVERIFY(!w.Action("actPictureUp")->isEnabled());
    QVERIFY(!w.Action("actPictureDown")->isEnabled());

    w.AddPictures({ThreeSamples[1], ThreeSamples[2]});
    Idle();
    QVERIFY(w.Action("actPictureDown")->isEnabled());
    QVERIFY(!w.Action("actPictureUp")->isEnabled());
    QVERIFY(w.Action("actPictureOrderByTitle")->isEnabled());
    w.Action("actPictureDown")->trigger();
    QCOMPARE(w.Pictures().IndexOf(w.Window->CurrentPicture()), 1);
    Idle();
    QVERIFY(w.Action("actPictureUp")->isEnabled());

    // Removing leaves no current picture: Up and Down wait for the next click.
    w.Prompts.Answers.push_back(QMessageBox::Yes);
    Idle();
    w.Action("actPictureDelete")->trigger();
    QCOMPARE(w.Pictures().Count(), 2);
    QCOMPARE(w.Window->CurrentPicture(), nullptr);
    QCOMPARE(w.Window->MainSlideView()->CurrentPicture(), nullptr);
    Idle();
    QVERIFY(!w.Action("actPictureUp")->isEnabled());
    QVERIFY(!w.Action("actPictureDown")->isEnabled());
    QVERIFY(!w.Action("actPictureDelete")->isEnabled());
}

// Catches Control and Shift clicks that select the wrong pictures.
void TfrmKelvoTest::SelectionRules() {
    TWindow w;
    w.AddPictures(ThreeSamples + QStringList{SamplePicture("Life.jpg"), SamplePicture("Wine.jpg")});
    w.ClickSlide(0);
    QCOMPARE(w.SelectedIndexes(), (QList<int>{0}));
    w.ClickSlide(2, Qt::ControlModifier);
    QCOMPARE(w.SelectedIndexes(), (QList<int>{0, 2}));
    // Control on a selected picture deselects it, yet makes it current.
    w.ClickSlide(2, Qt::ControlModifier);
    QCOMPARE(w.SelectedIndexes(), (QList<int>{0}));
    QCOMPARE(w.Window->CurrentPicture(), w.Pictures().GetPicture(2));
    // Shift selects exactly the range from the current picture, both ends included.
    w.ClickSlide(4, Qt::ShiftModifier);
    QCOMPARE(w.SelectedIndexes(), (QList<int>{2, 3, 4}));
    w.ClickSlide(1);
    QCOMPARE(w.SelectedIndexes(), (QList<int>{1}));
    // A click in the grid's Date column makes that row current, too.
    QTableView* grid = w.Grid();
    const QRect cell = grid->visualRect(grid->model()->index(0, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(w.Window->CurrentPicture(), w.Pictures().GetPicture(0));
    QCOMPARE(w.SelectedIndexes(), (QList<int>{0}));
}

// Catches grid edits that bypass the history, Delete not emptying the cell, and Control+Shift+H
// not showing the support menu or its History text missing entries.
void TfrmKelvoTest::GridEditsRecordHistory() {
    TWindow w;
    w.AddPictures({ThreeSamples[0]});
    TKelProject& project = *w.Window->Project();
    project.History().Clear();
    QTableView* grid = w.Grid();
    grid->setFocus();
    const QRect title = grid->visualRect(grid->model()->index(0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, title.center());
    grid->edit(grid->currentIndex());
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Beach"));
    // A click on a slide refreshes the grid and closes the editor: the title stays typed.
    w.ClickSlide(0);
    editor = grid->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor == nullptr || !editor->isVisible());
    QCOMPARE(w.Pictures().GetPicture(0)->Title(), std::string("Beach"));
    QVERIFY(project.History().IsModified());
    QCOMPARE(project.History().Items().back(), std::string("SetTitle"));
    project.History().Clear();

    // Tab walks Title and Comment only.
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(grid->currentIndex().column(), 2);
    QTest::keyClick(grid, Qt::Key_Backtab);
    QCOMPARE(grid->currentIndex().column(), 1);

    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(w.Pictures().GetPicture(0)->Title(), std::string());

    auto* support = w.Window->findChild<QMenu*>(QStringLiteral("mnuSupport"));
    QVERIFY(!support->menuAction()->isVisible());
    QTest::keyClick(grid, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(support->menuAction()->isVisible());
    Idle();
    w.Action("actSupportHistory")->trigger();
    QCOMPARE(w.Prompts.Asked.size(), 1);
    QCOMPARE(w.Prompts.Asked[0].Caption, QStringLiteral("Copied to clipboard"));
    QCOMPARE(w.Prompts.Asked[0].Text, QStringLiteral("History\n*******\nSetTitle"));
}

// Catches a column resize (a click near a border) reordering the pictures.
void TfrmKelvoTest::HeaderClickNearBorderDoesNotSort() {
    TWindow w;
    w.AddPictures(ThreeSamples); // Sunset, Friends, Aitzgorri
    QHeaderView* header = w.Grid()->horizontalHeader();
    const int left = header->sectionViewportPosition(1);
    const int y = header->height() / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(left + 2, y));
    QCOMPARE(w.Pictures().GetPicture(0)->Title(), std::string("Sunset"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(left + 40, y));
    QCOMPARE(w.Pictures().GetPicture(0)->Title(), std::string("Aitzgorri"));
    QCOMPARE(w.Pictures().GetPicture(2)->Title(), std::string("Sunset"));
}

// Catches a failed open that replaces or damages the open project, and New or closing going
// ahead after the user cancelled the save of the modified project.
void TfrmKelvoTest::FailedOpenLeavesProjectUntouched() {
    TWindow w;
    w.AddPictures({ThreeSamples[0]});
    const TKelProject* before = w.Window->Project();
    const QString broken = w.Temp.filePath(QStringLiteral("broken.kel"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<kelvo version=\"1.00\"><project>");
    file.close();
    w.Prompts.Answers.push_back(QMessageBox::No); // do not save the modified project first
    w.Prompts.Files.push_back({broken});
    w.Action("actFileOpen")->trigger();
    QCOMPARE(w.Window->Project(), before);
    QCOMPARE(w.Pictures().Count(), 1);
    QVERIFY(before->History().IsModified());
    QCOMPARE(w.Prompts.Asked.size(), 2);
    QCOMPARE(w.Prompts.Asked[1].Icon, QMessageBox::Warning);
    QCOMPARE(w.Prompts.Asked[1].Caption + ": " + w.Prompts.Asked[1].Text,
             QStringLiteral("Kelvo: The project couldn't be opened!"));

    w.Prompts.Answers.push_back(QMessageBox::Yes); // save first: the save dialog is cancelled
    w.Action("actFileNew")->trigger();
    QCOMPARE(w.Window->Project(), before);
    QVERIFY(before->History().IsModified());
    w.Prompts.Answers.push_back(QMessageBox::Cancel);
    QVERIFY(!w.Window->close());
    QVERIFY(w.Window->isVisible());
    w.Prompts.Answers.push_back(QMessageBox::No);
    QVERIFY(w.Window->close());
}

// Catches a save and reopen that loses or reorders pictures or titles; and the caption.
void TfrmKelvoTest::SaveAndOpenAgain() {
    TWindow w;
    w.Action("actFileNew")->trigger();
    w.AddPictures(ThreeSamples);
    w.Grid()->model()->setData(w.Grid()->model()->index(1, 1), QStringLiteral("Best friends"));
    const QString fileName = w.Temp.filePath(QStringLiteral("Holiday"));
    w.Prompts.Files.push_back({fileName}); // the extension is added
    Idle();
    w.Action("actFileSave")->trigger();
    QVERIFY(!w.Window->Project()->History().IsModified());
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Kelvo - Holiday"));
    w.Prompts.Files.push_back({w.Temp.filePath(QStringLiteral("a.b.kel"))});
    w.Action("actFileSaveAs")->trigger();
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Kelvo - a.b"));

    w.Prompts.Files.push_back({fileName + QStringLiteral(".kel")});
    w.Action("actFileOpen")->trigger();
    QCOMPARE(w.Window->windowTitle(), QStringLiteral("Kelvo - Holiday"));
    QCOMPARE(w.FileNames(), ThreeSamples);
    QCOMPARE(w.Pictures().GetPicture(1)->Title(), std::string("Best friends"));
    QVERIFY(w.Pictures().GetPicture(2)->Thumbnail() != nullptr);
    QCOMPARE(w.Window->MainSlideView()->SlideCount(), 3);
    QVERIFY(w.Prompts.Asked.isEmpty());
}

// Catches files or folders dropped from a file manager onto the slides being refused, a folder
// giving other files than pictures or an unstable order, and a damaged or missing picture that
// crashes the loading, is left out or leaves the window disabled.
void TfrmKelvoTest::DroppedAndDamagedPicturesAreAdded() {
    TWindow w;
    QFile sample(ThreeSamples[0]);
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QByteArray jpeg = sample.readAll();
    QTemporaryDir folder;
    for (const auto& [name, content] :
         {std::pair{"b.JPG", jpeg.left(jpeg.size() / 3)}, std::pair{"a.jpeg", QByteArray()},
          std::pair{"c.bmp", QByteArray("no picture")}, std::pair{"notes.txt", QByteArray()}}) {
        QFile file(folder.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(folder.path()), QUrl::fromLocalFile(ThreeSamples[0]),
                  QUrl::fromLocalFile(folder.filePath("notes.txt"))});
    QWidget* target = w.Window->MainSlideView()->viewport();
    const QPoint point = target->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QVERIFY(drop.isAccepted());
    Idle();
    const QString missing = folder.filePath(QStringLiteral("missing.jpg"));
    w.AddPictures({missing});
    QCOMPARE(w.FileNames(), (QStringList{folder.filePath("a.jpeg"), folder.filePath("b.JPG"),
                                         folder.filePath("c.bmp"), ThreeSamples[0], missing}));
    QVERIFY(w.Window->isEnabled());
    QCOMPARE(w.Pictures().GetPicture(2)->Thumbnail(), nullptr);
    QVERIFY(w.Pictures().GetPicture(2)->Checked());
    QVERIFY(!w.Pictures().GetPicture(4)->Checked()); // a missing file is not in the gallery
    QVERIFY(w.Pictures().GetPicture(3)->Thumbnail() != nullptr);
    QCOMPARE(w.Window->MainSlideView()->SlideCount(), 5);
}

// Catches a wheel turned in the focused grid that scrolls the grid instead of the slides under
// the pointer, or by the wrong amount.
void TfrmKelvoTest::GridWheelScrollsWhatIsUnderThePointer() {
    TWindow w;
    w.AddPictures(ThreeSamples + ThreeSamples + ThreeSamples + ThreeSamples);
    TLargeSlideView* view = w.Window->MainSlideView();
    QVERIFY(view->verticalScrollBar()->maximum() > 40);
    view->verticalScrollBar()->setValue(0);
    QTableView* grid = w.Grid();
    const auto wheel = [&](QWidget* over, int delta) {
        const QPoint global = over->mapToGlobal(over->rect().center());
        QWheelEvent event(grid->viewport()->mapFromGlobal(global), global, QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    };
    wheel(view->viewport(), -120); // down
    QCOMPARE(view->verticalScrollBar()->value(), 20);
    wheel(view->viewport(), 120);
    QCOMPARE(view->verticalScrollBar()->value(), 0);
    const int top = grid->verticalScrollBar()->value();
    wheel(grid->viewport(), -120);
    QCOMPARE(grid->verticalScrollBar()->value(), top + 1); // one row
}

// Keeps the main window visible for review: English and German, light and dark; catches a window
// that keeps its English captions with a German language file.
void TfrmKelvoTest::Screenshots_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("dark");
    QTest::newRow("main-window-en-light") << "ENU" << false;
    QTest::newRow("main-window-de-light") << "DEU" << false;
    QTest::newRow("main-window-en-dark") << "ENU" << true;
    QTest::newRow("main-window-de-dark") << "DEU" << true;
}

void TfrmKelvoTest::Screenshots() {
    QFETCH(QString, code);
    QFETCH(bool, dark);
    const QPalette light = QApplication::style()->standardPalette();
    QPalette palette = light;
    if (dark) {
        palette.setColor(QPalette::Window, QColor(45, 45, 48));
        palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
        palette.setColor(QPalette::Base, QColor(30, 30, 30));
        palette.setColor(QPalette::Text, QColor(230, 230, 230));
        palette.setColor(QPalette::Button, QColor(60, 60, 64));
        palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        palette.setColor(QPalette::Light, QColor(90, 90, 96));
        palette.setColor(QPalette::Midlight, QColor(75, 75, 80));
        palette.setColor(QPalette::Dark, QColor(25, 25, 28));
        palette.setColor(QPalette::Shadow, QColor(0, 0, 0));
        palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
        palette.setColor(QPalette::HighlightedText, Qt::white);
    }
    QApplication::setPalette(palette);
    {
        TWindow w(code);
        // A German language file must reach the caption, the actions and the grid header.
        if (code == "DEU") {
            QCOMPARE(w.Window->windowTitle(), QStringLiteral("Kelvo - Unbenannt"));
            QCOMPARE(w.Action("actFileNew")->text(), QStringLiteral("&Neues Projekt"));
            QCOMPARE(w.Grid()->model()->headerData(1, Qt::Horizontal).toString(), QString("Titel"));
        }
        w.Window->resize(655, 441);
        QStringList all;
        for (const char* name : {"Sunset.jpg", "Friends.jpg", "Aitzgorri.jpg", "Life.jpg",
                                 "Wine.jpg", "Umang.jpg", "Seeding.jpg", "Freespace.jpg"})
            all.append(SamplePicture(name));
        w.AddPictures(all);
        w.ClickSlide(1);
        w.ClickSlide(2, Qt::ControlModifier);
        w.Pictures().GetPicture(3)->SetChecked(false);
        w.Window->MainSlideView()->UpdateSlides();
        QTest::qWait(50);
        const QString path =
            SaveScreenshot(w.Window.get(), QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(QFileInfo::exists(path));
        w.Window->Project()->History().Clear(); // closes without asking
    }
    QApplication::setPalette(light);
}

QTEST_MAIN(TfrmKelvoTest)
#include "TfrmKelvoTest.moc"
