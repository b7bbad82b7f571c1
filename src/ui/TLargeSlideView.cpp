// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TLargeSlideView.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

#include "imaging/BM_Geometry.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TKelPicture.h"
#include "model/TKelPictureRefs.h"

namespace {

QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

// A sunken one-pixel edge: shadow on the top and left, light on the bottom and right.
void DrawSunkenEdge(QPainter& painter, const QPalette& palette, const TRect& r) {
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawLine(r.Left, r.Top, r.Right - 1, r.Top);
    painter.drawLine(r.Left, r.Top, r.Left, r.Bottom - 1);
    painter.setPen(palette.color(QPalette::Light));
    painter.drawLine(r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1);
    painter.drawLine(r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
}

// The light strokes of a tile's left and top edge with corner radius r on w x h at offset o.
void DrawLightEdges(QPainter& painter, int o, int w, int h, int r) {
    painter.drawLine(o, o + r - 1, o, o + h - r - 1);
    painter.drawLine(o + r, o, o + w - r - 1, o);
    // Qt counts angles counter-clockwise from three o'clock, in sixteenths of a degree.
    painter.drawArc(QRect(o, o, 2 * r, 2 * r), 90 * 16, 90 * 16);
    painter.drawArc(QRect(o, o + h - 2 * r, 2 * r, 2 * r), 180 * 16, 90 * 16);
}

// The thumbnail as an opaque image: the bitmap keeps R, G, B and a padding byte of no meaning
// per pixel, so it is copied rather than read as an alpha channel.
QImage ThumbnailImage(const TBM_Bitmap& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* source = bitmap.ScanLine(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x, source += TBM_Bitmap::BytesPerPixel)
            target[x] = qRgb(source[0], source[1], source[2]);
    }
    return image;
}

} // namespace

const char* const TLargeSlideView::SlideMimeType = "application/x-kelvo-slide";

// --- TLargeSlide

TLargeSlide::TLargeSlide(TLargeSlideView& view, int index)
    : m_view(view)
    , m_index(index) {}

int TLargeSlide::Width() const {
    return m_view.SlideWidth();
}
int TLargeSlide::Height() const {
    return m_view.SlideHeight();
}

void TLargeSlide::SetPicture(TKelPicture* picture) {
    if (picture == nullptr)
        return;
    const bool selected = picture->Selected();
    const bool checked = picture->Checked();
    const bool hasThumbnail = picture->Thumbnail() != nullptr;
    const bool changed = picture != m_picture || selected != m_selected || checked != m_checked ||
                         hasThumbnail != m_hasThumbnail;
    m_picture = picture;
    m_selected = selected;
    m_checked = checked;
    m_hasThumbnail = hasThumbnail;
    if (changed)
        m_view.InvalidateSlide(m_index);
}

int TLargeSlide::GetIndex() const {
    return m_picture == nullptr ? -1 : m_view.IndexOfPicture(m_picture);
}

TRect TLargeSlide::GetThumbnailRect() const {
    const int inset = ThumbnailMargin + 1;
    const TRect frame{inset, inset, Width() - inset, Height() - inset};
    const TBM_Bitmap* thumbnail = m_picture != nullptr ? m_picture->Thumbnail() : nullptr;
    const TRect reference = thumbnail != nullptr
                                ? TRect{0, 0, thumbnail->Width(), thumbnail->Height()}
                                : TRect{0, 0, 14, 10};
    try {
        return FitRectCentered(frame, reference);
    } catch (const std::exception&) {
        return frame; // a thumbnail one pixel wide or high has no proportions to keep
    }
}

TRect TLargeSlide::GetCheckRect() const {
    return TRect{Width() - BoxMargin - 12, Height() - BoxMargin - 12, Width() - BoxMargin,
                 Height() - BoxMargin};
}

TRect TLargeSlide::GetNumberRect() const {
    return TRect{BoxMargin, Height() - BoxMargin - 13, BoxMargin + 15, Height() - BoxMargin};
}

