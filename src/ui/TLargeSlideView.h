// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>

#include <memory>
#include <vector>

#include "imaging/TRect.h"

class QPainter;
class TKelPicture;
class TKelPictureRefs;
class TLargeSlideView;

/// A column and row of the slide grid.
struct TSlideCell {
    int Col = 0;
    int Row = 0;
    friend bool operator==(const TSlideCell&, const TSlideCell&) = default;
};

/// One large slide: a picture's thumbnail, its position number, its check box, its selection
/// and, for the current picture, a focus frame. Not a widget: the view paints only the slides
/// in sight, so ten thousand of them scroll smoothly. Owned by its view; slide i always shows
/// picture i of the view's list.
///
/// Rectangles are in the slide's own coordinates with Right and Bottom as the edges behind the
/// last pixel (a 12-pixel box runs from Left to Left + 12).
class TLargeSlide {
public:
    static constexpr int CornerRadius = 5;
    static constexpr int BoxMargin = 6;
    static constexpr int ThumbnailMargin = 8;

    TLargeSlide(TLargeSlideView& view, int index);

    TKelPicture* Picture() const { return m_picture; }
    /// The slide's place in its view, which is the index of the picture it shows.
    int SlideIndex() const { return m_index; }
    /// Ignored for nullptr. Repaints the slide when the picture or its selection, check mark
    /// or thumbnail changed since the last call.
    void SetPicture(TKelPicture* picture);
    /// -1 without a picture, otherwise the picture's index in the view's list.
    int GetIndex() const;

    TRect GetThumbnailRect() const;
    TRect GetCheckRect() const;
    TRect GetNumberRect() const;

    /// Draws the slide at the painter's origin with the view's palette.
    void Paint(QPainter& painter) const;
    /// A button went down at point (slide coordinates): toggles the check mark inside the
    /// check box, then reports the picture as selected.
    void MouseDown(QPoint point);

private:
    int Width() const;
    int Height() const;

    TLargeSlideView& m_view;
    int m_index;
    TKelPicture* m_picture = nullptr;
    bool m_selected = false;
    bool m_checked = false;
    bool m_hasThumbnail = false;
};

/// The pictures of a list as a grid of large square slides in list order, left to right and
/// top to bottom, scrolling vertically. A click makes a picture current (OnSelectPicture), a
/// click on a check box also toggles its check mark, and dragging a slide onto another place,
/// in this or another slide view, reports a move (OnMovePicture); the owner performs it and
/// calls UpdateSlides. The view never reorders the list itself.
///
/// Owned by its Qt parent; the picture list is not owned and is assigned by the owner, who
/// takes it away (nullptr) before the pictures go.
class TLargeSlideView : public QAbstractScrollArea {
    Q_OBJECT

public:
    /// The MIME type of a dragged slide; only Kelvo's own slide views accept it.
    static const char* const SlideMimeType;

    explicit TLargeSlideView(QWidget* parent = nullptr);
    ~TLargeSlideView() override;

    int ColCount() const { return m_colCount; }
    int Margin() const { return m_margin; }
    int SlideWidth() const { return m_slideWidth; }
    int SlideHeight() const { return m_slideHeight; }
    int Spacing() const { return m_spacing; }

    TKelPictureRefs* Pictures() const { return m_pictures; }
    /// Takes no ownership; with nullptr every slide goes, so none refers to a freed picture.
    void SetPictures(TKelPictureRefs* pictures);
    TKelPicture* CurrentPicture() const { return m_currentPicture; }
    /// Repaints only the slides of the old and the new current picture.
    void SetCurrentPicture(TKelPicture* picture);

    /// Brings the slides in line with Pictures, reusing them in place: surplus slides go from
    /// the end, the others get the picture of their index.
    void UpdateSlides();
    /// Scrolls so that the picture's slide is fully visible, if it has one.
    void ScrollPictureInView(TKelPicture* picture);

    int IndexOfPicture(const TKelPicture* picture) const;
    TSlideCell IndexToCell(int index) const;
    int CellToIndex(TSlideCell cell) const { return cell.Col + cell.Row * m_colCount; }
    /// The cell's rectangle in viewport coordinates (scrolling taken off); empty for a
    /// negative column or row.
    TRect GetSlideRect(TSlideCell cell) const;
    /// The cell under a point in viewport coordinates; a point in the spacing belongs to the
    /// nearer cell.
    TSlideCell PointToCell(QPoint point) const;

    int SlideCount() const { return static_cast<int>(m_slides.size()); }
    TLargeSlide* Slide(int index) const;
    /// The slide whose rectangle holds point (viewport coordinates), or nullptr.
    TLargeSlide* SlideAt(QPoint point) const;
    /// Repaints one slide, if it lies in sight.
    void InvalidateSlide(int index);

    /// The check mark of the slides: 8 x 8, white made transparent.
    static const QImage& CheckedImage();

signals:
    void OnMovePicture(TLargeSlideView* sender, int fromIndex, int toIndex);
    void OnSelectPicture(TLargeSlideView* sender, TKelPicture* picture);
    /// A click on the slide's check box toggled the picture's check mark.
    void OnCheckPicture(TLargeSlideView* sender, TKelPicture* picture);

public:
    /// Limits toIndex to the last slide and reports a real move.
    virtual void DoMovePicture(int fromIndex, int toIndex);
    virtual void DoSelectPicture(TKelPicture* picture);
    /// The move a dragged slide at fromIndex dropped at point (viewport coordinates) makes,
    /// or nothing when it would stay where it is (returns fromIndex then).
    int DropTarget(int fromIndex, QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateColCount();
    void UpdateScrollRange();
    int DraggedIndex(const QDropEvent* event) const;

    const int m_margin = 2;
    const int m_slideWidth = 128;
    const int m_slideHeight = 128;
    const int m_spacing = 2;
    int m_colCount = 1;
    std::vector<std::unique_ptr<TLargeSlide>> m_slides;
    TKelPictureRefs* m_pictures = nullptr;
    TKelPicture* m_currentPicture = nullptr;
    int m_pressedSlide = -1;
    QPoint m_pressPoint;
};
