// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

/// Every message box and file dialog of the program goes through this one seam, so that tests
/// can answer them. The program uses TWidgetPrompts; tests use a scripted implementation.
class TPrompts {
public:
    virtual ~TPrompts() = default;

    /// A message box; returns the button pressed (the escape button when closed).
    virtual QMessageBox::StandardButton
    Message(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;
    /// Files to open (empty when cancelled); pictures get a preview where the platform allows.
    virtual QStringList GetOpenFileNames(QWidget* parent, const QString& caption,
                                         const QString& directory, const QString& filter) = 0;
    virtual QString GetOpenFileName(QWidget* parent, const QString& caption,
                                    const QString& directory, const QString& filter) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& caption,
                                    const QString& fileName, const QString& filter) = 0;
    /// A folder (empty when cancelled); only folders are shown.
    virtual QString GetExistingDirectory(QWidget* parent, const QString& caption,
                                         const QString& directory) = 0;
};
