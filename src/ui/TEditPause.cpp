// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TEditPause.h"

#include <QLineEdit>
#include <QPlainTextEdit>

TEditPause::TEditPause(QObject* parent)
    : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may add 5 %: felt as lag
    m_timer.setInterval(Delay);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_field)
            emit Paused(m_field);
    });
}

void TEditPause::Watch(QPlainTextEdit* field) {
    connect(field, &QPlainTextEdit::textChanged, this, [this, field] { Edited(field); });
}

void TEditPause::Watch(QLineEdit* field) {
    connect(field, &QLineEdit::textEdited, this, [this, field] { Edited(field); });
}

void TEditPause::Edited(QWidget* field) {
    m_field = field;
    m_timer.start(); // restarts a running timer: only a pause fires
}
