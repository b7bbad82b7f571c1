// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/THelpKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "language/THelpManager.h"

THelpKey::THelpKey(THelpManager& manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager) {
    qApp->installEventFilter(this);
}

THelpKey::~THelpKey() {
    qApp->removeEventFilter(this);
}

int THelpKey::HelpContextOf(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant context = widget->property("HelpContext");
        if (context.isValid() && context.toInt() > 0)
            return context.toInt();
    }
    return 0;
}

bool THelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    // The key reaches the filter once per object on its way; only the focused one counts.
    QWidget* focus = QApplication::focusWidget();
    QWidget* start = focus ? focus : QApplication::activeWindow();
    if (watched != start)
        return QObject::eventFilter(watched, event);
    const int context = HelpContextOf(start);
    if (context <= 0)
        return QObject::eventFilter(watched, event);
    m_manager.ShowHelpContext(context, start ? start->window() : nullptr);
    return true;
}
