// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

TProgress::TProgress(QProgressBar* bar, QLabel* text)
    : m_bar(bar)
    , m_text(text) {
    Reset();
}

int TProgress::GetMax() const {
    return m_bar->maximum();
}

void TProgress::SetMax(int value) {
    m_bar->setMaximum(value);
}

void TProgress::Reset() {
    m_cancelled = false;
    m_bar->setValue(0);
    m_text->clear();
    m_bar->repaint();
    m_text->repaint();
}

void TProgress::Step(int delta, const std::string& text) {
    m_bar->setValue(m_bar->value() + delta);
    m_text->setText(QString::fromStdString(text));
    m_bar->repaint();
    m_text->repaint();
}

bool TProgress::IsCancelled() {
    if (m_cancelled)
        return true;
    QCoreApplication::processEvents();
    return m_cancelled;
}
