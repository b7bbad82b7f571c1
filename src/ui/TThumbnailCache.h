// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

class TBM_Bitmap;

/// The desktop's shared thumbnail cache as file managers keep it (the freedesktop.org thumbnail
/// standard): PNG files in <cache>/thumbnails/normal (at most 128 pixels a side) and large (256),
/// named by the MD5 of the picture's file URI, carrying the URI and the file's modification time
/// in their text chunks. An entry counts only while both match the file, so an edited photo is
/// made afresh. Kelvo's entries serve other programs and theirs serve Kelvo.
///
/// A value type made on the calling thread (DefaultRoot reads the environment); its const
/// operations only touch files and may run on many worker threads at once. A cache that cannot
/// be written is skipped without a word: it only ever saves time.
class TThumbnailCache {
public:
    enum class TFlavour { Normal, Large };

    /// The folder that holds normal/ and large/: $XDG_CACHE_HOME/thumbnails, or
    /// ~/.cache/thumbnails when that is unset.
    static QString DefaultRoot();
    /// The smallest flavour whose pictures have at least pixels on their longer side.
    static TFlavour FlavourFor(int pixels);
    /// The longer side of a flavour's pictures: 128 or 256.
    static int Pixels(TFlavour flavour);
    /// The percent-encoded file:// URI of an absolute path, as the entries name their source.
    static QByteArray FileUri(const QString& fileName);

    explicit TThumbnailCache(QString root = DefaultRoot());

    /// The entry file of fileName in flavour, whether it exists or not.
    QString EntryPath(const QString& fileName, TFlavour flavour) const;

    /// The slide thumbnail of a picture file (longer side TKelPicture::ThumbnailSize), made from
    /// the cache entry when one matches, else from the file, whose entry is then written. Both
    /// ways scale the same entry-sized picture, so a slide looks the same either way. nullptr
    /// for a file that cannot be read.
    std::unique_ptr<TBM_Bitmap> SlideThumbnail(const QString& fileName) const;

private:
    /// What names and dates a picture's entries, found once for all of them.
    struct TSource {
        QByteArray Uri;
        QByteArray Md5; // of Uri, in hex: the entries' file name
        QByteArray MTime;
        QByteArray Size;
    };
    static TSource SourceOf(const QString& fileName);

    QString EntryPath(const TSource& source, TFlavour flavour) const;
    /// The entry of source in flavour, or a larger flavour's, if its URI and modification time
    /// match the file; else a null image.
    QImage Find(const TSource& source, TFlavour flavour) const;
    /// Writes thumbnail as the entry of source: to a new name of its own, then renamed, readable
    /// by the user alone.
    void Store(const TSource& source, TFlavour flavour, const TBM_Bitmap& thumbnail) const;

    QString m_root;
};
