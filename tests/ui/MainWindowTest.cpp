// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QVersionNumber>
#include <QWheelEvent>
#include <QtEndian>

#include <sys/stat.h>

#include <algorithm>

#include "UiTestSupport.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TKelPictureList.h"
#include "support/TempDir.h"
#include "ui/TLargeSlideView.h"
#include "ui/TRememberedPlaces.h"
#include "ui/TThumbnailCache.h"
#include "ui/TWidgetPrompts.h"
#include "ui/TfrmInfo.h"
#include "ui/TfrmKelvo.h"

namespace {

// A list of count pictures without files; with thumbnails, each a plain 110 x 80 picture.
std::unique_ptr<TKelPictureList> MakePictures(int count, bool thumbnails) {
    auto list = std::make_unique<TKelPictureList>();
    for (int i = 0; i < count; ++i) {
        TKelPicture* picture = list->CreatePicture();
        if (!thumbnails)
            continue;
        auto bitmap = std::make_unique<TBM_Bitmap>();
        bitmap->SetSize(110, 80);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 110; ++x)
                bitmap->SetPixel(x, y, 0x3060c0); // B, G, R from the top byte down
        picture->SetThumbnail(std::move(bitmap));
    }
    return list;
}

// A view whose viewport is width pixels wide, showing pictures.
void Prepare(TLargeSlideView& view, TKelPictureList& pictures, int width) {
    view.resize(width + view.verticalScrollBar()->sizeHint().width() + 2 * view.frameWidth(), 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.resize(view.width() + width - view.viewport()->width(), 300);
    QCOMPARE(view.viewport()->width(), width);
    view.SetPictures(&pictures);
    view.UpdateSlides();
}

QImage PaintSlide(const TLargeSlideView& view, int index) {
    QImage image(view.SlideWidth(), view.SlideHeight(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    view.Slide(index)->Paint(painter);
    return image;
}

const QString Samples = QStringLiteral(KELVO_SOURCE_DIR "/Pictures/");
const QStringList ThreeSamples{Samples + "Sunset.jpg", Samples + "Friends.jpg",
                               Samples + "Aitzgorri.jpg"};

/// A main window with its own language, settings and prompts, shown with its first empty project.
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
        return Window->findChild<QAction*>(QLatin1String(name));
    }

    // The actions among names that are enabled once the window went idle.
    QStringList Enabled(std::initializer_list<const char*> names) const {
        Idle();
        QStringList enabled;
        for (const char* name : names)
            if (Action(name)->isEnabled())
                enabled << name;
        return enabled;
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
    // What an undo must bring back: order, titles, comments, check marks, layout settings.
    QString State() const {
        QString state = QString::fromStdString(Window->Project()->LayoutSettings());
        for (const TKelPicture* p : Pictures())
            state += QString::fromStdString("|" + p->FileName() + "," + p->Title() + "," +
                                            p->Comment() + (p->Checked() ? ",1" : ",0"));
        return state;
    }
    // The history entries added since it held count entries.
    QStringList HistorySince(std::size_t count) const {
        QStringList entries;
        const auto& items = Window->Project()->History().Items();
        for (std::size_t i = count; i < items.size(); ++i)
            entries.append(QString::fromStdString(items[i]));
        return entries;
    }
};

// Saves the window with the named menus open, each beside the item that opens it, as one
// screenshot: a menu is a window of its own, which grabbing the main window leaves out.
void SaveMenuScreenshot(QMainWindow& window, const QStringList& names, const QString& file) {
    QList<QMenu*> menus;
    QMenuBar* bar = window.menuBar();
    QPoint at = bar->mapToGlobal(
        bar->actionGeometry(window.findChild<QMenu*>(names[0])->menuAction()).bottomLeft());
    for (const QString& name : names) {
        auto* menu = window.findChild<QMenu*>(name);
        if (!menus.isEmpty()) {
            const QRect item = menus.last()->actionGeometry(menu->menuAction());
            menus.last()->setActiveAction(menu->menuAction());
            at = menus.last()->mapToGlobal(item.topRight());
        }
        menu->popup(at);
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menus.append(menu);
    }
    QTest::qWait(50);
    QRect area = window.rect();
    for (const QMenu* menu : menus)
        area |= QRect(window.mapFromGlobal(menu->pos()), menu->size());
    QPixmap shot(area.size());
    shot.fill(window.palette().color(QPalette::Window));
    QPainter painter(&shot);
    painter.drawPixmap(-area.topLeft(), window.grab());
    for (QMenu* menu : menus)
        painter.drawPixmap(window.mapFromGlobal(menu->pos()) - area.topLeft(), menu->grab());
    painter.end();
    for (auto menu = menus.rbegin(); menu != menus.rend(); ++menu)
        (*menu)->hide();
    QVERIFY(shot.save(QDir(QStringLiteral(KELVO_SCREENSHOT_DIR)).filePath(file + ".png")));
}

// Collects the addresses the info dialog hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};

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
    QVERIFY(WriteFile(ts, (xml + QStringLiteral("</context></TS>")).toUtf8()));
    QCOMPARE(
        QProcess::execute(KELVO_LRELEASE, {"-silent", "-idbased", ts, "-qm", folder + '/' + name}),
        0);
    QFile::remove(ts);
}

// A language object reading Kelvo_<code>.lng files from folder.
std::unique_ptr<TTamLanguage> Language(const QString& folder, const QString& code = "ENU") {
    auto language = std::make_unique<TTamLanguage>();
    language->SetLanguageFileMask(QStringLiteral("Kelvo_%s.lng"));
    language->SetFolder(folder);
    language->SetLanguageCode(code);
    return language;
}

// The ids of a .ts file that have a non-empty translation.
QSet<int> TranslatedIds(const QString& path) {
    static const QRegularExpression message(
        R"re(<message id="(\d+)">((?!</message>).)*<translation>[^<])re",
        QRegularExpression::DotMatchesEverythingOption);
    QFile file(path);
    QSet<int> ids;
    for (const auto& match :
         message.globalMatch(file.open(QIODevice::ReadOnly) ? file.readAll() : ""))
        ids.insert(match.captured(1).toInt());
    return ids;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    TempDir m_dir;

    // A program file with a version record; the marker is put together so this file has none.
    QString ProgramWithVersion(const QByteArray& content) {
        const QByteArray data = "\x7f" + QByteArray("KelvoFile") + "Version=" + content + '\0';
        return QString::fromStdString(m_dir.write("program", data.toStdString()));
    }

private slots:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    // Slides off their cells, drops that move a picture wrongly, slides of removed pictures.
    void SlidesSitWhereTheArithmeticSays() {
        auto pictures = MakePictures(5, false);
        for (const auto& [width, columns] : // an off-by-one in the column arithmetic
             {std::pair{100, 1}, {261, 1}, {262, 2}, {391, 2}, {400, 3}}) {
            TLargeSlideView view;
            Prepare(view, *pictures, width);
            QCOMPARE(view.ColCount(), columns);
        }
        TLargeSlideView view;
        Prepare(view, *pictures, 400);
        QCOMPARE(view.GetSlideRect(view.IndexToCell(3)), (TRect{2, 132, 130, 260}));
        QCOMPARE(view.SlideAt(QPoint(10, 140)), view.Slide(3));
        QCOMPARE(view.GetSlideRect({-1, 0}), TRect{});

        // Drops; 3 columns of 128 + 2 from x = 2, slide 5 mid row 2.
        const std::tuple<const char*, int, QPoint, int> drops[] = {
            {"right half of slide 5", 1, {232, 182}, 4},
            {"left half of slide 5", 1, {152, 182}, 3},
            {"left half of slide 3 stays", 1, {282, 50}, -1},
            {"below the last row", 0, {50, 280}, 4},
            {"in the spacing right of slide 1", 3, {131, 50}, 1}};
        for (const auto& [name, from, point, reported] : drops) {
            QSignalSpy moves(&view, &TLargeSlideView::OnMovePicture);
            if (const int to = view.DropTarget(from, point); to != from)
                view.DoMovePicture(from, to);
            QCOMPARE(moves.count(), reported < 0 ? 0 : 1);
            if (reported >= 0)
                QVERIFY2(moves[0][1] == from && moves[0][2] == reported, name);
        }
        TLargeSlide* first = view.Slide(0);
        pictures->RemovePicture(pictures->GetPicture(0));
        pictures->RemovePicture(pictures->GetPicture(0));
        view.UpdateSlides();
        QCOMPARE(view.SlideCount(), 3);
        QCOMPARE(view.Slide(0), first); // reused in place
        QCOMPARE(view.Slide(0)->Picture(), pictures->GetPicture(0));
        view.SetPictures(nullptr);
        QCOMPARE(view.SlideCount(), 0);
    }

    // Painting that strays from the slide's layout: thumbnail, cross, number, check mark; clicks.
    void PaintsAndClicksSlide() {
        auto pictures = MakePictures(2, true);
        pictures->GetPicture(1)->SetThumbnail(nullptr);
        pictures->GetPicture(1)->SetSelected(true);
        TLargeSlideView view;
        const QColor face(200, 200, 200);
        QPalette palette = view.palette();
        palette.setColor(QPalette::Button, face);
        palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
        view.setPalette(palette);
        Prepare(view, *pictures, 400);

        // A 110 x 80 thumbnail is centred in 9, 9, 119, 119: rows 24 to 103.
        const QImage withThumbnail = PaintSlide(view, 0);
        QCOMPARE(withThumbnail.pixelColor(9, 24), QColor(0xc0, 0x60, 0x30));
        QCOMPARE(withThumbnail.pixelColor(118, 103), QColor(0xc0, 0x60, 0x30));
        QCOMPARE(withThumbnail.pixelColor(60, 20), face);
        QCOMPARE(withThumbnail.pixelColor(6, 110), face); // number box of an unselected picture
        // Without a thumbnail: a grey cross in 9, 25, 119, 103, corners and centre.
        const QImage withoutThumbnail = PaintSlide(view, 1);
        QCOMPARE(withoutThumbnail.pixelColor(64, 64), QColor(128, 128, 128));
        QCOMPARE(withoutThumbnail.pixelColor(64, 30), face);
        // The number box (6, 109, 21, 122) of a selected picture: highlight behind the number.
        QCOMPARE(withoutThumbnail.pixelColor(20, 121), QColor(0, 0, 255));
        // Check box 110, 110, 122, 122; the mark's pixels from 111, 111: green tick, white clear.
        QCOMPARE(withoutThumbnail.pixelColor(111 + 7, 111 + 1), QColor(0, 128, 0));
        QCOMPARE(withoutThumbnail.pixelColor(111 + 3, 111 + 6), QColor(0, 128, 0));
        QCOMPARE(withoutThumbnail.pixelColor(111 + 0, 111 + 0), face);

        // A click on the check box that misses the check mark or the selection report.
        QList<TKelPicture*> selects;
        connect(&view, &TLargeSlideView::OnSelectPicture, this,
                [&selects](TLargeSlideView*, TKelPicture* picture) { selects.append(picture); });
        TKelPicture* second = pictures->GetPicture(1);
        const QPoint slide2(132, 2);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, slide2 + QPoint(110, 110));
        QCOMPARE(second->Checked(), false);
        QCOMPARE(selects, QList<TKelPicture*>{second});
        view.UpdateSlides(); // as the window does on the selection report
        QCOMPARE(PaintSlide(view, 1).pixelColor(111 + 7, 111 + 1), face);
        // The right and the bottom edge lie outside the box, each on its own.
        for (const QPoint outside : {QPoint(122, 115), QPoint(115, 122), QPoint(60, 60)}) {
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, slide2 + outside);
            QCOMPARE(second->Checked(), false);
        }
        QCOMPARE(selects.count(), 4);
    }

    // Stale enabled states of the actions from a fresh project on; a split view of wrong height.
    void ActionRulesFollowPictures() {
        TWindow w;
        QCOMPARE(w.Window->windowTitle(), QStringLiteral("Kelvo - Unknown"));
        QCOMPARE(w.Grid()->model()->rowCount(), 1); // under the header: one empty row
        // New, Open, Divide and the help actions are used (so enabled) by the tests below.
        QCOMPARE(w.Enabled({"actFileSave", "actFileSaveAs", "actPictureAdd", "actPictureDelete",
                            "actPictureUp", "actPictureDown", "actPictureOrderByTitle",
                            "actFileHtmlLayout"}),
                 (QStringList{"actFileSaveAs", "actPictureAdd", "actFileHtmlLayout"}));
        TLargeSlideView* split = w.Window->SplitSlideView();
        QCOMPARE(split->height(), 1);
        w.Action("actViewDivide")->trigger();
        QCOMPARE(split->height(), 2 + 128 + 2 + 2);
        w.Action("actViewDivide")->trigger();
        QCOMPARE(split->height(), 1);

        const auto moves = {"actFileSave", "actPictureDelete", "actPictureUp", "actPictureDown",
                            "actPictureOrderByTitle"};
        w.AddPictures({ThreeSamples[0]});
        QCOMPARE(w.Enabled(moves), QStringList{"actFileSave"});
        w.ClickSlide(0);
        QCOMPARE(w.Enabled(moves), (QStringList{"actFileSave", "actPictureDelete"}));
        w.AddPictures({ThreeSamples[1], ThreeSamples[2]});
        QCOMPARE(w.Enabled(moves), (QStringList{"actFileSave", "actPictureDelete", "actPictureDown",
                                                "actPictureOrderByTitle"}));
        w.Action("actPictureDown")->trigger();
        QCOMPARE(w.Pictures().IndexOf(w.Window->CurrentPicture()), 1);
        QCOMPARE(w.Enabled(moves).size(), 5);

        // Removing leaves no current picture: Up and Down wait for the next click.
        w.Prompts.Answers.push_back(QMessageBox::Yes);
        Idle();
        w.Action("actPictureDelete")->trigger();
        QCOMPARE(w.Pictures().Count(), 2);
        QCOMPARE(w.Window->CurrentPicture(), nullptr);
        QCOMPARE(w.Window->MainSlideView()->CurrentPicture(), nullptr);
        QCOMPARE(w.Enabled(moves), (QStringList{"actFileSave", "actPictureOrderByTitle"}));
    }

    // Control and Shift clicks that select the wrong pictures; the wheel over slides or grid.
    void SelectionRules() {
        TWindow w;
        w.AddPictures(ThreeSamples + ThreeSamples + ThreeSamples + ThreeSamples);
        w.ClickSlide(0);
        QCOMPARE(w.SelectedIndexes(), (QList<int>{0}));
        w.ClickSlide(2, Qt::ControlModifier);
        QCOMPARE(w.SelectedIndexes(), (QList<int>{0, 2}));
        // Control on a selected picture deselects it, yet makes it current.
        w.ClickSlide(2, Qt::ControlModifier);
        QCOMPARE(w.SelectedIndexes(), (QList<int>{0}));
        QCOMPARE(w.Window->CurrentPicture(), w.Pictures().GetPicture(2));
        // Shift selects the range from the current picture, both ends included.
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

        // A wheel in the focused grid scrolls what is under the pointer: slides or grid rows.
        TLargeSlideView* view = w.Window->MainSlideView();
        QVERIFY(view->verticalScrollBar()->maximum() > 40);
        view->verticalScrollBar()->setValue(0);
        const auto wheel = [&](QWidget* over, int delta) {
            const QPoint global = over->mapToGlobal(over->rect().center());
            QWheelEvent event(grid->viewport()->mapFromGlobal(global), global, QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
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

    // Grid edits that bypass the history; Delete, Tab and the support menu's History text.
    void GridEditsRecordHistory() {
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
        // A click on a slide closes the editor: the title stays typed.
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
        QTest::keyClick(grid, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(support->menuAction()->isVisible());
        Idle();
        w.Action("actSupportHistory")->trigger();
        QCOMPARE(w.Prompts.Asked.size(), 1);
        QCOMPARE(w.Prompts.Asked[0].Caption, QStringLiteral("Copied to clipboard"));
        QCOMPARE(w.Prompts.Asked[0].Text, QStringLiteral("History\n*******\nSetTitle"));
    }

    // Failed open damaging the project, New after a cancelled save, save and reopen, sorting,
    // close.
    void OpenAndSave() {
        TWindow w;
        w.Action("actFileNew")->trigger();
        w.AddPictures(ThreeSamples);
        w.Grid()->model()->setData(w.Grid()->model()->index(1, 1), QStringLiteral("Best friends"));
        const TKelProject* before = w.Window->Project();
        const QString broken = w.Temp.filePath(QStringLiteral("broken.kel"));
        QVERIFY(WriteFile(broken, "<kelvo version=\"1.00\"><project>"));
        w.Prompts.Answers.push_back(QMessageBox::No); // do not save the modified project first
        w.Prompts.Files.push_back({broken});
        w.Action("actFileOpen")->trigger();
        QCOMPARE(w.Window->Project(), before);
        QCOMPARE(w.FileNames(), ThreeSamples);
        QVERIFY(before->History().IsModified());
        QCOMPARE(w.Prompts.Asked.size(), 2);
        QCOMPARE(w.Prompts.Asked[1].Icon, QMessageBox::Warning);
        QCOMPARE(w.Prompts.Asked[1].Caption + ": " + w.Prompts.Asked[1].Text,
                 QStringLiteral("Kelvo: The project couldn't be opened!"));
        w.Prompts.Answers.push_back(QMessageBox::Yes); // save first: the save dialog is cancelled
        w.Action("actFileNew")->trigger();
        QCOMPARE(w.Window->Project(), before);
        QVERIFY(before->History().IsModified());
        w.Prompts.Asked.clear();

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

        // A click near a header border ends a column resize: it must not sort.
        QHeaderView* header = w.Grid()->horizontalHeader();
        const int left = header->sectionViewportPosition(1);
        const int y = header->height() / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(left + 2, y));
        QCOMPARE(w.Pictures().GetPicture(0)->Title(), std::string("Sunset"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(left + 40, y));
        QCOMPARE(w.Pictures().GetPicture(0)->Title(), std::string("Aitzgorri"));
        QCOMPARE(w.Pictures().GetPicture(2)->Title(), std::string("Sunset"));
        w.Prompts.Answers.push_back(QMessageBox::Cancel);
        QVERIFY(!w.Window->close());
        QVERIFY(w.Window->isVisible());
        w.Prompts.Answers.push_back(QMessageBox::No);
        QVERIFY(w.Window->close());
    }

    // Dropped files or folders refused or reordered; damaged or missing pictures crashing, left
    // out.
    void DroppedAndDamagedPicturesAreAdded() {
        TWindow w;
        QFile sample(ThreeSamples[0]);
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray jpeg = sample.readAll();
        QTemporaryDir folder;
        for (const auto& [name, content] :
             {std::pair{"b.JPG", jpeg.left(jpeg.size() / 3)}, std::pair{"a.jpeg", QByteArray()},
              std::pair{"c.bmp", QByteArray("no picture")}, std::pair{"notes.txt", QByteArray()},
              std::pair{"d.heic", jpeg}}) // a JPEG under another picture name: read by content
            QVERIFY(WriteFile(folder.filePath(QLatin1String(name)), content));
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
                                             folder.filePath("c.bmp"), folder.filePath("d.heic"),
                                             ThreeSamples[0], missing}));
        QVERIFY(w.Window->isEnabled());
        QCOMPARE(w.Pictures().GetPicture(2)->Thumbnail(), nullptr);
        QVERIFY(w.Pictures().GetPicture(2)->Checked());
        QVERIFY(!w.Pictures().GetPicture(5)->Checked()); // a missing file is not in the gallery
        QVERIFY(w.Pictures().GetPicture(3)->Thumbnail() != nullptr);
        QVERIFY(w.Pictures().GetPicture(4)->Thumbnail() != nullptr);
        QCOMPARE(w.Window->MainSlideView()->SlideCount(), 6);
    }

    // The desktop's thumbnail cache: an entry served after its picture changed, a current one
    // (another program's) ignored, a stale one not renewed, a renewed one readable by others, a
    // slide from Kelvo's own entry looking different from one made from the file, or a cache
    // that cannot be written stopping the thumbnails.
    void ThumbnailCacheEntries_data() {
        QTest::addColumn<int>("mtimeShift"); // of the planted entry against the file
        QTest::addColumn<bool>("writable");
        QTest::addColumn<int>("alpha"); // of the planted entry's red
        QTest::newRow("current entry served") << 0 << true << 255;
        QTest::newRow("transparent entry over white") << 0 << true << 0;
        QTest::newRow("stale entry renewed") << -60 << true << 255;
        QTest::newRow("cache not writable") << -60 << false << 255;
    }
    void ThumbnailCacheEntries() {
        QFETCH(int, mtimeShift);
        QFETCH(bool, writable);
        QFETCH(int, alpha);
        const QTemporaryDir home;
        const QByteArray before = qgetenv("XDG_CACHE_HOME");
        const QString cacheHome = home.filePath(writable ? "cache" : "a-file");
        if (!writable)
            QVERIFY(WriteFile(cacheHome, "not a folder"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
        const auto restore = qScopeGuard([&before] { qputenv("XDG_CACHE_HOME", before); });
        TWindow w;
        const QString photo = w.Temp.filePath(QStringLiteral("photo #1.jpg"));
        QVERIFY(QFile::copy(ThreeSamples[0], photo));
        const qint64 mtime = QFileInfo(photo).lastModified().toSecsSinceEpoch();
        const TThumbnailCache cache;
        const QString entry = cache.EntryPath(photo, TThumbnailCache::TFlavour::Normal);
        QVERIFY(entry.endsWith(QCryptographicHash::hash(QUrl::fromLocalFile(photo).toEncoded(),
                                                        QCryptographicHash::Md5)
                                   .toHex() +
                               ".png"));
        QImage red(128, 85, QImage::Format_ARGB32);
        red.fill(QColor(255, 0, 0, alpha));
        red.setText("Thumb::URI", QUrl::fromLocalFile(photo).toEncoded());
        red.setText("Thumb::MTime", QString::number(mtime + mtimeShift));
        if (writable)
            QVERIFY(QDir().mkpath(QFileInfo(entry).path()) && red.save(entry));

        w.AddPictures({photo, photo});
        const TBM_Bitmap* first = w.Pictures().GetPicture(0)->Thumbnail();
        const TBM_Bitmap* second = w.Pictures().GetPicture(1)->Thumbnail();
        QVERIFY(first && second);
        QCOMPARE(first->Width(), TKelPicture::ThumbnailSize);
        const TBM_Pixel middle = first->GetPixel(55, 36);
        const bool white = middle.R > 250 && middle.G > 250 && middle.B > 250;
        QCOMPARE(middle.R > 250 && middle.G < 5 && middle.B < 5, mtimeShift == 0 && alpha == 255);
        QCOMPARE(white, alpha == 0);
        for (int y = 0; y < first->Height(); ++y)
            for (int x = 0; x < first->Width(); ++x)
                QCOMPARE(second->GetPixel(x, y), first->GetPixel(x, y));
        if (!writable)
            return;
        const QImage written(entry);
        QCOMPARE(written.text("Thumb::URI"),
                 QString::fromLatin1(QUrl::fromLocalFile(photo).toEncoded()));
        QCOMPARE(written.text("Thumb::MTime"), QString::number(mtime));
        QCOMPARE(written.width(), 128);
        QCOMPARE(written.pixelColor(64, 40) == QColor(255, 0, 0, alpha), mtimeShift == 0);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(entry).constData(), &info), 0);
        if (mtimeShift != 0)
            QCOMPARE(info.st_mode & 0777, 0600u);
        QCOMPARE(QDir(QFileInfo(entry).path()).entryList(QDir::Files).size(), 1); // no leftovers
    }

    // A New that slips in after the layout dialog's OK, before its event loop ends, replacing
    // the project that the dialog still holds and then writes to as it goes.
    void NewWaitsForTheLayoutDialog() {
        TWindow w;
        const TKelProject* project = w.Window->Project();
        bool reached = false;
        QTimer::singleShot(0, w.Window.get(), [&w, &reached] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->accept();
            w.Action("actFileNew")->trigger();
            reached = true;
        });
        w.Action("actFileHtmlLayout")->trigger();
        QVERIFY(reached);
        QCOMPARE(w.Window->Project(), project);
    }

    // A removal that leaves a current picture or a new selection behind (the grid's cursor
    // leaving removed rows taken as a click), so that a second Remove hits an unchosen picture;
    // the same where rows go by undoing an add, New or Open.
    void RemovalLeavesNothingCurrent_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");      // Control-clicked
        QTest::addColumn<bool>("keepLast"); // Control-clicked again: it stays, and is current
        QTest::addRow("the last rows") << 5 << 6 << false;
        QTest::addRow("every row") << 0 << 6 << false;
        QTest::addRow("the current one stays") << 4 << 6 << true;
    }
    void RemovalLeavesNothingCurrent() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, keepLast);
        TWindow w;
        w.AddPictures(SamplePictures().mid(0, 7));
        w.ClickSlide(first);
        for (int i = first + 1; i <= last + keepLast; ++i)
            w.ClickSlide(std::min(i, last), Qt::ControlModifier);
        w.Prompts.Answers.push_back(QMessageBox::Yes);
        Idle();
        w.Action("actPictureDelete")->trigger();
        Idle();
        const int left = 7 - (last - first + 1) + keepLast;
        QCOMPARE(w.Pictures().Count(), left);
        QCOMPARE(w.Window->CurrentPicture(), nullptr);
        QCOMPARE(w.SelectedIndexes(), QList<int>());
        QCOMPARE(w.Enabled({"actPictureDelete", "actPictureUp", "actPictureDown"}), QStringList());

        w.AddPictures(ThreeSamples);
        w.ClickSlide(w.Pictures().Count() - 1);
        w.Action("actEditUndo")->trigger(); // the add goes, with the current picture
        Idle();
        QCOMPARE(w.Pictures().Count(), left);
        QCOMPARE(w.Window->CurrentPicture(), nullptr);
        QCOMPARE(w.SelectedIndexes(), QList<int>());
        QVERIFY(!w.Grid()->currentIndex().isValid());
        w.Window->Project()->History().Clear();
        w.Action("actFileNew")->trigger();
        QVERIFY(!w.Grid()->currentIndex().isValid());
        QCOMPARE(w.Enabled({"actEditUndo", "actEditRedo"}), QStringList());
    }

    // A change that cannot be undone or redone exactly, or whose undo and redo go unrecorded.
    void UndoRedoEveryChange_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("recorded"); // by the change, its undo, its redo
        const auto row = [](const char* change, QStringList recorded) {
            QTest::addRow("%s", change) << QString::fromLatin1(change) << recorded;
        };
        row("add", {"CreatePicture", "RemovePicture", "InsertPicture"});
        row("remove", {"RemovePicture", "RemovePicture", "InsertPicture", "InsertPicture",
                       "RemovePicture", "RemovePicture"});
        row("move down", {"MovePicture", "MovePicture", "MovePicture"});
        row("drag", {"MovePicture", "MovePicture", "MovePicture"});
        row("order by title", {"OrderByTitle", "SetOrder", "OrderByTitle"});
        row("order by comment", {"OrderByComment", "SetOrder", "OrderByComment"});
        row("title typed", {"SetTitle", "SetTitle", "SetTitle", "SetTitle", "SetTitle"});
        row("comment emptied", {"SetComment", "SetComment", "SetComment"});
        row("check mark", {"SetChecked", "SetChecked", "SetChecked"});
    }
    void UndoRedoEveryChange() {
        QFETCH(QString, change);
        QFETCH(QStringList, recorded);
        TWindow w;
        w.AddPictures(ThreeSamples);
        w.Pictures().GetPicture(1)->SetComment("Best friends");
        w.Window->Project()->History().Clear();
        const QString before = w.State();
        QTableView* grid = w.Grid();
        if (change == "add") {
            w.AddPictures({ThreeSamples[0]});
        } else if (change == "remove") {
            w.ClickSlide(0);
            w.ClickSlide(2, Qt::ControlModifier);
            w.Prompts.Answers.push_back(QMessageBox::Yes);
            Idle();
            w.Action("actPictureDelete")->trigger();
        } else if (change == "move down") {
            w.ClickSlide(0);
            Idle();
            w.Action("actPictureDown")->trigger();
        } else if (change == "drag") {
            w.Window->MainSlideView()->DoMovePicture(0, 2);
        } else if (change == "order by title") {
            w.Action("actPictureOrderByTitle")->trigger();
        } else if (change == "order by comment") {
            w.Action("actPictureOrderByComment")->trigger();
        } else if (change == "title typed") { // three keys in one editor: one step
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(0, 1));
            grid->edit(grid->currentIndex());
            auto* editor = grid->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor != nullptr);
            QTest::keyClicks(editor, QStringLiteral("Sea"));
            w.ClickSlide(1);
        } else if (change == "comment emptied") {
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(1, 2));
            QTest::keyClick(grid, Qt::Key_Delete);
        } else if (change == "check mark") {
            TLargeSlideView* view = w.Window->MainSlideView();
            const TRect slide = view->GetSlideRect(view->IndexToCell(0));
            const TRect box = view->Slide(0)->GetCheckRect();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              QPoint(slide.Left + box.Left + 3, slide.Top + box.Top + 3));
        }
        const QString after = w.State();
        QVERIFY(after != before);
        Idle();
        w.Action("actEditUndo")->trigger();
        QCOMPARE(w.State(), before);
        QVERIFY(w.Window->Project()->History().IsModified()); // an undo is a change, too
        Idle();
        w.Action("actEditRedo")->trigger();
        QCOMPARE(w.State(), after);
        const QStringList entries = w.HistorySince(0);
        QCOMPARE(entries.mid(entries.size() - recorded.size()), recorded);
        // The keys, one step each, also from the grid; the Support rule must not eat Redo.
        w.Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.Window.get()));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.State(), before);
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.State(), after);
        QCOMPARE(w.Enabled({"actEditUndo", "actEditRedo"}), QStringList{"actEditUndo"});
        w.Window->Project()->History().Clear(); // closes without asking
    }

    // Places forgotten between runs: geometry, splitters, split view, grid columns, the
    // project folder and the recent projects, of which a vanished one is dropped with a word.
    void PlacesComeBackInASecondWindow() {
        TWindow w;
        QCOMPARE(w.Window->size(), QSize(655, 441)); // the first start looks as designed
        QVERIFY(w.Window->findChild<QMenu*>("mnuFileRecent")->menuAction()->isEnabled() == false);
        w.Window->resize(800, 520);
        w.Action("actViewDivide")->trigger();
        w.Grid()->setColumnWidth(1, 211);
        w.AddPictures({ThreeSamples[0]});
        QStringList saved;
        for (const char* name : {"one.kel", "two.kel"}) {
            saved.prepend(w.Temp.filePath(QLatin1String(name)));
            w.Prompts.Files.push_back({saved.first()});
            w.Action("actFileSaveAs")->trigger();
        }
        QVERIFY(w.Window->close());
        QVERIFY(QFile::remove(saved[1]));

        TfrmKelvo second(*w.Environment);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QCOMPARE(second.size(), QSize(800, 520));
        QCOMPARE(second.SplitSlideView()->height(), 2 + 128 + 2 + 2);
        QVERIFY(second.findChild<QAction*>("actViewDivide")->isChecked());
        QCOMPARE(second.findChild<QTableView*>("grdData")->columnWidth(1), 211);
        auto* recent = second.findChild<QMenu*>("mnuFileRecent");
        emit recent->aboutToShow();
        QStringList entries;
        for (const QAction* action : recent->actions())
            entries.append(action->text());
        QCOMPARE(entries, (QStringList{"&1 " + saved[0], "&2 " + saved[1]}));
        recent->actions().at(1)->trigger();
        QCOMPARE(w.Prompts.Asked.value(0).Text,
                 "The project " + saved[1] +
                     " no longer exists. It has been removed from the recent projects.");
        emit recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 1);
        recent->actions().at(0)->trigger();
        QCOMPARE(second.windowTitle(), QStringLiteral("Kelvo - two"));
    }

    // The main window for review, English and German, light and dark; German not reaching it.
    void Screenshots_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("dark");
        for (const bool dark : {false, true})
            for (const auto& [code, tag] : {std::pair{"ENU", "en"}, std::pair{"DEU", "de"}})
                QTest::addRow("main-window-%s-%s", tag, dark ? "dark" : "light") << code << dark;
    }
    void Screenshots() {
        QFETCH(QString, code);
        QFETCH(bool, dark);
        const QPalette light = QApplication::style()->standardPalette();
        QApplication::setPalette(dark ? DarkPalette() : light);
        {
            TWindow w(code);
            if (code == "DEU") { // the caption, the actions and the grid header
                QCOMPARE(w.Window->windowTitle(), QStringLiteral("Kelvo - Unbenannt"));
                QCOMPARE(w.Action("actFileNew")->text(), QStringLiteral("&Neues Projekt"));
                QCOMPARE(w.Grid()->model()->headerData(1, Qt::Horizontal).toString(), "Titel");
            }
            // A new project's gallery speaks the program's language.
            QCOMPARE(w.Window->Project()->Layouts().Language(),
                     std::string(code == "DEU" ? "de" : "en"));
            w.Window->resize(655, 441);
            w.AddPictures(SamplePictures().mid(0, 8));
            w.ClickSlide(1);
            w.ClickSlide(2, Qt::ControlModifier);
            w.Pictures().GetPicture(3)->SetChecked(false);
            w.Window->MainSlideView()->UpdateSlides();
            QTest::qWait(50);
            QVERIFY(QFileInfo::exists(
                SaveScreenshot(w.Window.get(), QString::fromLatin1(QTest::currentDataTag()))));
            if (!dark) {
                const QString tag = code == "DEU" ? "de" : "en";
                // Undo and Redo are enabled by the removal of one picture.
                w.Prompts.Answers.push_back(QMessageBox::Yes);
                Idle();
                w.Action("actPictureDelete")->trigger();
                w.Action("actEditUndo")->trigger();
                Idle();
                SaveMenuScreenshot(*w.Window, {"mnuEdit"}, "edit-menu-" + tag);
                TRememberedPlaces places;
                for (const char* name : {"Mountains 2025.kel", "Holiday.kel", "Garden.kel"})
                    places.AddRecentProject(QStringLiteral("/home/user/Pictures/") + name);
                SaveMenuScreenshot(*w.Window, {"mnuFile", "mnuFileRecent"},
                                   "recent-projects-" + tag);
            }
            w.Window->Project()->History().Clear(); // closes without asking
        }
        QApplication::setPalette(light);
    }

    // The add-pictures dialog losing the preview of the selected picture.
    void PictureDialogShowsPreview() {
        const QString folder = QStringLiteral(KELVO_SOURCE_DIR "/Pictures");
        bool previewed = false;
        QTimer::singleShot(200, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            QTest::qWait(500); // the dialog lists the folder in the background
            // As a click in the list does: the picture becomes the current file.
            auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
            auto* files = list ? qobject_cast<QFileSystemModel*>(list->model()) : nullptr;
            QVERIFY(files != nullptr);
            list->setCurrentIndex(files->index(folder + QStringLiteral("/Sunset.jpg")));
            QTRY_VERIFY_WITH_TIMEOUT(
                std::ranges::any_of(dialog->findChildren<QLabel*>(),
                                    [](auto* l) { return !l->pixmap().isNull(); }),
                2000);
            previewed = true;
            dialog->resize(760, 420);
            SaveScreenshot(dialog, QStringLiteral("add-pictures-dialog"));
            dialog->reject();
        });
        QVERIFY(TWidgetPrompts()
                    .GetOpenFileNames(nullptr, "Add", folder, "Pictures (*.jpg)")
                    .isEmpty());
        QVERIFY(previewed);
    }

    // The version text of every part count (0 and 5 count as 4), and of damaged or missing ones.
    void VersionTextAndMailLink() {
        const QString program = ProgramWithVersion("2.5.1.7");
        const char* texts[] = {"2.05.01.07", "2", "2.05", "2.05.01", "2.05.01.07", "2.05.01.07"};
        for (int parts = 0; parts <= 5; ++parts)
            QCOMPARE(GetFileVersionText(program, parts), QString(texts[parts]));
        QCOMPARE(GetFileVersionText(m_dir.write("plain", "no version here").c_str(), 4), "");
        QCOMPARE(GetFileVersionText(m_dir.write("empty", "").c_str(), 4), QString());
        QCOMPARE(GetFileVersionText(QString::fromStdString(m_dir.dir()) + "missing", 4), "");
        QCOMPARE(GetFileVersionText(ProgramWithVersion("1.2"), 4), QString());
        QCOMPARE(GetFileVersionText(ProgramWithVersion("99999.0.0.0"), 1), QString());
        const QByteArray twoRecords = QByteArray("1.x.0.0 KelvoFile") + "Version=10.20.300.4000";
        QCOMPARE(GetFileVersionText(ProgramWithVersion(twoRecords), 4), "10.20.300.4000");
        // The version the build stamped into this very program.
        const auto built = QVersionNumber::fromString(KELVO_TEST_PROJECT_VERSION);
        QCOMPARE(GetFileVersionText(QCoreApplication::applicationFilePath(), 3),
                 QString::asprintf("%d.%02d.%02d", built.majorVersion(), built.minorVersion(),
                                   built.microVersion()));

        // Mail link fields out of order, or a value that does not stay whole.
        const QString a = "a@b.example";
        QCOMPARE(MailToLink(a), "mailto:a@b.example");
        QCOMPARE(MailToLink(a, "Kelvo 0.1.0.0"), "mailto:a@b.example?subject=Kelvo%200.1.0.0");
        QCOMPARE(MailToLink(a, "Q&A #2"), "mailto:a@b.example?subject=Q%26A%20%232");
        QCOMPARE(MailToLink(a, "s", "b=1", "bcc@x.example", "cc@x.example"),
                 "mailto:a@b.example?subject=s&body=b%3D1&cc=cc%40x.example&bcc=bcc%40x.example");
        QCOMPARE(MailToLink(a, "", "body", "", "cc"), "mailto:a@b.example?body=body&cc=cc");
    }

    // The info dialog's version, details and links, and its empty lines left out.
    void InfoDialogShowsVersionDetailsAndLinks() {
        TDialogTestEnvironment test;
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "Open");
        QDesktopServices::setUrlHandler("mailto", &recorder, "Open");
        TfrmInfo info(test.Language,
                      {"The Kelvo developers", "https://example.org/kelvo/", "kelvo@example.org"});
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        const QString program = QCoreApplication::applicationFilePath();
        QCOMPARE(info.findChild<QLabel*>("lblVersion")->text(),
                 "Version " + GetFileVersionText(program, 3));
        QCOMPARE(info.findChild<QLabel*>("lblAuthor")->text(), QString("The Kelvo developers"));
        auto* homepage = info.findChild<QLabel*>("lblHomepage");
        QCOMPARE(homepage->text(), QString("example.org/kelvo"));
        SaveScreenshot(&info, "info-dialog");

        QTest::mouseClick(homepage, Qt::LeftButton);
        QTest::mouseClick(info.findChild<QLabel*>("lblMail"), Qt::LeftButton);
        const QString subject = "Kelvo " + GetFileVersionText(program, 4);
        QCOMPARE(recorder.Opened, (QList<QUrl>{QUrl("https://example.org/kelvo/"),
                                               QUrl(MailToLink("kelvo@example.org", subject))}));
        QTest::keyClick(&info, Qt::Key_Return);
        QVERIFY(!info.isVisible());
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("mailto");

        // A build without homepage and e-mail address shows only the author.
        TfrmInfo plain(test.Language, {"The Kelvo developers", "", ""});
        plain.show();
        QVERIFY(plain.findChild<QLabel*>("lblAuthor")->isVisible());
        QVERIFY(!plain.findChild<QLabel*>("lblHomepage")->isVisible());
        QVERIFY(!plain.findChild<QLabel*>("lblMailCaption")->isVisible());
        SaveScreenshot(&plain, "info-dialog-plain");
    }

    // A caption rule gone wrong: & handling, separators, hex numbers, fallback, hints without &.
    void TranslatesCaptionsByNumber() {
        const char* rows[][3] = {{"no number keeps its &", "&Open...", "&Open..."},
                                 {"number without text: the words", "1026&Open...", "Open..."},
                                 {"number with text", "1025New project", "&Neues Projekt"},
                                 {"separator", "-", "-"},
                                 {"hex with $", "$401New project", "&Neues Projekt"},
                                 {"hex with 0x", "0x401", "&Neues Projekt"},
                                 {"number only, no text", "1026", "1026"},
                                 {"zero is no number", "0Zero", "0Zero"},
                                 {"leading spaces", "  1025", "&Neues Projekt"}};
        QTemporaryDir folder;
        WriteLanguageFile(folder.path(), "Kelvo_DE.lng", {{1025, "&Neues Projekt"}});
        const auto language = Language(folder.path(), "DEU");
        for (const auto& [name, caption, expected] : rows) {
            QMenu menu;
            QLabel label(caption, &menu);
            QAction* action = menu.addAction(caption);
            action->setToolTip(caption);
            menu.setTitle(caption);
            language->TranslateComponent(&menu);
            const QString hint =
                expected == QString(caption) ? caption : QString(expected).remove('&');
            QVERIFY2(menu.title() == expected && action->text() == expected, name);
            QVERIFY2(action->toolTip() == hint && label.text() == expected, name);
        }
    }

    // A missing or damaged file crashing the reader, replacing defaults, never retried; long texts.
    void IgnoresMissingOrDamagedLanguageFile_data() {
        QTest::addColumn<int>("cut");    // bytes dropped from the end; -1: no file at all
        QTest::addColumn<int>("offset"); // where a length or a message offset is set past the end
        QTest::newRow("missing") << -1 << 0;
        QTest::newRow("truncated") << 7 << 0;
        QTest::newRow("first block longer than the file") << 0 << 16 + 1;
        QTest::newRow("hash entry past the messages") << 0 << 16 + 5 + 4;
    }
    void IgnoresMissingOrDamagedLanguageFile() {
        QFETCH(int, cut);
        QFETCH(int, offset);
        QTemporaryDir folder;
        WriteLanguageFile(folder.path(), "Kelvo_EN.lng",
                          {{1025, "New project"}, {1026, "Open"}, {3000, QString(5000, 'x')}});
        QFile file(folder.filePath(QStringLiteral("Kelvo_EN.lng")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray intact = file.readAll();
        file.close();
        QByteArray damaged = intact.chopped(std::max(cut, 0));
        if (offset > 0)
            qToBigEndian<quint32>(0x7fffffff, damaged.data() + offset);
        QVERIFY(cut < 0 ? file.remove() : !TTamLanguage::IsValidLanguageFile(damaged));
        QVERIFY(cut < 0 || WriteFile(file.fileName(), damaged));

        auto language = Language(folder.path());
        QLabel label(QStringLiteral("1025Neu"));
        language->TranslateComponent(&label);
        QCOMPARE(label.text(), QStringLiteral("1025Neu"));
        QCOMPARE(language->GetText(1026, QStringLiteral("Def")), QStringLiteral("Def"));
        QVERIFY(language->LoadedFile().isEmpty());
        // Mended, the file is loaded at the next request.
        QVERIFY(WriteFile(file.fileName(), intact));
        QCOMPARE(language->GetText(1026, QStringLiteral("Def")), QStringLiteral("Open"));
        QCOMPARE(language->GetText(3000).size(), 4096);
    }

    // A wrong order of the name search.
    void FindsFileByNameAndLocale() {
        const QStringList rows[][2] = {{{"Kelvo_DEU.lng", "Kelvo_DE.lng"}, {"Kelvo_DEU.lng"}},
                                       {{"Kelvo_DE.lng", "Kelvo_EN.lng"}, {"Kelvo_DE.lng"}},
                                       {{"Kelvo_DES.lng", "Kelvo_EN.lng"}, {"Kelvo_DES.lng"}},
                                       {{"Kelvo_ENU.lng", "Kelvo_FR.lng"}, {"Kelvo_ENU.lng"}},
                                       {{"Kelvo_FR.lng"}, {"Kelvo_FR.lng"}},
                                       {{"Other_DE.lng"}, {""}}};
        for (const auto& [files, found] : rows) {
            QTemporaryDir folder;
            for (const QString& file : files)
                QVERIFY(QFile(folder.filePath(file)).open(QIODevice::WriteOnly));
            QString fileName;
            QCOMPARE(Language(folder.path(), "DEU")
                         ->FindLanguageFile("Kelvo_%s.lng", folder.path(), fileName),
                     !found[0].isEmpty());
            QCOMPARE(QFileInfo(fileName).fileName(), found[0]);
        }
        // A locale mapped to a code the search cannot use; statistics losing their separators.
        for (const auto& [locale, code] : {std::pair{"de_DE", "DEU"},
                                           {"de_CH", "DES"},
                                           {"en_US", "ENU"},
                                           {"pt_BR", "PTB"},
                                           {"gl_ES", "GLE"},
                                           {"C", "ENU"}})
            QCOMPARE(TTamLanguage::LocaleLanguageCode(QLocale(locale)), code);
        QCOMPARE(TTamLanguage::Format("Size: %.0n Bytes", {1234567.0}, QLocale("de_DE")),
                 QStringLiteral("Size: 1.234.567 Bytes"));
        QCOMPARE(TTamLanguage::Format(QStringLiteral("%d of %d"), {3, 10}),
                 QStringLiteral("3 of 10"));
    }

    // A text number used in the code or a form that a language file lacks.
    void EveryTextNumberHasTexts() {
        const QString source = QStringLiteral(KELVO_SOURCE_DIR);
        const QSet<int> english = TranslatedIds(source + "/translations/Kelvo_EN.ts");
        QVERIFY(!english.isEmpty());
        QCOMPARE(TranslatedIds(source + "/translations/Kelvo_DE.ts"), english);
        const QRegularExpression inCode(QStringLiteral(R"(GetText(?:Fmt)?\(\s*(\d{4})\b)"));
        const QRegularExpression inForm(QStringLiteral(R"(<string>\s*(\d{4})\D?)"));
        QStringList missing;
        int used = 0;
        for (QDirIterator it(source + "/src", {"*.cpp", "*.h", "*.ui"}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = (path.endsWith(".ui") ? inForm : inCode).globalMatch(text);
                 match.hasNext(); ++used) {
                const int id = match.next().captured(1).toInt();
                if (!english.contains(id))
                    missing.append(QFileInfo(path).fileName() + ':' + QString::number(id));
            }
        }
        QVERIFY(used > 20);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