void TLargeSlide::Paint(QPainter& painter) const {
    if (m_picture == nullptr)
        return;
    const QPalette& palette = m_view.palette();
    const QColor face = palette.color(QPalette::Button);
    const int w = Width();
    const int h = Height();
    const int r = CornerRadius;
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The tile: outer outline in the dark shadow, a second one a pixel in.
    painter.setBrush(face);
    painter.setPen(palette.color(QPalette::Shadow));
    painter.drawRoundedRect(QRect(0, 0, w - 1, h - 1), r, r);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawRoundedRect(QRect(1, 1, w - 3, h - 3), r - 1, r - 1);
    painter.setPen(palette.color(QPalette::Midlight));
    DrawLightEdges(painter, 0, w, h, r);
    painter.setPen(palette.color(QPalette::Light));
    DrawLightEdges(painter, 1, w - 2, h - 2, r - 1);

    const TRect thumb = GetThumbnailRect();
    DrawSunkenEdge(painter, palette, GrowRect(thumb, 1));
    if (const TBM_Bitmap* thumbnail = m_picture->Thumbnail(); thumbnail != nullptr) {
        painter.drawImage(QPoint(thumb.Left, thumb.Top), ThumbnailImage(*thumbnail));
    } else {
        painter.setPen(QPen(QColor(128, 128, 128), 3));
        painter.drawLine(thumb.Left, thumb.Top, thumb.Right, thumb.Bottom);
        painter.drawLine(thumb.Left, thumb.Bottom, thumb.Right, thumb.Top);
    }

    if (m_picture == m_view.CurrentPicture()) {
        painter.setPen(QPen(palette.color(QPalette::WindowText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        const QRect focus = ToQRect(GrowRect(thumb, 3));
        painter.drawRect(focus.adjusted(0, 0, -1, -1));
    }

    const QRect number = ToQRect(GetNumberRect());
    painter.fillRect(number, face);
    painter.fillRect(number, m_selected ? palette.color(QPalette::Highlight) : face);
    painter.setPen(m_selected ? palette.color(QPalette::HighlightedText) : QColor(128, 128, 128));
    painter.save();
    painter.setClipRect(number);
    painter.drawText(number, Qt::AlignLeft | Qt::AlignTop, QString::number(m_index + 1));
    painter.restore();

    const TRect check = GetCheckRect();
    painter.fillRect(ToQRect(GrowRect(check, 1)), face);
    DrawSunkenEdge(painter, palette, check);
    if (m_checked)
        painter.drawImage(QPoint(check.Left + 1, check.Top + 1), TLargeSlideView::CheckedImage());
}

void TLargeSlide::MouseDown(QPoint point) {
    if (m_picture == nullptr)
        return;
    const TRect check = GetCheckRect();
    if (point.x() >= check.Left && point.x() < check.Right && point.y() >= check.Top &&
        point.y() < check.Bottom) {
        m_picture->SetChecked(!m_picture->Checked());
        emit m_view.OnCheckPicture(&m_view, m_picture);
    }
    m_view.DoSelectPicture(m_picture);
}

// --- TLargeSlideView

TLargeSlideView::TLargeSlideView(QWidget* parent)
    : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setTracking(true);
    verticalScrollBar()->setSingleStep(20);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::NoFocus);
}

TLargeSlideView::~TLargeSlideView() = default;

const QImage& TLargeSlideView::CheckedImage() {
    static const QImage image = [] {
        QImage source(QStringLiteral(":/SLIDE_CHECKED"));
        QImage transparent = source.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < transparent.height(); ++y)
            for (int x = 0; x < transparent.width(); ++x)
                if (transparent.pixel(x, y) == qRgb(255, 255, 255))
                    transparent.setPixel(x, y, qRgba(0, 0, 0, 0));
        return transparent;
    }();
    return image;
}

void TLargeSlideView::SetPictures(TKelPictureRefs* pictures) {
    m_pictures = pictures;
    if (m_pictures == nullptr) {
        m_slides.clear();
        m_currentPicture = nullptr;
        UpdateScrollRange();
        viewport()->update();
    }
}

void TLargeSlideView::SetCurrentPicture(TKelPicture* picture) {
    if (picture == m_currentPicture)
        return;
    InvalidateSlide(IndexOfPicture(m_currentPicture));
    m_currentPicture = picture;
    InvalidateSlide(IndexOfPicture(m_currentPicture));
}

