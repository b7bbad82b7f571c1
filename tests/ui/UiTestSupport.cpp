// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "UiTestSupport.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

QMessageBox::StandardButton TScriptedPrompts::Message(QWidget*, QMessageBox::Icon icon,
                                                      const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton) {
    Asked.append({icon, caption, text});
    if (!Answers.empty()) {
        const auto answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::NoButton;
}

QStringList TScriptedPrompts::NextFiles() {
    if (Files.empty())
        return {};
    QStringList next = Files.front();
    Files.pop_front();
    return next;
}

QString SaveScreenshot(QWidget* widget, const QString& name) {
    const QString path = QDir(QStringLiteral(KELVO_SCREENSHOT_DIR)).filePath(name + ".png");
    widget->grab().save(path);
    return path;
}
