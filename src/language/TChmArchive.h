// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct chmFile;

/// One entry of a help file's contents (.hhc) or index (.hhk): its text, the page it leads to
/// (empty for a heading without a page) and its depth, 0 for the top level.
struct TChmSitemapEntry {
    QString Name;
    QString Local;
    int Level = 0;
};

/// A compiled HTML help file (.chm) opened for reading with chmlib: its pages, its contents
/// and index, its default page and its context map. Whoever shows help owns one per open file.
/// Object paths inside the archive start with "/"; page names given to it may omit that.
class TChmArchive {
public:
    TChmArchive();
    ~TChmArchive();
    TChmArchive(const TChmArchive&) = delete;
    TChmArchive& operator=(const TChmArchive&) = delete;

    /// Opens the file; false (and closed) when it is missing or no help file.
    bool Open(const QString& fileName);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }
    QString FileName() const { return m_fileName; }

    /// The object's content, or nothing when the archive has no such object.
    std::optional<QByteArray> Read(const QString& path) const;
    bool Contains(const QString& path) const;
    /// Every object of the archive, by path ("/start.htm", "/#SYSTEM", ...).
    QStringList Objects() const;

    /// The path of the object a name stands for: the name itself when the archive holds it,
    /// otherwise the name with leading folders dropped until one matches. Compilers store build
    /// paths in the context map; this finds the page and keeps those paths out of sight.
    /// Empty when nothing matches.
    QString ResolvePage(const QString& name) const;

    /// Page paths from the archive's system record; empty when it has none.
    QString DefaultTopic() const;
    QString ContentsFile() const;
    QString IndexFile() const;
    QString Title() const;

    /// The page of a help context number, resolved inside the archive; empty when the context
    /// map has no such number or its page is missing.
    QString ContextPage(int context) const;
    /// The page name the context map gives a context number, unresolved: map is the /#IVB
    /// object (a byte count, then little-endian pairs of number and offset), strings the
    /// /#STRINGS object (NUL-terminated names). Nothing when the number is missing or its
    /// offset lies outside strings.
    static std::optional<QByteArray> ContextName(const QByteArray& map, const QByteArray& strings,
                                                 int context);

    /// The entries of the contents (.hhc) or index (.hhk), in file order.
    QList<TChmSitemapEntry> Contents() const;
    QList<TChmSitemapEntry> Index() const;

    /// Reads a sitemap (.hhc or .hhk, HTML with <OBJECT type="text/sitemap"> entries in nested
    /// <UL> lists).
    static QList<TChmSitemapEntry> ParseSitemap(const QByteArray& html);

private:
    QString SystemString(int code) const;

    struct TCloser {
        void operator()(chmFile* file) const;
    };
    std::unique_ptr<chmFile, TCloser> m_file;
    QString m_fileName;
};
