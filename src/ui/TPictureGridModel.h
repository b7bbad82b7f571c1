// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>

class TKelPicture;
class TKelPictureRefs;

/// The picture grid of the main window as a table: the row number, Title and Comment
/// (editable), Date and Filename, one row per picture and always at least one row, so the grid
/// never shrinks to its header. Owned by the main window; the list is not owned and is
/// assigned, or taken away with nullptr, before its pictures go. Edited text is handed to
/// TextEdited for the window to store, so that every change can be undone.
class TPictureGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum TColumn { ColNumber = 0, ColTitle, ColComment, ColDate, ColFileName, ColumnCount };

    explicit TPictureGridModel(QObject* parent = nullptr);

    void SetPictures(TKelPictureRefs* pictures);
    /// The picture of a row, or nullptr for a row without one.
    TKelPicture* Picture(int row) const;
    /// Brings the row count in line with the list and repaints every cell; keeps the current
    /// cell of the views where its row still exists.
    void Refresh();
    /// The header texts of columns 1 to 4, from the language.
    void SetHeaders(const QStringList& headers) { m_headers = headers; }

    /// The date as the grid shows it: the user's short date and long time, without the time at
    /// exactly midnight.
    static QString DateText(const TKelPicture& picture);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    /// The editor handed back text for the Title or Comment column of picture's row.
    void TextEdited(TKelPicture* picture, int column, const QString& text);

private:
    int RowsFor(const TKelPictureRefs* pictures) const;

    TKelPictureRefs* m_pictures = nullptr;
    int m_rows = 1;
    QStringList m_headers;
};
