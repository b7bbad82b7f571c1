// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ControlState.h"

#include <QPalette>
#include <QWidget>

void SetControlState(QWidget* control, bool enabled, bool valid) {
    control->setEnabled(enabled);
    // Only the roles set here differ from the palette the window and the theme give; an empty
    // palette hands every role back to them.
    QPalette palette;
    if (!valid) {
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Base, InvalidInputColor);
            if (group != QPalette::Disabled)
                palette.setColor(group, QPalette::Text, Qt::black);
        }
    }
    control->setPalette(palette);
}
