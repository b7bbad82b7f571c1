// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <exception>
#include <memory>

#include "language/THelpManager.h"
#include "language/TTamHtmlHelpViewer.h"
#include "language/TTamLanguage.h"
#include "language/TTamWinHelpTester.h"
#include "model/TSettings.h"
#include "ui/THelpKey.h"
#include "ui/THtmlHelpHost.h"
#include "ui/TKelvoEnvironment.h"
#include "ui/TWidgetPrompts.h"
#include "ui/TfrmHelp.h"
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
    // The layout dialog's preview (Qt WebEngine) shares OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The help window's URL scheme must be known before the application object exists.
    TfrmHelp::RegisterUrlScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvo"));
    QApplication::setApplicationVersion(QStringLiteral(KELVO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(KELVO_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kelvo")));

    TTamLanguage language;
    language.SetLanguageFileMask(QStringLiteral("Kelvo_%s.lng"));
    language.GetText(2080); // loads the language file, if there is one
    QTranslator qtTranslator;
    if (const QString code = LoadedLanguage(language);
        !code.isEmpty() && qtTranslator.load(QStringLiteral("qtbase_") + code,
                                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // The help viewer registers with the help manager before any window exists. The manager
    // goes first at the end, closing the help window while its host still exists.
    THtmlHelpHost helpHost(language);
    THelpManager help;
    auto viewer = std::make_shared<TTamHtmlHelpViewer>();
    help.RegisterViewer(viewer);
    help.SetHelpSelector(viewer);
    help.SetWinHelpTester(std::make_shared<TTamWinHelpTester>());
    viewer->SetHtmlHelpProc(
        [&helpHost](QObject* owner, const QString& file,
                    TTamHtmlHelpViewer::THtmlHelpCommand command,
                    const QVariant& data) { helpHost.HtmlHelp(owner, file, command, data); });
    // The help file of the user's language, found as the language file is; without one every
    // help request does nothing.
    QString helpFile;
    language.FindLanguageFile(QStringLiteral("Kelvo_%s.chm"), QString(), helpFile);
    help.SetHelpFile(helpFile);
    const THelpKey helpKey(help);

    try {
        TSettings settings;
        TWidgetPrompts prompts;
        TKelvoEnvironment environment{language, settings, prompts, &help};
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
