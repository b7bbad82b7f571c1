// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogTestSupport.h"

#include <QDir>
#include <QTest>
#include <QWebEnginePage>

#include <optional>

#include "model/TKelPicture.h"

TDialogTestEnvironment::TDialogTestEnvironment(const QString& languageCode) {
    Language.SetFolder(QStringLiteral(KELVO_RUNTIME_DIR));
    Language.SetLanguageCode(languageCode);
    Settings = std::make_unique<TSettings>(std::string(KELVO_RUNTIME_DIR) + "/",
                                           Temp.path().toStdString() + "/");
    Environment =
        std::make_unique<TKelvoEnvironment>(TKelvoEnvironment{Language, *Settings, Prompts});
}

QStringList SamplePictures() {
    const QDir folder(QStringLiteral(KELVO_RUNTIME_DIR "/Pictures"));
    QStringList files;
    for (const QString& name : folder.entryList({"*.jpg"}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
}

void AddPictures(TKelProject& project, const QStringList& fileNames) {
    for (const QString& fileName : fileNames) {
        TKelPicture* picture = project.Pictures().CreatePicture();
        picture->SetFileName(fileName.toStdString());
        picture->LoadThumbnail();
    }
    project.History().Clear();
}

QVariant RunJavaScript(QWebEnginePage& page, const QString& script) {
    std::optional<QVariant> result;
    page.runJavaScript(script, [&result](const QVariant& value) { result = value; });
    if (!QTest::qWaitFor([&result] { return result.has_value(); }, 10000))
        qWarning("No answer from the page to: %s", qPrintable(script));
    return result.value_or(QVariant());
}
