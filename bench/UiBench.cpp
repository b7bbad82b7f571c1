// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// How the main window copes with many pictures, run by hand (headless is fine):
//   build/bin/kelvo_ui_bench [count]
// 1. Adding count photos (default 1,000; hard links to the sample photos) through the window
//    until every slide shows its thumbnail, with an empty thumbnail cache (its entries written
//    on the way), against decoding the same files at one-eighth scale, one after the other on
//    one core. The goal is at most 0.6 of that with two cores.
// 2. Opening the saved project in a new window with the cache now full, until every slide shows
//    its thumbnail (goal: at most 2 s for 10,000).
// 3. UpdateSlides and one full repaint of a slide view with 10,000 pictures (goal: 16 ms).
// 4. The memory that 10,000 thumbnails take.
// 5. The layout dialog: from the pause after typing a title to the page shown (goal: 100 ms).
// The cache lives in a temporary folder, never the user's.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>

#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"
#include "language/TTamLanguage.h"
#include "model/TKelPictureList.h"
#include "model/TKelProject.h"
#include "model/TSettings.h"
#include "ui/TEditPause.h"
#include "ui/TKelvoEnvironment.h"
#include "ui/TLargeSlideView.h"
#include "ui/TWidgetPrompts.h"
#include "ui/TfrmHtmlLayout.h"
#include "ui/TfrmKelvo.h"

namespace {

// CPU time of the whole process (all threads), in milliseconds: on a shared machine wall-clock
// time says little.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

QStringList MakePhotos(const QString& folder, int count) {
    const QStringList samples =
        QDir(QStringLiteral(KELVO_SOURCE_DIR "/Pictures")).entryList({QStringLiteral("*.jpg")});
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString source =
            QStringLiteral(KELVO_SOURCE_DIR "/Pictures/") + samples[i % samples.size()];
        const QString target =
            QStringLiteral("%1/photo%2.jpg").arg(folder).arg(i, 5, 10, QLatin1Char('0'));
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) !=
            0)
            QFile::copy(source, target);
        files.append(target);
    }
    return files;
}

int WithThumbnail(TfrmKelvo& window) {
    int count = 0;
    for (TKelPicture* picture : window.Project()->Pictures())
        count += picture->Thumbnail() != nullptr ? 1 : 0;
    return count;
}

struct TTimedWindow {
    std::unique_ptr<TfrmKelvo> Window;
    double Ms = 0;
    double CpuMs = 0;
    double Megabytes = 0; // resident memory grown meanwhile
};

