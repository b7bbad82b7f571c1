// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

class QTranslator;

/// The texts of the user interface by their four-digit numbers. Finds the language file
/// (Kelvo_<code>.lng, a compiled id-based Qt translation) that suits the user's language, looks
/// texts up in it, and rewrites the captions, texts and hints of a window and everything it owns.
///
/// The program makes one for its whole run and hands it to every window; tests make their own.
/// A window's captions are written as the number followed by the English default
/// ("1025New project"), so without a language file they read in English.
class TTamLanguage : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        QStringList TranslateProperties READ TranslateProperties WRITE SetTranslateProperties)
    Q_PROPERTY(QString LanguageFileMask READ LanguageFileMask WRITE SetLanguageFileMask)

public:
    /// A text holds at most this many characters; longer ones are cut.
    static constexpr int MaxTextLength = 4096;

    explicit TTamLanguage(QObject* owner = nullptr);
    ~TTamLanguage() override;

    /// The translated properties, by their names in the design: "Caption" (window title, text,
    /// title), "Text" (text, plain text, placeholder) and "Hint" (tool tip and status tip).
    QStringList TranslateProperties() const { return m_translateProperties; }
    void SetTranslateProperties(const QStringList& value) { m_translateProperties = value; }
    /// A file name pattern with one %s for the language code; any folder is dropped.
    QString LanguageFileMask() const { return m_languageFileMask; }
    void SetLanguageFileMask(const QString& value);

    /// Where the language file is looked for; empty means the program's folder (and, for an
    /// installed program, its data folder ../share/kelvo).
    QString Folder() const { return m_folder; }
    void SetFolder(const QString& value) { m_folder = value; }
    /// The three-letter language code the search starts with; by default the one of the user's
    /// locale.
    QString LanguageCode() const { return m_languageCode; }
    void SetLanguageCode(const QString& value) { m_languageCode = value.toUpper(); }

    /// Finds the file for LanguageCode() by mask ("Kelvo_%s.lng", "Kelvo_%s.chm"): the whole
    /// code, its first two letters, those and any one character, EN, EN and any one character,
    /// then any language. Returns false and leaves fileName empty when none exists.
    bool FindLanguageFile(const QString& mask, const QString& folder, QString& fileName) const;

    /// The text with that number, or def when no language file can be loaded or it has no (or
    /// an empty) text of that number.
    QString GetText(int id, const QString& def = QString());
    /// GetText, then formatted with args: %s, %d, %n (with thousands separators of the user's
    /// locale) and %f, each with optional width and .precision, and %% for a percent sign.
    QString GetTextFmt(int id, const QString& def, const QVariantList& args);
    /// Rewrites the translated properties of component and, recursively, of every object it
    /// owns (actions and menus included). Does nothing without a language file.
    void TranslateComponent(QObject* component);

    /// The file loaded, or empty while none is.
    QString LoadedFile() const { return m_loadedFile; }
    /// The two-letter code (ISO 639-1, lower case) of the language the program shows: that of
    /// the loaded file, after the last '_' of its name ("Kelvo_DE.lng" gives "de"), or "en"
    /// when none can be loaded, since the texts are then the English fallbacks. Loads the file
    /// if it is not yet.
    QString ShownLanguage();

    /// The three-letter language code of a locale: DEU, ENU, FRA, ... for the common ones,
    /// otherwise the two-letter language code and the first letter of the country, in capitals.
    static QString LocaleLanguageCode(const QLocale& locale);
    /// Formats like GetTextFmt with the given locale's separators.
    static QString Format(const QString& format, const QVariantList& args,
                          const QLocale& locale = QLocale());
    /// Whether data is a well-formed compiled translation: Qt's reader trusts the lengths and
    /// offsets in the file and crashes on a damaged or truncated one, so files are checked first.
    static bool IsValidLanguageFile(const QByteArray& data);

private:
    bool EnsureLoaded();
    void TranslateProperty(QObject* component, const char* property);
    QStringList SearchFolders() const;

    QByteArray m_fileData; // the loaded file; the translator reads it in place
    std::unique_ptr<QTranslator> m_translator;
    QString m_loadedFile;
    QStringList m_translateProperties;
    QString m_languageFileMask;
    QString m_folder;
    QString m_languageCode;
};
