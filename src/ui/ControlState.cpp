// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ControlState.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

void SetControlState(QWidget* control, bool enabled, bool valid) {
    control->setEnabled(enabled);
    QPalette palette = QApplication::palette(control);
    if (!valid) {
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Base, InvalidInputColor);
            if (group != QPalette::Disabled)
                palette.setColor(group, QPalette::Text, Qt::black);
        }
    }
    control->setPalette(palette);
}
