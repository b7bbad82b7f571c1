// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

/// The words a layout shows in its pages (navigation, headings), per language, as read from
/// the layout's words file. Owned by the TKelPageDirectory of the layout.
///
/// The file is UTF-8 text in sections named by language code, each with lines "key = text":
///   [en]
///   previous = Previous page
///   [de]
///   previous = Vorige Seite
/// Lines starting with '#' or ';' are comments; blank lines and lines without '=' are ignored;
/// spaces around keys and texts are cut. Section names are taken in lower case, keys exactly.
class TKelWords {
public:
    /// The file a layout keeps its words in, in the layout's own folder; never copied into a
    /// gallery.
    static constexpr std::string_view FileName = "kelvo-words.ini";

    /// Replaces the words by those of text (see above); a UTF-8 byte order mark is skipped.
    void LoadFromText(std::string_view text);

    /// The text of key in language, else in English, else key itself.
    std::string Word(const std::string& key, const std::string& language) const;
    /// The language codes that have a section, in the file's order.
    const std::vector<std::string>& Languages() const { return m_languages; }
    /// Whether language's section has key, without falling back.
    bool Contains(const std::string& key, const std::string& language) const;
    /// Every key of every language, each once.
    std::vector<std::string> Keys() const;
    /// The 1-based numbers of the lines that mean nothing: neither blank, a comment, a section
    /// nor "key = text" below a section.
    const std::vector<int>& IgnoredLines() const { return m_ignoredLines; }

private:
    std::vector<std::string> m_languages;
    std::map<std::string, std::map<std::string, std::string>> m_words;
    std::vector<int> m_ignoredLines;
};
