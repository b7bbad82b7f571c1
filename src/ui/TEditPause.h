// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

/// Notices when typing in a set of text fields pauses: Paused comes once, Delay milliseconds
/// after the last edit, naming the field last edited. A form makes one as its child and lets a
/// preview follow the fields while the user types, not only when a field loses focus.
class TEditPause : public QObject {
    Q_OBJECT

public:
    /// Long enough not to fire between the keys of a word, short enough to feel live.
    static constexpr int Delay = 250;

    explicit TEditPause(QObject* parent);

    /// Watches the user's edits of field (a text set by the program counts too for a plain text
    /// edit, which cannot tell them apart; the form's reaction then finds nothing changed).
    void Watch(QPlainTextEdit* field);
    void Watch(QLineEdit* field);

signals:
    void Paused(QWidget* field);

private:
    void Edited(QWidget* field);

    QTimer m_timer;
    QPointer<QWidget> m_field;
};
