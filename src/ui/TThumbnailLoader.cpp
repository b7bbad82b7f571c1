// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TThumbnailLoader.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "imaging/TBM_Bitmap.h"
#include "model/TKelPicture.h"
#include "ui/TThumbnailCache.h"

namespace {

struct TJob {
    std::string FileName;
    bool Exists = false;
    std::unique_ptr<TBM_Bitmap> Thumbnail;
    std::atomic<bool> Done{false};
};

} // namespace

void TThumbnailLoader::Run(const std::vector<TKelPicture*>& pictures, const TLoaded& onLoaded) {
    // Shared with the workers: a job still queued when this returns (it cannot, it waits for
    // all) would otherwise write into freed memory.
    auto jobs = std::make_shared<std::vector<TJob>>(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        (*jobs)[i].FileName = pictures[i]->FileName();
        (*jobs)[i].Exists = pictures[i]->Exists();
    }
    // Read on this thread: the environment is not the workers' to read.
    auto cache = std::make_shared<const TThumbnailCache>();
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    for (std::size_t i = 0; i < jobs->size(); ++i) {
        pool.start([jobs, cache, i, dispatcher] {
            TJob& job = (*jobs)[i];
            if (job.Exists)
                job.Thumbnail = cache->SlideThumbnail(
                    QFile::decodeName(QByteArray::fromStdString(job.FileName)));
            job.Done.store(true, std::memory_order_release);
            if (dispatcher != nullptr)
                dispatcher->wakeUp(); // the waiting loop looks again
        });
    }
    for (std::size_t i = 0; i < jobs->size(); ++i) {
        TJob& job = (*jobs)[i];
        while (!job.Done.load(std::memory_order_acquire))
            // Sleeps until an event comes, a worker's wake-up included: no busy waiting.
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        pictures[i]->SetThumbnail(std::move(job.Thumbnail));
        if (onLoaded)
            onLoaded(*pictures[i]);
    }
    pool.waitForDone();
}
