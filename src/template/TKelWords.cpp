// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelWords.h"

#include <algorithm>

#include "base/KelText.h"

namespace {

std::string_view Trim(std::string_view text) {
    return kelvo::TrimRightCtl(kelvo::TrimLeftCtl(text));
}

} // namespace

void TKelWords::LoadFromText(std::string_view text) {
    m_languages.clear();
    m_words.clear();
    m_ignoredLines.clear();
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::map<std::string, std::string>* section = nullptr;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string language = kelvo::LowerAZ(Trim(line.substr(1, line.size() - 2)));
            if (!m_words.contains(language))
                m_languages.push_back(language);
            section = &m_words[language];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (section && equals != std::string_view::npos)
            (*section)[std::string(Trim(line.substr(0, equals)))] =
                std::string(Trim(line.substr(equals + 1)));
        else
            m_ignoredLines.push_back(number);
    }
}

bool TKelWords::Contains(const std::string& key, const std::string& language) const {
    const auto section = m_words.find(language);
    return section != m_words.end() && section->second.contains(key);
}

std::vector<std::string> TKelWords::Keys() const {
    std::vector<std::string> keys;
    for (const auto& [language, words] : m_words) {
        for (const auto& [key, word] : words)
            keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

std::string TKelWords::Word(const std::string& key, const std::string& language) const {
    for (const std::string& each : {language, std::string("en")}) {
        const auto section = m_words.find(each);
        if (section == m_words.end())
            continue;
        if (const auto word = section->second.find(key); word != section->second.end())
            return word->second;
    }
    return key;
}
