// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// How the main window copes with many pictures, run by hand (headless is fine):
//   build/bin/kelvo_ui_bench [count]
// 1. Adding count photos (default 1,000; hard links to the sample photos) through the window
//    until every slide shows its thumbnail, against decoding the same files at one-eighth
//    scale, one after the other on one core. The goal is at most 0.6 of that with two cores.
// 2. UpdateSlides and one full repaint of a slide view with 10,000 pictures (goal: 16 ms).
// 3. The memory that 10,000 thumbnails take.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "imaging/JpegFile.h"
#include "imaging/TBM_Bitmap.h"
#include "language/TTamLanguage.h"
#include "model/TKelPictureList.h"
#include "model/TKelProject.h"
#include "model/TSettings.h"
#include "ui/TKelvoEnvironment.h"
#include "ui/TLargeSlideView.h"
#include "ui/TWidgetPrompts.h"
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

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    QTemporaryDir folder;
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
    TfrmKelvo window(environment);
    window.show();
    QCoreApplication::processEvents();
    timer.restart();
    cpu = CpuMs();
    window.AddPictureFiles(photos);
    const double addMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double addCpuMs = CpuMs() - cpu;
    int withThumbnail = 0;
    for (TKelPicture* picture : window.Project()->Pictures())
        withThumbnail += picture->Thumbnail() != nullptr ? 1 : 0;
    std::printf("adding %d photos through the window: %.0f ms (CPU %.0f ms; %d with thumbnails)\n",
                count, addMs, addCpuMs, withThumbnail);
    std::printf("one-eighth decode alone, one core:     %.0f ms (CPU %.0f ms)\n", decodeMs,
                decodeCpuMs);
    std::printf("decode and thumbnail, one core:        %.0f ms (CPU %.0f ms)\n", thumbnailMs,
                thumbnailCpuMs);
    std::printf("ratio:                                 %.2f (goal at most 0.6 with two cores)\n",
                addMs / decodeMs);
    window.Project()->History().Clear();
    window.close();

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
    return 0;
}
