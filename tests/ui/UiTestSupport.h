// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/TPrompts.h"

#include <QList>
#include <QString>

#include <deque>

class QWidget;

/// Answers the program's message boxes and file dialogs from a script, and records what was
/// asked. A question with no scripted answer gets its default button (Ok for a plain message);
/// a file dialog with no scripted answer is cancelled.
class TScriptedPrompts : public TPrompts {
public:
    struct TAsked {
        QMessageBox::Icon Icon;
        QString Caption;
        QString Text;
    };

    std::deque<QMessageBox::StandardButton> Answers;
    std::deque<QStringList> Files; // for every file or folder dialog, in order
    QList<TAsked> Asked;

    QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QStringList GetOpenFileNames(QWidget*, const QString&, const QString&,
                                 const QString&) override {
        return NextFiles();
    }
    QString GetOpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return NextFiles().value(0);
    }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return NextFiles().value(0);
    }
    QString GetExistingDirectory(QWidget*, const QString&, const QString&) override {
        return NextFiles().value(0);
    }

private:
    QStringList NextFiles();
};

/// Saves widget->grab() as <screenshot folder>/<name>.png for review; returns the path.
QString SaveScreenshot(QWidget* widget, const QString& name);