// A new main window, shown, and what filling it costs.
TTimedWindow TimedWindow(TKelvoEnvironment& environment,
                         const std::function<void(TfrmKelvo&)>& fill) {
    TTimedWindow result;
    const double megabytes = ResidentMegabytes();
    result.Window = std::make_unique<TfrmKelvo>(environment);
    result.Window->show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    const double cpu = CpuMs();
    fill(*result.Window);
    result.Ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    result.CpuMs = CpuMs() - cpu;
    result.Megabytes = ResidentMegabytes() - megabytes;
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1"); // the preview, also when run as root
    QTemporaryDir folder;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.filePath(QStringLiteral("cache"))));
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const QStringList photos = MakePhotos(folder.path(), count);

    // 1. One-eighth decodes alone, on one core.
    QElapsedTimer timer;
    timer.start();
    double cpu = CpuMs();
    for (const QString& photo : photos) {
        TBM_Bitmap bitmap;
        LoadJpegFile(QFile::encodeName(photo).toStdString(), bitmap, 8);
    }
    const double decodeMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double decodeCpuMs = CpuMs() - cpu;
    // The same with the thumbnail made from each decode, as the window does it.
    timer.restart();
    cpu = CpuMs();
    for (const QString& photo : photos)
        TKelPicture::CreateThumbnail(QFile::encodeName(photo).toStdString());
    const double thumbnailMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double thumbnailCpuMs = CpuMs() - cpu;

    TTamLanguage language;
    TSettings settings(KELVO_RUNTIME_DIR "/", folder.path().toStdString());
    TWidgetPrompts prompts;
    TKelvoEnvironment environment{language, settings, prompts};
    TTimedWindow added =
        TimedWindow(environment, [&photos](TfrmKelvo& window) { window.AddPictureFiles(photos); });
    std::printf("adding %d photos through the window: %.0f ms (CPU %.0f ms; %d with thumbnails; "
                "%.0f MB more resident)\n",
                count, added.Ms, added.CpuMs, WithThumbnail(*added.Window), added.Megabytes);
    std::printf("one-eighth decode alone, one core:     %.0f ms (CPU %.0f ms)\n", decodeMs,
                decodeCpuMs);
    std::printf("decode and thumbnail, one core:        %.0f ms (CPU %.0f ms)\n", thumbnailMs,
                thumbnailCpuMs);
    std::printf("ratio:                                 %.2f (goal at most 0.6 with two cores)\n",
                added.Ms / decodeMs);
    const QString projectFile = folder.filePath(QStringLiteral("bench.kel"));
    added.Window->Project()->SaveToFile(QFile::encodeName(projectFile).toStdString());
    added.Window.reset();

    TTimedWindow opened = TimedWindow(
        environment, [&projectFile](TfrmKelvo& window) { window.OpenProjectFile(projectFile); });
    std::printf("opening it again, cache full:          %.0f ms (CPU %.0f ms; %d with thumbnails; "
                "%.0f MB more resident; goal at most 2 s for 10,000)\n",
                opened.Ms, opened.CpuMs, WithThumbnail(*opened.Window), opened.Megabytes);
    opened.Window.reset();

    // 2. and 3. A slide view over 10,000 pictures with thumbnails.
    const double before = ResidentMegabytes();
    TKelPictureList pictures;
    for (int i = 0; i < 10000; ++i) {
        TKelPicture* picture = pictures.CreatePicture();
        auto thumbnail = std::make_unique<TBM_Bitmap>();
        thumbnail->SetSize(110, 73); // a 3:2 photo's thumbnail
        picture->SetThumbnail(std::move(thumbnail));
        picture->SetSelected(i % 7 == 0);
    }
    std::printf("10,000 thumbnails:                     %.0f MB resident\n",
                ResidentMegabytes() - before);

    TLargeSlideView view;
    view.resize(655, 441);
    view.show();
    QCoreApplication::processEvents();
    view.SetPictures(&pictures);
    timer.restart();
    view.UpdateSlides();
    const double firstUpdateMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    pictures.MovePicture(0, 9999);
    timer.restart();
    view.UpdateSlides();
    const double updateMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    constexpr int repaints = 50;
    timer.restart();
    for (int i = 0; i < repaints; ++i) {
        view.verticalScrollBar()->setValue(i * 997 % view.verticalScrollBar()->maximum());
        view.viewport()->repaint();
    }
    const double repaintMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / repaints;
    std::printf("UpdateSlides, 10,000 pictures:         %.2f ms first, %.2f ms after a move\n",
                firstUpdateMs, updateMs);
    std::printf("one full repaint of the view:          %.2f ms (%d columns)\n", repaintMs,
                view.ColCount());
    view.SetPictures(nullptr);

    // 5. The layout dialog over the first photos: the page title typed, then the pause.
    TKelProject project;
    for (int i = 0; i < std::min(count, 20); ++i)
        project.Pictures().CreatePicture()->SetFileName(QFile::encodeName(photos[i]).toStdString());
    TfrmHtmlLayout dialog(project, environment);
    int loaded = 0;
    QObject::connect(&dialog, &TfrmHtmlLayout::PreviewLoaded, [&loaded] { ++loaded; });
    // Waits for the next page the dialog shows (at most 20 s).
    const auto waitForPage = [&loaded] {
        const int before = loaded;
        QElapsedTimer waited;
        waited.start();
        while (loaded == before && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    };
    dialog.show();
    waitForPage();
    auto* tree = dialog.findChild<QTreeWidget*>(QStringLiteral("tvwLayouts"));
    for (QTreeWidgetItem* layer : tree->findItems(QStringLiteral("index"), Qt::MatchRecursive))
        if (layer->parent() != nullptr && layer->parent()->text(0) == QLatin1String("Standard") &&
            tree->currentItem() != layer) {
            tree->setCurrentItem(layer);
            waitForPage();
        }
    auto* title = dialog.findChild<QPlainTextEdit*>(QStringLiteral("memTitle"));
    constexpr int edits = 10;
    double previewMs = 0;
    for (int i = 0; i < edits; ++i) {
        title->setFocus();
        title->insertPlainText(QStringLiteral(" %1").arg(i));
        timer.restart(); // the last key: the pause starts here
        waitForPage();
        previewMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    // The dialog waits TEditPause::Delay after the last key; what follows is the page's own cost.
    std::printf("layout preview, pause to page shown:   %.1f ms (last key to page %.1f ms; mean of "
                "%d title edits; goal under 100 ms)\n",
                previewMs / edits - TEditPause::Delay, previewMs / edits, edits);
    return 0;
}