void TLargeSlideView::UpdateSlides() {
    if (m_pictures == nullptr)
        return;
    const int count = m_pictures->Count();
    const bool shrinking = SlideCount() > count;
    while (SlideCount() > count) {
        m_slides.pop_back();
    }
    for (int i = 0; i < SlideCount(); ++i)
        m_slides[i]->SetPicture(m_pictures->GetPicture(i));
    for (int i = SlideCount(); i < count; ++i) {
        m_slides.push_back(std::make_unique<TLargeSlide>(*this, i));
        m_slides.back()->SetPicture(m_pictures->GetPicture(i));
    }
    UpdateScrollRange();
    if (shrinking)
        viewport()->update(); // the removed slides' places
}

void TLargeSlideView::ScrollPictureInView(TKelPicture* picture) {
    const int index = IndexOfPicture(picture);
    if (index < 0)
        return;
    const TRect r = GetSlideRect(IndexToCell(index));
    QScrollBar* bar = verticalScrollBar();
    const int visible = viewport()->height();
    if (r.Top < 0)
        bar->setValue(bar->value() + r.Top - m_margin);
    else if (r.Bottom > visible)
        bar->setValue(bar->value() + r.Bottom - visible + m_margin);
}

int TLargeSlideView::IndexOfPicture(const TKelPicture* picture) const {
    if (picture == nullptr)
        return -1;
    for (int i = 0; i < SlideCount(); ++i)
        if (m_slides[i]->Picture() == picture)
            return i;
    return -1;
}

TSlideCell TLargeSlideView::IndexToCell(int index) const {
    if (m_colCount < 1)
        return {};
    return {index % m_colCount, index / m_colCount};
}

TRect TLargeSlideView::GetSlideRect(TSlideCell cell) const {
    if (cell.Col < 0 || cell.Row < 0)
        return {};
    const int left = (m_slideWidth + m_spacing) * cell.Col + m_margin;
    const int top =
        (m_slideHeight + m_spacing) * cell.Row + m_margin - verticalScrollBar()->value();
    return {left, top, left + m_slideWidth, top + m_slideHeight};
}

TSlideCell TLargeSlideView::PointToCell(QPoint point) const {
    return {(point.x() - m_margin + m_spacing / 2) / (m_slideWidth + m_spacing),
            (point.y() + verticalScrollBar()->value() - m_margin + m_spacing / 2) /
                (m_slideHeight + m_spacing)};
}

TLargeSlide* TLargeSlideView::Slide(int index) const {
    return index >= 0 && index < SlideCount() ? m_slides[index].get() : nullptr;
}

TLargeSlide* TLargeSlideView::SlideAt(QPoint point) const {
    const TSlideCell cell = PointToCell(point);
    if (cell.Col < 0 || cell.Row < 0 || cell.Col >= m_colCount)
        return nullptr;
    const TRect r = GetSlideRect(cell);
    if (point.x() < r.Left || point.x() >= r.Right || point.y() < r.Top || point.y() >= r.Bottom)
        return nullptr;
    return Slide(CellToIndex(cell));
}

void TLargeSlideView::InvalidateSlide(int index) {
    if (index < 0 || index >= SlideCount())
        return;
    const QRect r = ToQRect(GetSlideRect(IndexToCell(index)));
    if (r.intersects(viewport()->rect()))
        viewport()->update(r);
}

void TLargeSlideView::DoMovePicture(int fromIndex, int toIndex) {
    toIndex = std::min(toIndex, SlideCount() - 1);
    if (toIndex != fromIndex)
        emit OnMovePicture(this, fromIndex, toIndex);
}

void TLargeSlideView::DoSelectPicture(TKelPicture* picture) {
    emit OnSelectPicture(this, picture);
}

int TLargeSlideView::DropTarget(int fromIndex, QPoint point) const {
    int to;
    if (const TLargeSlide* target = SlideAt(point); target != nullptr) {
        const int index = target->SlideIndex();
        const int x = point.x() - GetSlideRect(IndexToCell(index)).Left;
        to = x > m_slideWidth / 2 ? index + 1 : index;
    } else {
        const TSlideCell cell = PointToCell(point);
        const TRect r = GetSlideRect(cell);
        to = CellToIndex(cell);
        if (point.x() > r.Left + (r.Right - r.Left) / 2)
            ++to;
    }
    if (to > fromIndex)
        --to;
    return to;
}

