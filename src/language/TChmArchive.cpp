// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/TChmArchive.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QtEndian>

#include <chm_lib.h>

namespace {

QString ObjectPath(const QString& name) {
    QString path = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
    // "file.chm::/page.htm" names a page the way HTML Help does; only the page matters here.
    const qsizetype separator = path.indexOf(QLatin1String("::"));
    if (separator >= 0)
        path = path.mid(separator + 2);
    // A "#" right behind a folder starts a system object's name (/#SYSTEM), elsewhere an anchor.
    const qsizetype folder = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype anchor = path.indexOf(QLatin1Char('#'), folder + 1);
    if (anchor > folder + 1)
        path.truncate(anchor);
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

int CollectObject(chmFile*, chmUnitInfo* ui, void* context) {
    static_cast<QStringList*>(context)->append(QString::fromUtf8(ui->path));
    return CHM_ENUMERATOR_CONTINUE;
}

// The character references that sitemap names use: numeric ones and the common named ones.
QString DecodeEntities(const QString& text) {
    static const QHash<QString, QString> named{{QStringLiteral("amp"), QStringLiteral("&")},
                                               {QStringLiteral("lt"), QStringLiteral("<")},
                                               {QStringLiteral("gt"), QStringLiteral(">")},
                                               {QStringLiteral("quot"), QStringLiteral("\"")},
                                               {QStringLiteral("apos"), QStringLiteral("'")},
                                               {QStringLiteral("nbsp"), QString(QChar(0xa0))},
                                               {QStringLiteral("auml"), QString(QChar(0xe4))},
                                               {QStringLiteral("ouml"), QString(QChar(0xf6))},
                                               {QStringLiteral("uuml"), QString(QChar(0xfc))},
                                               {QStringLiteral("Auml"), QString(QChar(0xc4))},
                                               {QStringLiteral("Ouml"), QString(QChar(0xd6))},
                                               {QStringLiteral("Uuml"), QString(QChar(0xdc))},
                                               {QStringLiteral("szlig"), QString(QChar(0xdf))}};
    static const QRegularExpression reference(
        QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[A-Za-z]+);"));
    QString result;
    qsizetype done = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString name = m.captured(1);
        QString replacement = m.captured(0);
        if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const bool hex =
                name.size() > 1 && (name[1] == QLatin1Char('x') || name[1] == QLatin1Char('X'));
            const uint code = hex ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10ffff) {
                const char32_t c = code;
                replacement = QString::fromUcs4(&c, 1);
            }
        } else {
            replacement = named.value(name, replacement);
        }
        result += QStringView(text).mid(done, m.capturedStart() - done);
        result += replacement;
        done = m.capturedEnd();
    }
    result += QStringView(text).mid(done);
    return result;
}

} // namespace

void TChmArchive::TCloser::operator()(chmFile* file) const {
    chm_close(file);
}

TChmArchive::TChmArchive() = default;
TChmArchive::~TChmArchive() = default;

bool TChmArchive::Open(const QString& fileName) {
    Close();
    // chm_open accepts any readable file; an empty one (left by a failed compile) is no archive.
    if (QFile(fileName).size() <= 0)
        return false;
    m_file.reset(chm_open(QFile::encodeName(fileName).constData()));
    if (!m_file)
        return false;
    m_fileName = fileName;
    return true;
}

void TChmArchive::Close() {
    m_file.reset();
    m_fileName.clear();
}

