// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <exception>

#include "language/TTamLanguage.h"
#include "model/TSettings.h"
#include "ui/TKelvoEnvironment.h"
#include "ui/TWidgetPrompts.h"
#include "ui/TfrmKelvo.h"

namespace {

// "de" for Kelvo_DE.lng: Qt's own dialogs then speak the language Kelvo found a file for.
QString LoadedLanguage(const TTamLanguage& language) {
    const QString name = QFileInfo(language.LoadedFile()).completeBaseName();
    const qsizetype underscore = name.lastIndexOf(QLatin1Char('_'));
    return underscore < 0 ? QString() : name.mid(underscore + 1, 2).toLower();
}

} // namespace

// The desktop program: kelvo [PROJECT.kel]
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvo"));
    QApplication::setApplicationVersion(QStringLiteral(KELVO_VERSION));

    TTamLanguage language;
    language.SetLanguageFileMask(QStringLiteral("Kelvo_%s.lng"));
    language.GetText(2080); // loads the language file, if there is one
    QTranslator qtTranslator;
    if (const QString code = LoadedLanguage(language);
        !code.isEmpty() && qtTranslator.load(QStringLiteral("qtbase_") + code,
                                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    try {
        TSettings settings;
        TWidgetPrompts prompts;
        TKelvoEnvironment environment{language, settings, prompts};
        TfrmKelvo window(environment);
        window.show();
        if (const QString project = QApplication::arguments().value(1); !project.isEmpty())
            QTimer::singleShot(0, &window, [&window, project] { window.OpenProjectFile(project); });
        return QApplication::exec();
    } catch (const std::exception& e) {
        // Only the temporary working folder can fail here; without it nothing can be previewed.
        QMessageBox::critical(nullptr, QStringLiteral("Kelvo"), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
