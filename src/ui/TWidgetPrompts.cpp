// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TWidgetPrompts.h"

#include <QFileDialog>

QMessageBox::StandardButton TWidgetPrompts::Message(QWidget* parent, QMessageBox::Icon icon,
                                                    const QString& caption, const QString& text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QStringList TWidgetPrompts::GetOpenFileNames(QWidget* parent, const QString& caption,
                                             const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, caption, directory, filter);
}

QString TWidgetPrompts::GetOpenFileName(QWidget* parent, const QString& caption,
                                        const QString& directory, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString TWidgetPrompts::GetSaveFileName(QWidget* parent, const QString& caption,
                                        const QString& fileName, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, fileName, filter);
}

QString TWidgetPrompts::GetExistingDirectory(QWidget* parent, const QString& caption,
                                             const QString& directory) {
    return QFileDialog::getExistingDirectory(parent, caption, directory, QFileDialog::ShowDirsOnly);
}
