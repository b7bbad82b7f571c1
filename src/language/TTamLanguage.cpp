// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "language/TTamLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTranslator>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>

namespace {

// The Qt properties that show what the design calls a caption, a text and a hint.
QList<const char*> QtProperties(const QString& name) {
    if (name.compare(QLatin1String("Caption"), Qt::CaseInsensitive) == 0)
        return {"windowTitle", "text", "title"};
    if (name.compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0)
        return {"text", "plainText", "placeholderText"};
    if (name.compare(QLatin1String("Hint"), Qt::CaseInsensitive) == 0)
        return {"toolTip", "statusTip"};
    return {};
}

int HexDigit(QChar c) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    const QChar l = c.toLower();
    if (l >= QLatin1Char('a') && l <= QLatin1Char('f'))
        return l.unicode() - 'a' + 10;
    return -1;
}

struct LeadingNumber {
    qint64 value;
    qsizetype end; // index behind the last character read
};

// The run-time integer reading: leading spaces, an optional sign, then decimal digits, or
// hexadecimal ones after $, x, X, 0x or 0X; reading stops at the first other character.
std::optional<LeadingNumber> ReadLeadingNumber(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) {
        negative = s[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < s.size() &&
        (s[i] == QLatin1Char('$') || s[i] == QLatin1Char('x') || s[i] == QLatin1Char('X'))) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == QLatin1Char('0') &&
               (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    const qsizetype first = i;
    qint64 value = 0;
    for (; i < s.size(); ++i) {
        const int digit = base == 16 ? HexDigit(s[i]) : (s[i].isDigit() ? HexDigit(s[i]) : -1);
        if (digit < 0 || digit >= base)
            break;
        // Text numbers have four digits; anything past int range is no text number.
        if (value <= std::numeric_limits<int>::max())
            value = value * base + digit;
    }
    if (i == first)
        return std::nullopt;
    return LeadingNumber{negative ? -value : value, i};
}

// Far above any real language file (a few KB), far below what could exhaust memory.
constexpr qint64 MaxLanguageFileSize = 64 * 1024 * 1024;

// The compiled translation's layout: a magic, then blocks of a tag byte and a big-endian length.
constexpr uchar QmMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                               0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
enum QmBlock : uchar { Contexts = 0x2f, Hashes = 0x42, Messages = 0x69, Dependencies = 0x96 };
// The fields of a message: a tag byte, then (but for End and Obsolete1) a length and the bytes.
enum QmField : uchar {
    End = 1,
    Translation = 3,
    Obsolete1 = 5,
    SourceText = 6,
    Context = 7,
    Comment = 8
};

quint32 Read32(const uchar* p) {
    return qFromBigEndian<quint32>(p);
}

// Walks the messages one after the other; each must end inside the block. Their starts are the
// only places the hash table may point to.
bool ReadMessageStarts(QByteArrayView block, QList<quint32>& starts) {
    const auto* bytes = reinterpret_cast<const uchar*>(block.data());
    const qsizetype size = block.size();
    qsizetype at = 0;
    while (at < size) {
        starts.append(static_cast<quint32>(at));
        for (;;) {
            if (at >= size)
                return false;
            const uchar field = bytes[at++];
            if (field == End)
                break;
            if (field != Translation && field != Obsolete1 && field != SourceText &&
                field != Context && field != Comment)
                return false;
            if (size - at < 4)
                return false;
            const quint32 length = field == Obsolete1 ? 0 : Read32(bytes + at);
            at += 4;
            // A translation is UTF-16; an odd length would leave half a character.
            if (size - at < length || (field == Translation && length % 2 != 0))
                return false;
            at += length;
        }
    }
    return true;
}

} // namespace

bool TTamLanguage::IsValidLanguageFile(const QByteArray& data) {
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype size = data.size();
    if (size < qsizetype(sizeof QmMagic) || memcmp(bytes, QmMagic, sizeof QmMagic) != 0)
        return false;
    QByteArrayView hashes;
    QByteArrayView messages;
    for (qsizetype at = sizeof QmMagic; at < size;) {
        if (size - at < 5)
            return false;
        const uchar tag = bytes[at];
        const quint32 length = Read32(bytes + at + 1);
        at += 5;
        if (size - at < length)
            return false;
        const QByteArrayView block(data.constData() + at, length);
        at += length;
        // A language file looks texts up by number alone: a context table is never needed,
        // and dependencies would have Qt load further files unchecked.
        if ((tag == Contexts || tag == Dependencies) && length > 0)
            return false;
        if (tag == Hashes)
            hashes = block;
        else if (tag == Messages)
            messages = block;
    }
    QList<quint32> starts;
    if (hashes.size() % 8 != 0 || !ReadMessageStarts(messages, starts))
        return false;
    // Each entry: a hash and the offset of its message; Qt reads from there without checking.
    const auto* table = reinterpret_cast<const uchar*>(hashes.data());
    for (qsizetype at = 0; at < hashes.size(); at += 8)
        if (!std::binary_search(starts.cbegin(), starts.cend(), Read32(table + at + 4)))
            return false;
    return true;
}

