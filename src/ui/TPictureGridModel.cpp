// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TPictureGridModel.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include <chrono>

#include "model/TKelPicture.h"
#include "model/TKelPictureRefs.h"

TPictureGridModel::TPictureGridModel(QObject* parent)
    : QAbstractTableModel(parent) {}

int TPictureGridModel::RowsFor(const TKelPictureRefs* pictures) const {
    return std::max(1, pictures != nullptr ? pictures->Count() : 0);
}

void TPictureGridModel::SetPictures(TKelPictureRefs* pictures) {
    beginResetModel();
    m_pictures = pictures;
    m_rows = RowsFor(m_pictures);
    endResetModel();
}

TKelPicture* TPictureGridModel::Picture(int row) const {
    return m_pictures != nullptr ? m_pictures->GetPicture(row) : nullptr;
}

void TPictureGridModel::Refresh() {
    const int rows = RowsFor(m_pictures);
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    emit dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
}

QString TPictureGridModel::DateText(const TKelPicture& picture) {
    if (picture.Date() == TKelPicture::TDate{})
        return {};
    const auto seconds = picture.Date().time_since_epoch().count();
    // The date is local wall-clock time already: read it back as UTC to keep it unshifted.
    const QDateTime dateTime = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    const QLocale locale;
    if (dateTime.time() == QTime(0, 0))
        return locale.toString(dateTime.date(), QLocale::ShortFormat);
    return locale.toString(dateTime.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(dateTime.time(), QLocale::LongFormat).remove(QLatin1String(" UTC"));
}

int TPictureGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TPictureGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TPictureGridModel::data(const QModelIndex& index, int role) const {
    const TKelPicture* picture = Picture(index.row());
    if (picture == nullptr || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    switch (index.column()) {
    case ColNumber:
        return QString::number(index.row() + 1);
    case ColTitle:
        return QString::fromStdString(picture->Title());
    case ColComment:
        return QString::fromStdString(picture->Comment());
    case ColDate:
        return DateText(*picture);
    case ColFileName:
        return QFile::decodeName(QByteArray::fromStdString(picture->FileName()));
    default:
        return {};
    }
}

bool TPictureGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TKelPicture* picture = Picture(index.row());
    if (picture == nullptr || role != Qt::EditRole ||
        (index.column() != ColTitle && index.column() != ColComment))
        return false;
    emit TextEdited(picture, index.column(), value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TPictureGridModel::flags(const QModelIndex& index) const {
    if (index.column() == ColTitle || index.column() == ColComment)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable |
               (Picture(index.row()) != nullptr ? Qt::ItemIsEditable : Qt::NoItemFlags);
    return Qt::ItemIsEnabled;
}

QVariant TPictureGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section >= ColTitle ? m_headers.value(section - ColTitle) : QString();
}
