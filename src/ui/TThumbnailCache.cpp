// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <exception>
#include <sys/stat.h>

#include "base/FileUtils.h"
#include "imaging/BM_Geometry.h"
#include "imaging/BM_Resample.h"
#include "imaging/PngWriter.h"
#include "imaging/TBM_Bitmap.h"
#include "model/TKelPicture.h"

namespace {

constexpr const char* UriKey = "Thumb::URI";
constexpr const char* MTimeKey = "Thumb::MTime";

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

TThumbnailCache::TSource TThumbnailCache::SourceOf(const QString& fileName) {
    const QFileInfo file(fileName);
    TSource source;
    source.Uri = FileUri(fileName);
    source.Md5 = QCryptographicHash::hash(source.Uri, QCryptographicHash::Md5).toHex();
    source.MTime = QByteArray::number(file.lastModified().toSecsSinceEpoch());
    source.Size = QByteArray::number(file.size());
    return source;
}

QString TThumbnailCache::EntryPath(const QString& fileName, TFlavour flavour) const {
    return EntryPath(SourceOf(fileName), flavour);
}

QString TThumbnailCache::EntryPath(const TSource& source, TFlavour flavour) const {
    return QStringLiteral("%1/%2/%3.png")
        .arg(m_root,
             flavour == TFlavour::Normal ? QStringLiteral("normal") : QStringLiteral("large"),
             QString::fromLatin1(source.Md5));
}

QImage TThumbnailCache::Find(const TSource& source, TFlavour flavour) const {
    for (TFlavour f : {TFlavour::Normal, TFlavour::Large}) {
        if (Pixels(f) < Pixels(flavour))
            continue;
        // Asking first spares QImage's reader set-up on a miss, which costs a fortieth of a decode.
        const QString path = EntryPath(source, f);
        if (!QFileInfo::exists(path))
            continue;
        QImage entry(path, "PNG");
        if (!entry.isNull() && entry.text(QLatin1String(UriKey)).toLatin1() == source.Uri &&
            entry.text(QLatin1String(MTimeKey)).toLatin1() == source.MTime)
            return entry;
    }
    return {};
}

void TThumbnailCache::Store(const TSource& source, TFlavour flavour,
                            const TBM_Bitmap& thumbnail) const {
    const QString target = EntryPath(source, flavour);
    const QString folder = QFileInfo(target).path();
    try {
        const std::string bytes = EncodePng(thumbnail, {{UriKey, source.Uri.toStdString()},
                                                        {MTimeKey, source.MTime.toStdString()},
                                                        {"Thumb::Size", source.Size.toStdString()},
                                                        {"Software", "Kelvo"}});
        // The folders are made only when the first entry finds them missing.
        if (!QFileInfo(folder).isDir() &&
            (!QDir().mkpath(QFileInfo(m_root).absolutePath()) || !MakePrivateFolder(m_root) ||
             !MakePrivateFolder(folder)))
            return;
        // Under a name of its own, then renamed: a reader never sees half an entry.
        kelvo::WriteFileBytes(QFile::encodeName(target).toStdString(), bytes, false, true);
    } catch (const std::exception&) {
        // A full disk, say.
    }
}

std::unique_ptr<TBM_Bitmap> TThumbnailCache::SlideThumbnail(const QString& fileName) const {
    const TFlavour flavour = FlavourFor(TKelPicture::ThumbnailSize);
    try {
        const TSource source = SourceOf(fileName);
        TBM_Bitmap entry;
        const QImage cached = Find(source, flavour);
        if (!cached.isNull()) {
            ToBitmap(cached, entry);
        } else {
            std::unique_ptr<TBM_Bitmap> made = TKelPicture::CreateThumbnail(
                QFile::encodeName(fileName).toStdString(), Pixels(flavour));
            if (made == nullptr)
                return nullptr;
            Store(source, flavour, *made);
            entry = std::move(*made);
        }
        if (entry.Width() < 1 || entry.Height() < 1)
            return nullptr;
        return Fitted(entry, TKelPicture::ThumbnailSize);
    } catch (const std::exception&) {
        return nullptr; // an entry too large for a bitmap, or one that cannot be scaled
    }
}
