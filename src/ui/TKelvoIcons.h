// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QStyle>

/// The program's icons by their index in the main window's image list (0 New project to
/// 14 Help contents): the desktop theme's icon of the freedesktop name where the theme has
/// one, otherwise the bundled one. An unknown index gives an empty icon.
QIcon KelvoIcon(int index);
/// The icon theme's icon of the freedesktop name, else the style's standard icon.
QIcon KelvoThemeIcon(const QString& name, QStyle::StandardPixmap fallback);