TTamLanguage::TTamLanguage(QObject* owner)
    : QObject(owner)
    , m_translateProperties{QStringLiteral("Caption"), QStringLiteral("Text"),
                            QStringLiteral("Hint")}
    , m_languageFileMask(QStringLiteral("*_%s.lng"))
    , m_languageCode(LocaleLanguageCode(QLocale::system())) {}

TTamLanguage::~TTamLanguage() = default;

void TTamLanguage::SetLanguageFileMask(const QString& value) {
    // Only the name counts: language files always lie in the program's own folders.
    m_languageFileMask =
        QFileInfo(QString(value).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
}

QString TTamLanguage::ShownLanguage() {
    if (!EnsureLoaded())
        return QStringLiteral("en");
    // The code is what the mask's %s stood for, after the last '_' of "Kelvo_DE.lng".
    return QFileInfo(m_loadedFile)
        .completeBaseName()
        .section(QLatin1Char('_'), -1)
        .left(2)
        .toLower();
}

QStringList TTamLanguage::SearchFolders() const {
    if (!m_folder.isEmpty())
        return {m_folder};
    const QString program = QCoreApplication::applicationDirPath();
    return {program, QDir(program).filePath(QStringLiteral("../share/kelvo"))};
}

bool TTamLanguage::FindLanguageFile(const QString& mask, const QString& folder,
                                    QString& fileName) const {
    fileName.clear();
    const QString code = m_languageCode;
    const QString two = code.left(2);
    const std::array<QString, 6> candidates{code,
                                            two,
                                            two + QLatin1Char('?'),
                                            QStringLiteral("EN"),
                                            QStringLiteral("EN?"),
                                            QStringLiteral("*")};
    const QStringList folders = folder.isEmpty() ? SearchFolders() : QStringList{folder};
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty())
            continue;
        const QString pattern = QString(mask).replace(QLatin1String("%s"), candidate);
        for (const QString& f : folders) {
            const QDir dir(f);
            const QStringList found =
                dir.entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
            if (!found.isEmpty()) {
                fileName = QDir::cleanPath(dir.absoluteFilePath(found.first()));
                return true;
            }
        }
    }
    return false;
}

bool TTamLanguage::EnsureLoaded() {
    if (m_translator)
        return true;
    QString fileName;
    if (!FindLanguageFile(m_languageFileMask, m_folder, fileName))
        return false;
    // Loaded from memory once checked, so the file Qt reads is the one that was checked.
    QFile file(fileName);
    if (file.size() > MaxLanguageFileSize || !file.open(QIODevice::ReadOnly))
        return false; // tried again at the next request
    QByteArray data = file.readAll();
    if (!IsValidLanguageFile(data))
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(reinterpret_cast<const uchar*>(data.constData()),
                          static_cast<int>(data.size())))
        return false;
    m_fileData = std::move(data);
    m_translator = std::move(translator);
    m_loadedFile = fileName;
    return true;
}

QString TTamLanguage::GetText(int id, const QString& def) {
    if (!EnsureLoaded())
        return def;
    const QByteArray key = QByteArray::number(id);
    const QString text = m_translator->translate(nullptr, key.constData());
    if (text.isEmpty())
        return def;
    return text.left(MaxTextLength);
}

QString TTamLanguage::GetTextFmt(int id, const QString& def, const QVariantList& args) {
    return Format(GetText(id, def), args, QLocale());
}

