// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "imaging/TBM_Bitmap.h"
#include "model/TKelPictureList.h"
#include "ui/TLargeSlideView.h"

namespace {

// A list of count pictures without files; with thumbnails, each a plain 110 x 80 picture.
std::unique_ptr<TKelPictureList> MakePictures(int count, bool thumbnails) {
    auto list = std::make_unique<TKelPictureList>();
    for (int i = 0; i < count; ++i) {
        TKelPicture* picture = list->CreatePicture();
        if (thumbnails) {
            auto bitmap = std::make_unique<TBM_Bitmap>();
            bitmap->SetSize(110, 80);
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < 110; ++x)
                    bitmap->SetPixel(x, y, 0x3060c0); // B, G, R from the top byte down
            picture->SetThumbnail(std::move(bitmap));
        }
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

} // namespace

class TLargeSlideViewTest : public QObject {
    Q_OBJECT

private slots:
    void ColumnsFollowWidth_data();
    void ColumnsFollowWidth();
    void SlidesSitWhereTheArithmeticSays();
    void DropMoves_data();
    void DropMoves();
    void PaintsSlide();
    void ClickTogglesCheckAndSelects();
};

// Catches an off-by-one in the column arithmetic.
void TLargeSlideViewTest::ColumnsFollowWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::newRow("narrow") << 100 << 1;
    QTest::newRow("261") << 261 << 1;
    QTest::newRow("262") << 262 << 2;
    QTest::newRow("391") << 391 << 2;
    QTest::newRow("400") << 400 << 3;
}

void TLargeSlideViewTest::ColumnsFollowWidth() {
    QFETCH(int, width);
    QFETCH(int, columns);
    auto pictures = MakePictures(3, false);
    TLargeSlideView view;
    Prepare(view, *pictures, width);
    QCOMPARE(view.ColCount(), columns);
}

// Catches slides placed away from where the arithmetic says they are, and slides left behind
// that refer to removed pictures.
void TLargeSlideViewTest::SlidesSitWhereTheArithmeticSays() {
    auto pictures = MakePictures(5, false);
    TLargeSlideView view;
    Prepare(view, *pictures, 400);
    const TRect r = view.GetSlideRect(view.IndexToCell(3));
    QCOMPARE(r, (TRect{2, 132, 130, 260}));
    QCOMPARE(view.SlideAt(QPoint(10, 140)), view.Slide(3));
    QCOMPARE(view.GetSlideRect({-1, 0}), TRect{});

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

// Catches drops that move a picture to the wrong place or move it when it would stay.
void TLargeSlideViewTest::DropMoves_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("reported"); // -1: nothing
    // 3 columns of 128 + 2 spacing from x = 2: slide 5 (index 4) is the middle of row 2.
    QTest::newRow("right half of slide 5") << 1 << QPoint(132 + 100, 132 + 50) << 4;
    QTest::newRow("left half of slide 5") << 1 << QPoint(132 + 20, 132 + 50) << 3;
    QTest::newRow("left half of slide 3 stays") << 1 << QPoint(262 + 20, 50) << -1;
    QTest::newRow("below the last row") << 0 << QPoint(50, 280) << 4;
    QTest::newRow("in the spacing right of slide 1") << 3 << QPoint(131, 50) << 1;
}

void TLargeSlideViewTest::DropMoves() {
    QFETCH(int, from);
    QFETCH(QPoint, point);
    QFETCH(int, reported);
    auto pictures = MakePictures(5, false);
    TLargeSlideView view;
    Prepare(view, *pictures, 400);
    QSignalSpy moves(&view, &TLargeSlideView::OnMovePicture);
    const int to = view.DropTarget(from, point);
    if (to != from)
        view.DoMovePicture(from, to);
    if (reported < 0) {
        QCOMPARE(moves.count(), 0);
    } else {
        QCOMPARE(moves.count(), 1);
        QCOMPARE(moves.at(0).at(1).toInt(), from);
        QCOMPARE(moves.at(0).at(2).toInt(), reported);
    }
}

// Catches painting that strays from the slide's layout: thumbnail, cross, number, check mark.
void TLargeSlideViewTest::PaintsSlide() {
    auto pictures = MakePictures(2, true);
    pictures->GetPicture(1)->SetThumbnail(nullptr);
    pictures->GetPicture(1)->SetSelected(true);
    TLargeSlideView view;
    QPalette palette = view.palette();
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    view.setPalette(palette);
    Prepare(view, *pictures, 400);
    const QColor face(200, 200, 200);

    // A 110 x 80 thumbnail is centred in 9, 9, 119, 119: rows 24 to 103.
    const QImage withThumbnail = PaintSlide(view, 0);
    QCOMPARE(withThumbnail.pixelColor(9, 24), QColor(0xc0, 0x60, 0x30));
    QCOMPARE(withThumbnail.pixelColor(118, 103), QColor(0xc0, 0x60, 0x30));
    QCOMPARE(withThumbnail.pixelColor(60, 20), face);
    QCOMPARE(withThumbnail.pixelColor(6, 110), face); // number box of an unselected picture

    // Without a thumbnail: a grey cross in 9, 25, 119, 103, corners and centre.
    const QImage withoutThumbnail = PaintSlide(view, 1);
    QCOMPARE(view.Slide(1)->GetThumbnailRect(), (TRect{9, 25, 119, 103}));
    QCOMPARE(withoutThumbnail.pixelColor(64, 64), QColor(128, 128, 128));
    QCOMPARE(withoutThumbnail.pixelColor(64, 30), face);
    // The number box of a selected picture: highlight behind the number.
    QCOMPARE(view.Slide(1)->GetNumberRect(), (TRect{6, 109, 21, 122}));
    QCOMPARE(withoutThumbnail.pixelColor(20, 121), QColor(0, 0, 255));
    // Check box 110, 110, 122, 122; the mark's pixels from 111, 111: green tick, white clear.
    QCOMPARE(view.Slide(1)->GetCheckRect(), (TRect{110, 110, 122, 122}));
    QCOMPARE(withoutThumbnail.pixelColor(111 + 7, 111 + 1), QColor(0, 128, 0));
    QCOMPARE(withoutThumbnail.pixelColor(111 + 3, 111 + 6), QColor(0, 128, 0));
    QCOMPARE(withoutThumbnail.pixelColor(111 + 0, 111 + 0), face);
    pictures->GetPicture(1)->SetChecked(false);
    view.UpdateSlides();
    QCOMPARE(PaintSlide(view, 1).pixelColor(111 + 7, 111 + 1), face);
}

// Catches a click on the check box that misses the check mark or the selection report.
void TLargeSlideViewTest::ClickTogglesCheckAndSelects() {
    auto pictures = MakePictures(2, false);
    TLargeSlideView view;
    Prepare(view, *pictures, 400);
    QList<TKelPicture*> selects;
    connect(&view, &TLargeSlideView::OnSelectPicture, this,
            [&selects](TLargeSlideView*, TKelPicture* picture) { selects.append(picture); });
    TKelPicture* second = pictures->GetPicture(1);
    const QPoint slide2(132, 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, slide2 + QPoint(110, 110));
    QCOMPARE(second->Checked(), false);
    QCOMPARE(selects.count(), 1);
    QCOMPARE(selects.value(0), second);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, slide2 + QPoint(122, 122));
    QCOMPARE(second->Checked(), false); // right and bottom edge lie outside the box
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, slide2 + QPoint(60, 60));
    QCOMPARE(second->Checked(), false);
    QCOMPARE(selects.count(), 3);
}

QTEST_MAIN(TLargeSlideViewTest)
#include "TLargeSlideViewTest.moc"
