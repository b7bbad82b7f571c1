// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "UiTestSupport.h"
#include "language/TTamLanguage.h"
#include "model/TKelProject.h"
#include "model/TSettings.h"
#include "ui/TKelvoEnvironment.h"

class QWebEnginePage;

/// What a dialog under test works with: the built layouts and sample pictures beside the
/// programs, a private temporary folder, the language files and scripted prompts.
struct TDialogTestEnvironment {
    explicit TDialogTestEnvironment(const QString& languageCode = QStringLiteral("ENU"));

    QTemporaryDir Temp;
    TTamLanguage Language;
    std::unique_ptr<TSettings> Settings;
    TScriptedPrompts Prompts;
    std::unique_ptr<TKelvoEnvironment> Environment;
};

/// The sample pictures shipped with the program, sorted by name.
QStringList SamplePictures();
/// Adds the pictures to project with their thumbnails; the project's history is cleared.
void AddPictures(TKelProject& project, const QStringList& fileNames);
/// Runs script in page and returns its result once it has come.
QVariant RunJavaScript(QWebEnginePage& page, const QString& script);
