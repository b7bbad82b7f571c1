// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <sys/stat.h>

#include "imaging/BM_Geometry.h"
#include "imaging/BM_Resample.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TKelPicture.h"

namespace {

constexpr const char* UriKey = "Thumb::URI";
constexpr const char* MTimeKey = "Thumb::MTime";

QImage ToImage(const TBM_Bitmap& bitmap) {
    // The bitmap's fourth byte means nothing: read as RGBX it is ignored.
    const QImage view(bitmap.ScanLine(0), bitmap.Width(), bitmap.Height(),
                      bitmap.Width() * TBM_Bitmap::BytesPerPixel, QImage::Format_RGBX8888);
    return view.copy();
}

void ToBitmap(const QImage& image, TBM_Bitmap& bitmap) {
    // Entries other programs wrote may be transparent: laid over white, as Kelvo's own readers
    // lay a transparent picture, so a slide looks the same whoever made its entry.
    QImage rgbx(image.size(), QImage::Format_RGBX8888);
    if (image.hasAlphaChannel()) {
        rgbx.fill(Qt::white);
        QPainter painter(&rgbx);
        painter.drawImage(0, 0, image);
    } else {
        rgbx = image.convertToFormat(QImage::Format_RGBX8888);
    }
    bitmap.SetSize(rgbx.width(), rgbx.height());
    for (int y = 0; y < rgbx.height(); ++y)
        std::memcpy(bitmap.ScanLine(y), rgbx.constScanLine(y),
                    static_cast<std::size_t>(rgbx.width()) * TBM_Bitmap::BytesPerPixel);
}

// Scales source so its longer side is size pixels, as TKelPicture fits its thumbnails.
std::unique_ptr<TBM_Bitmap> Fitted(const TBM_Bitmap& source, int size) {
    const TRect fitted =
        FitRect(TRect{0, 0, size, size}, TRect{0, 0, source.Width(), source.Height()});
    auto result = std::make_unique<TBM_Bitmap>();
    Resample(source, *result, std::max(1, fitted.Right), std::max(1, fitted.Bottom));
    return result;
}

// The folder the standard wants private to the user; an existing one is left as it is.
bool MakePrivateFolder(const QString& path) {
    if (QFileInfo(path).isDir())
        return true;
    return ::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || QFileInfo(path).isDir();
}

} // namespace

QString TThumbnailCache::DefaultRoot() {
    // Qt reads XDG_CACHE_HOME and falls back to ~/.cache, as the standard says.
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/thumbnails");
}

TThumbnailCache::TFlavour TThumbnailCache::FlavourFor(int pixels) {
    return pixels <= Pixels(TFlavour::Normal) ? TFlavour::Normal : TFlavour::Large;
}

int TThumbnailCache::Pixels(TFlavour flavour) {
    return flavour == TFlavour::Normal ? 128 : 256;
}

QByteArray TThumbnailCache::FileUri(const QString& fileName) {
    return QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()).toEncoded();
}

TThumbnailCache::TThumbnailCache(QString root)
    : m_root(std::move(root)) {}

QString TThumbnailCache::EntryPath(const QString& fileName, TFlavour flavour) const {
    const QByteArray md5 =
        QCryptographicHash::hash(FileUri(fileName), QCryptographicHash::Md5).toHex();
    return QStringLiteral("%1/%2/%3.png")
        .arg(m_root,
             flavour == TFlavour::Normal ? QStringLiteral("normal") : QStringLiteral("large"),
             QString::fromLatin1(md5));
}

QImage TThumbnailCache::Find(const QString& fileName, TFlavour flavour) const {
    const QFileInfo file(fileName);
    const QString uri = QString::fromLatin1(FileUri(fileName));
    const QString mtime = QString::number(file.lastModified().toSecsSinceEpoch());
    for (TFlavour f : {TFlavour::Normal, TFlavour::Large}) {
        if (Pixels(f) < Pixels(flavour))
            continue;
        QImage entry(EntryPath(fileName, f), "PNG");
        if (!entry.isNull() && entry.text(QLatin1String(UriKey)) == uri &&
            entry.text(QLatin1String(MTimeKey)) == mtime)
            return entry;
    }
    return {};
}

void TThumbnailCache::Store(const QString& fileName, TFlavour flavour,
                            const QImage& thumbnail) const {
    const QString target = EntryPath(fileName, flavour);
    const QString folder = QFileInfo(target).absolutePath();
    const QFileInfo file(fileName);
    QImage entry = thumbnail;
    entry.setText(QLatin1String(UriKey), QString::fromLatin1(FileUri(fileName)));
    entry.setText(QLatin1String(MTimeKey), QString::number(file.lastModified().toSecsSinceEpoch()));
    entry.setText(QStringLiteral("Thumb::Size"), QString::number(file.size()));
    entry.setText(QStringLiteral("Software"), QStringLiteral("Kelvo"));
    // Made with mode 0600; a reader never sees a half-written entry under the final name. The
    // folders are made only when the first entry finds them missing.
    QTemporaryFile temporary(folder + QStringLiteral("/kelvo-XXXXXX.png"));
    if (!temporary.open() &&
        (!QDir().mkpath(QFileInfo(m_root).absolutePath()) || !MakePrivateFolder(m_root) ||
         !MakePrivateFolder(folder) || !temporary.open()))
        return;
    // Quality 100 writes the pixels uncompressed: a third larger than zlib's fastest level, but
    // that costs a sixth of a decode on every first sight of a photo.
    if (!entry.save(&temporary, "PNG", 100) || !temporary.flush())
        return;
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target).constData()) == 0)
        temporary.setAutoRemove(false);
}

std::unique_ptr<TBM_Bitmap> TThumbnailCache::SlideThumbnail(const QString& fileName) const {
    const TFlavour flavour = FlavourFor(TKelPicture::ThumbnailSize);
    try {
        TBM_Bitmap entry;
        const QImage cached = Find(fileName, flavour);
        if (!cached.isNull()) {
            ToBitmap(cached, entry);
        } else {
            std::unique_ptr<TBM_Bitmap> made = TKelPicture::CreateThumbnail(
                QFile::encodeName(fileName).toStdString(), Pixels(flavour));
            if (made == nullptr)
                return nullptr;
            Store(fileName, flavour, ToImage(*made));
            entry = std::move(*made);
        }
        if (entry.Width() < 1 || entry.Height() < 1)
            return nullptr;
        return Fitted(entry, TKelPicture::ThumbnailSize);
    } catch (const std::exception&) {
        return nullptr; // an entry too large for a bitmap, or one that cannot be scaled
    }
}
