// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TKelvoIcons.h"

#include <QApplication>

#include <array>

namespace {

struct TIconName {
    const char* Theme;    // freedesktop icon name
    const char* Fallback; // bundled file name under icons/<size>/
};

constexpr std::array<TIconName, 15> IconNames{{
    {"document-new", "document-new"},
    {"document-open", "document-open"},
    {"document-save", "document-save"},
    {"document-save-as", "document-save-as"},
    {"list-add", "list-add"},
    {"list-remove", "list-remove"},
    {"go-up", "go-up"},
    {"go-down", "go-down"},
    {"view-sort-ascending", "format-justify-left"}, // the four orders
    {"text-html", "text-html"},                     // HTML picture gallery
    {"go-down", "go-down"},                         // the sort mark of the grid's header
    {"help-about", "dialog-information"},
    {"view-dual", "window-new"},         // split view off
    {"view-restore", "view-fullscreen"}, // split view on
    {"help-contents", "help-browser"},
}};

} // namespace

QIcon KelvoIcon(int index) {
    if (index < 0 || index >= static_cast<int>(IconNames.size()))
        return {};
    const TIconName& name = IconNames[static_cast<std::size_t>(index)];
    QIcon fallback;
    for (const char* size : {"16x16", "22x22"})
        fallback.addFile(QStringLiteral(":/icons/%1/%2.png")
                             .arg(QLatin1String(size), QLatin1String(name.Fallback)));
    return QIcon::fromTheme(QLatin1String(name.Theme), fallback);
}

QIcon KelvoThemeIcon(const QString& name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(name, QApplication::style()->standardIcon(fallback));
}