void TTamLanguage::TranslateProperty(QObject* component, const char* property) {
    const QVariant current = component->property(property);
    if (!current.isValid() || current.typeId() != QMetaType::QString)
        return;
    const QString value = current.toString().remove(QLatin1Char('&'));
    if (value.isEmpty() || value.startsWith(QLatin1Char('-')))
        return;
    const auto number = ReadLeadingNumber(value);
    if (!number || number->value <= 0 || number->value > std::numeric_limits<int>::max())
        return;
    QString text = GetText(static_cast<int>(number->value));
    if (text.isEmpty())
        text = number->end < value.size() ? value.mid(number->end) : value;
    // A hint shares its text with a caption, but shows an accelerator mark as a plain '&'.
    if (qstrcmp(property, "toolTip") == 0 || qstrcmp(property, "statusTip") == 0)
        text.remove(QLatin1Char('&'));
    component->setProperty(property, text);
}

void TTamLanguage::TranslateComponent(QObject* component) {
    if (component == nullptr || !EnsureLoaded())
        return;
    for (const QString& name : m_translateProperties)
        for (const char* property : QtProperties(name))
            TranslateProperty(component, property);
    for (QObject* child : component->children())
        TranslateComponent(child);
}

QString TTamLanguage::LocaleLanguageCode(const QLocale& locale) {
    static const QHash<QString, QString> codes{
        {"de_DE", "DEU"}, {"de_CH", "DES"}, {"de_AT", "DEA"}, {"en_US", "ENU"}, {"en_GB", "ENG"},
        {"en_AU", "ENA"}, {"en_CA", "ENC"}, {"fr_FR", "FRA"}, {"fr_BE", "FRB"}, {"fr_CA", "FRC"},
        {"fr_CH", "FRS"}, {"it_IT", "ITA"}, {"es_ES", "ESN"}, {"nl_NL", "NLD"}, {"pt_BR", "PTB"},
        {"pt_PT", "PTG"}, {"sv_SE", "SVE"}, {"da_DK", "DAN"}, {"nb_NO", "NOR"}, {"fi_FI", "FIN"},
        {"pl_PL", "PLK"}, {"cs_CZ", "CSY"}, {"hu_HU", "HUN"}, {"ru_RU", "RUS"}, {"ja_JP", "JPN"},
        {"zh_CN", "CHS"}, {"zh_TW", "CHT"}, {"ko_KR", "KOR"}};
    if (locale.language() == QLocale::C)
        return QStringLiteral("ENU");
    const QString name = locale.name(); // "de_DE"
    if (const auto it = codes.constFind(name); it != codes.constEnd())
        return *it;
    const QString language = name.section(QLatin1Char('_'), 0, 0);
    const QString country = name.section(QLatin1Char('_'), 1, 1);
    return (language + country.left(1)).toUpper();
}

QString TTamLanguage::Format(const QString& format, const QVariantList& args,
                             const QLocale& locale) {
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != QLatin1Char('%')) {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        // %[index:][-][width][.precision]type
        qsizetype j = i + 1;
        auto readInt = [&](int& v) {
            const qsizetype start = j;
            v = 0;
            while (j < format.size() && format[j].isDigit() && v < 100000)
                v = v * 10 + (format[j++].unicode() - '0');
            return j > start;
        };
        int n = 0;
        const qsizetype save = j;
        if (readInt(n) && j < format.size() && format[j] == QLatin1Char(':')) {
            next = n;
            ++j;
        } else {
            j = save;
        }
        const bool left = j < format.size() && format[j] == QLatin1Char('-');
        if (left)
            ++j;
        int width = 0;
        readInt(width);
        int precision = -1;
        if (j < format.size() && format[j] == QLatin1Char('.')) {
            ++j;
            readInt(precision);
        }
        if (j >= format.size()) {
            out += format.mid(i);
            break;
        }
        const QChar type = format[j].toLower();
        const QVariant arg = next < args.size() ? args[next] : QVariant();
        ++next;
        QString piece;
        if (type == QLatin1Char('d'))
            piece = QString::number(arg.toLongLong());
        else if (type == QLatin1Char('n'))
            piece = locale.toString(arg.toDouble(), 'f', precision < 0 ? 2 : precision);
        else if (type == QLatin1Char('f'))
            piece = QString::number(arg.toDouble(), 'f', precision < 0 ? 2 : precision)
                        .replace(QLatin1Char('.'), locale.decimalPoint());
        else if (type == QLatin1Char('s'))
            piece = precision < 0 ? arg.toString() : arg.toString().left(precision);
        else {
            out += format.mid(i, j - i + 1); // unknown: kept as written
            i = j;
            continue;
        }
        if (piece.size() < width)
            piece = left ? piece.leftJustified(width) : piece.rightJustified(width);
        out += piece;
        i = j;
    }
    return out;
}
