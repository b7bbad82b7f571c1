// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "UiTestSupport.h"

#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWidget>

#include <optional>

#include "model/TKelPicture.h"

QMessageBox::StandardButton TScriptedPrompts::Message(QWidget*, QMessageBox::Icon icon,
                                                      const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton) {
    Asked.append({icon, caption, text});
    if (Answers.empty())
        return defaultButton != QMessageBox::NoButton || !buttons.testFlag(QMessageBox::Ok)
                   ? defaultButton
                   : QMessageBox::Ok;
    const auto answer = Answers.front();
    Answers.pop_front();
    return answer;
}

QStringList TScriptedPrompts::NextFiles() {
    const QStringList next = Files.empty() ? QStringList() : Files.front();
    if (!Files.empty())
        Files.pop_front();
    return next;
}

TDialogTestEnvironment::TDialogTestEnvironment(const QString& languageCode) {
    // Remembered places start empty for every window under test: the first start.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       Temp.filePath(QStringLiteral("config")));
    Language.SetFolder(QStringLiteral(KELVO_RUNTIME_DIR));
    Language.SetLanguageCode(languageCode);
    Settings = std::make_unique<TSettings>(std::string(KELVO_RUNTIME_DIR) + "/",
                                           Temp.path().toStdString() + "/");
    Environment =
        std::make_unique<TKelvoEnvironment>(TKelvoEnvironment{Language, *Settings, Prompts});
}

QString SaveScreenshot(QWidget* widget, const QString& name) {
    const QString path = QDir(QStringLiteral(KELVO_SCREENSHOT_DIR)).filePath(name + ".png");
    widget->grab().save(path);
    return path;
}

QPalette DarkPalette() {
    // Qt derives the light text, the shades and the disabled colours from button and window.
    QPalette dark(QColor(QRgb(0x3c3c40)), QColor(QRgb(0x2d2d30)));
    dark.setColor(QPalette::Base, QColor(QRgb(0x1e1e1e)));
    dark.setColor(QPalette::Highlight, QColor(QRgb(0x2a82da)));
    return dark;
}

void Idle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QStringList SamplePictures() {
    const QDir folder(qEnvironmentVariable("KELVO_SAMPLE_PICTURES",
                                           QStringLiteral(KELVO_RUNTIME_DIR "/Pictures")));
    QStringList files;
    for (const QString& name : folder.entryList({"*.jpg"}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
}

QString SampleProject() {
    return qEnvironmentVariable("KELVO_SAMPLE_PROJECT",
                                QStringLiteral(KELVO_SOURCE_DIR "/examples/sample-gallery.kel"));
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
