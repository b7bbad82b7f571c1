// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QWidget;

/// The background of an input that holds an invalid value.
inline const QColor InvalidInputColor(255, 155, 155);

/// Enables or disables an input and shows whether its value is valid: a light red background
/// when not. Goes through the palette, so a disabled input turns gray the way the style does
/// it, and the text stays dark on the light red even on a dark theme.
void SetControlState(QWidget* control, bool enabled, bool valid);
