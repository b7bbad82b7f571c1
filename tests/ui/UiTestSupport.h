// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>

#include "language/TTamLanguage.h"
#include "model/TKelProject.h"
#include "model/TSettings.h"
#include "ui/TKelvoEnvironment.h"
#include "ui/TPrompts.h"

class QWebEnginePage;
class QWidget;

/// Answers message boxes and file dialogs from a script (else: default button or Ok, cancelled).
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

/// A window's surroundings: built layouts, pictures and languages, temporary folder, prompts.
struct TDialogTestEnvironment {
    explicit TDialogTestEnvironment(const QString& languageCode = QStringLiteral("ENU"));

    QTemporaryDir Temp;
    TTamLanguage Language;
    std::unique_ptr<TSettings> Settings;
    TScriptedPrompts Prompts;
    std::unique_ptr<TKelvoEnvironment> Environment;
};

/// Saves widget->grab() as <screenshot folder>/<name>.png for review; returns the path.
QString SaveScreenshot(QWidget* widget, const QString& name);
/// A dark palette, for screenshots and for checks that a window stays readable on it.
QPalette DarkPalette();
/// Lets the event loop go idle once: windows update their actions only then, never in qWait.
void Idle(int milliseconds = 20);
/// Writes content into path (created or replaced).
bool WriteFile(const QString& path, const QByteArray& content);
/// The sample pictures shipped with the program, sorted by name; those of the folder
/// KELVO_SAMPLE_PICTURES when set (scripts/screenshots shows them under a neutral home folder).
QStringList SamplePictures();
/// The example project over the sample pictures; the file KELVO_SAMPLE_PROJECT when set.
QString SampleProject();
/// Adds the pictures to project with their thumbnails; the project's history is cleared.
void AddPictures(TKelProject& project, const QStringList& fileNames);
/// Runs script in page and returns its result once it has come.
QVariant RunJavaScript(QWebEnginePage& page, const QString& script);