void TLargeSlideView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (m_slides.empty() || m_colCount < 1)
        return;
    const QRect dirty = event->rect();
    const int rowHeight = m_slideHeight + m_spacing;
    const int scroll = verticalScrollBar()->value();
    const int firstRow = std::max(0, (dirty.top() + scroll - m_margin) / rowHeight);
    const int lastRow = (dirty.bottom() + scroll - m_margin) / rowHeight;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = 0; col < m_colCount; ++col) {
            const int index = CellToIndex({col, row});
            if (index >= SlideCount())
                return;
            const TRect r = GetSlideRect({col, row});
            if (!dirty.intersects(ToQRect(r)))
                continue;
            painter.save();
            painter.translate(r.Left, r.Top);
            m_slides[index]->Paint(painter);
            painter.restore();
        }
    }
}

void TLargeSlideView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateColCount();
    UpdateScrollRange();
}

void TLargeSlideView::UpdateColCount() {
    const int width = viewport()->width();
    const int colCount =
        width >= 2 * m_margin + m_slideWidth
            ? (width - 2 * m_margin - m_slideWidth) / (m_slideWidth + m_spacing) + 1
            : 1;
    if (colCount == m_colCount)
        return;
    m_colCount = colCount;
    viewport()->update(); // every slide moves to the place of its index
}

void TLargeSlideView::UpdateScrollRange() {
    const int rows = m_colCount < 1 ? 0 : (SlideCount() + m_colCount - 1) / m_colCount;
    const int height =
        rows == 0 ? 0 : 2 * m_margin + rows * (m_slideHeight + m_spacing) - m_spacing;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, height - viewport()->height()));
    bar->setPageStep(viewport()->height());
}

void TLargeSlideView::scrollContentsBy(int, int) {
    viewport()->update();
}

void TLargeSlideView::mousePressEvent(QMouseEvent* event) {
    QAbstractScrollArea::mousePressEvent(event);
    m_pressedSlide = -1;
    const QPoint point = event->position().toPoint();
    TLargeSlide* slide = SlideAt(point);
    if (slide == nullptr)
        return;
    const int index = slide->SlideIndex();
    m_pressedSlide = index;
    m_pressPoint = point;
    const TRect r = GetSlideRect(IndexToCell(index));
    slide->MouseDown(point - QPoint(r.Left, r.Top));
}

void TLargeSlideView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_pressedSlide < 0)
        return;
    const QPoint delta = event->position().toPoint() - m_pressPoint;
    if (std::max(std::abs(delta.x()), std::abs(delta.y())) < 6)
        return;
    const int index = m_pressedSlide;
    m_pressedSlide = -1;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(SlideMimeType), QByteArray::number(index));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    QPixmap image(m_slideWidth, m_slideHeight);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        m_slides[index]->Paint(painter);
    }
    drag->setPixmap(image.scaled(m_slideWidth / 2, m_slideHeight / 2, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation));
    drag->setHotSpot(QPoint(m_slideWidth / 4, m_slideHeight / 4));
    drag->exec(Qt::MoveAction);
}

void TLargeSlideView::mouseReleaseEvent(QMouseEvent* event) {
    m_pressedSlide = -1;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

int TLargeSlideView::DraggedIndex(const QDropEvent* event) const {
    const auto* source = qobject_cast<const TLargeSlideView*>(event->source());
    if (source == nullptr || !event->mimeData()->hasFormat(QString::fromLatin1(SlideMimeType)))
        return -1;
    bool ok = false;
    const int index = event->mimeData()->data(QString::fromLatin1(SlideMimeType)).toInt(&ok);
    const TLargeSlide* slide = ok ? source->Slide(index) : nullptr;
    return slide != nullptr ? slide->GetIndex() : -1;
}

void TLargeSlideView::dragEnterEvent(QDragEnterEvent* event) {
    if (DraggedIndex(event) >= 0)
        event->acceptProposedAction();
    else
        QAbstractScrollArea::dragEnterEvent(event);
}

void TLargeSlideView::dragMoveEvent(QDragMoveEvent* event) {
    if (DraggedIndex(event) >= 0)
        event->acceptProposedAction();
    else
        QAbstractScrollArea::dragMoveEvent(event);
}

void TLargeSlideView::dropEvent(QDropEvent* event) {
    const int from = DraggedIndex(event);
    if (from < 0) {
        QAbstractScrollArea::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    const int to = DropTarget(from, event->position().toPoint());
    if (to != from)
        DoMovePicture(from, to);
}