std::optional<QByteArray> TChmArchive::Read(const QString& path) const {
    if (!m_file)
        return std::nullopt;
    chmUnitInfo ui;
    const QByteArray name = ObjectPath(path).toUtf8();
    if (chm_resolve_object(m_file.get(), name.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    if (ui.length > 0) {
        const LONGINT64 read =
            chm_retrieve_object(m_file.get(), &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                                static_cast<LONGINT64>(ui.length));
        if (read != static_cast<LONGINT64>(ui.length))
            return std::nullopt;
    }
    return data;
}

bool TChmArchive::Contains(const QString& path) const {
    if (!m_file)
        return false;
    chmUnitInfo ui;
    const QByteArray name = ObjectPath(path).toUtf8();
    return chm_resolve_object(m_file.get(), name.constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

QStringList TChmArchive::Objects() const {
    QStringList objects;
    if (m_file)
        chm_enumerate(m_file.get(), CHM_ENUMERATE_ALL, CollectObject, &objects);
    return objects;
}

QString TChmArchive::ResolvePage(const QString& name) const {
    QString path = ObjectPath(name);
    while (!path.isEmpty()) {
        if (Contains(path))
            return path;
        const qsizetype next = path.indexOf(QLatin1Char('/'), 1);
        if (next < 0)
            break;
        path = path.mid(next);
    }
    return {};
}

QString TChmArchive::SystemString(int code) const {
    const auto system = Read(QStringLiteral("/#SYSTEM"));
    if (!system || system->size() < 4)
        return {};
    // A version (4 bytes), then records of code (2), length (2) and data, little-endian.
    const auto* bytes = reinterpret_cast<const uchar*>(system->constData());
    qsizetype at = 4;
    while (at + 4 <= system->size()) {
        const int recordCode = qFromLittleEndian<quint16>(bytes + at);
        const qsizetype length = qFromLittleEndian<quint16>(bytes + at + 2);
        at += 4;
        if (at + length > system->size())
            break;
        if (recordCode == code) {
            QByteArray value = system->mid(at, length);
            const qsizetype end = value.indexOf('\0');
            if (end >= 0)
                value.truncate(end);
            return QString::fromUtf8(value);
        }
        at += length;
    }
    return {};
}

QString TChmArchive::DefaultTopic() const {
    return ResolvePage(SystemString(2));
}

QString TChmArchive::ContentsFile() const {
    return ResolvePage(SystemString(0));
}

QString TChmArchive::IndexFile() const {
    return ResolvePage(SystemString(1));
}

QString TChmArchive::Title() const {
    return SystemString(3);
}

QString TChmArchive::ContextPage(int context) const {
    const auto map = Read(QStringLiteral("/#IVB"));
    const auto strings = Read(QStringLiteral("/#STRINGS"));
    if (!map || !strings)
        return {};
    const auto name = ContextName(*map, *strings, context);
    return name ? ResolvePage(QString::fromUtf8(*name)) : QString();
}

std::optional<QByteArray> TChmArchive::ContextName(const QByteArray& map, const QByteArray& strings,
                                                   int context) {
    if (map.size() < 4)
        return std::nullopt;
    // A byte count, then pairs of context number and offset into #STRINGS.
    const auto* bytes = reinterpret_cast<const uchar*>(map.constData());
    const qsizetype count = qMin<qsizetype>(qFromLittleEndian<quint32>(bytes), map.size() - 4);
    for (qsizetype at = 4; at + 8 <= count + 4; at += 8) {
        if (qFromLittleEndian<qint32>(bytes + at) != context)
            continue;
        const qsizetype offset = qFromLittleEndian<quint32>(bytes + at + 4);
        if (offset >= strings.size())
            return std::nullopt;
        const qsizetype end = strings.indexOf('\0', offset);
        return strings.mid(offset, end < 0 ? -1 : end - offset);
    }
    return std::nullopt;
}

QList<TChmSitemapEntry> TChmArchive::Contents() const {
    const QString file = ContentsFile();
    return file.isEmpty() ? QList<TChmSitemapEntry>{} : ParseSitemap(Read(file).value_or(""));
}

QList<TChmSitemapEntry> TChmArchive::Index() const {
    const QString file = IndexFile();
    return file.isEmpty() ? QList<TChmSitemapEntry>{} : ParseSitemap(Read(file).value_or(""));
}

QList<TChmSitemapEntry> TChmArchive::ParseSitemap(const QByteArray& html) {
    static const QRegularExpression token(
        QStringLiteral(R"(<\s*(/?)\s*(ul|object)\b([^>]*)>|<\s*param\b([^>]*)>)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral(R"re(\b(name|value|type)\s*=\s*("([^"]*)"|'([^']*)'|([^\s>]+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    const auto attributes = [](const QString& text) {
        QHash<QString, QString> values;
        for (auto it = attribute.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            QString value = m.captured(3);
            if (value.isEmpty())
                value = m.captured(4);
            if (value.isEmpty())
                value = m.captured(5);
            values.insert(m.captured(1).toLower(), DecodeEntities(value));
        }
        return values;
    };

    QList<TChmSitemapEntry> entries;
    const QString text = QString::fromUtf8(html);
    int depth = 0;
    std::optional<TChmSitemapEntry> entry;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString tag = m.captured(2).toLower();
        if (tag == QLatin1String("ul")) {
            depth = closing ? qMax(0, depth - 1) : depth + 1;
        } else if (tag == QLatin1String("object")) {
            if (!closing &&
                attributes(m.captured(3))
                        .value(QStringLiteral("type"))
                        .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0) {
                entry = TChmSitemapEntry{{}, {}, qMax(0, depth - 1)};
            } else if (closing && entry) {
                if (!entry->Name.isEmpty())
                    entries.append(*entry);
                entry.reset();
            }
        } else if (entry) {
            const auto param = attributes(m.captured(4));
            const QString name = param.value(QStringLiteral("name")).toLower();
            // An index entry may list several pages; the first one is where it leads.
            if (name == QLatin1String("name") && entry->Name.isEmpty())
                entry->Name = param.value(QStringLiteral("value"));
            else if (name == QLatin1String("local") && entry->Local.isEmpty())
                entry->Local = param.value(QStringLiteral("value"));
        }
    }
    return entries;
}
