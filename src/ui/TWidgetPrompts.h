// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/TPrompts.h"

/// The program's prompts: QMessageBox and QFileDialog.
class TWidgetPrompts : public TPrompts {
public:
    QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QStringList GetOpenFileNames(QWidget* parent, const QString& caption, const QString& directory,
                                 const QString& filter) override;
    QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                            const QString& filter) override;
    QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                            const QString& filter) override;
    QString GetExistingDirectory(QWidget* parent, const QString& caption,
                                 const QString& directory) override;
};
