// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelTemplateCheck.h"

#include <algorithm>
#include <string>

#include "base/FileUtils.h"
#include "base/KelText.h"
#include "template/TKelPageDirectory.h"
#include "template/TKelParser.h"
#include "template/TKelTag.h"
#include "template/TKelTagList.h"
#include "template/TKelTagVocabulary.h"
#include "template/TKelWords.h"

namespace {

using TKind = TKelTemplateFinding::TKind;

// The longest name or value a message quotes; a tag without its closing '#' runs to the next
// '#' of the page, which may be far.
constexpr std::size_t MaxShown = 40;

struct TRange {
    const char* Key;
    int Low;
    int High;
};
// What the layout dialog accepts for the settings the def_ attributes preset.
constexpr TRange NumberDefaults[] = {{"def_cols", 0, 100},
                                     {"def_rows", 0, 100},
                                     {"def_width", 0, 99999},
                                     {"def_height", 0, 99999},
                                     {"def_quality", 1, 100}};
constexpr int MaxDensity = 4;

// Line and column (1-based, the column in code points) of byte positions of one text.
class TLines {
public:
    explicit TLines(std::string_view text)
        : m_text(text) {
        m_starts.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool lineFeed = text[i] == '\n';
            const bool loneReturn =
                text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n');
            if (lineFeed || loneReturn)
                m_starts.push_back(i + 1);
        }
    }

    // pos is a 1-based byte position.
    std::pair<int, int> Position(int pos) const {
        const auto offset = static_cast<std::size_t>(std::max(pos, 1) - 1);
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
        const std::size_t start = *(next - 1);
        int column = 1;
        for (std::size_t at = start; at < offset && at < m_text.size(); ++column)
            kelvo::NextCodePoint(m_text, at);
        return {static_cast<int>(next - m_starts.begin()), column};
    }

private:
    std::string_view m_text;
    std::vector<std::size_t> m_starts;
};

// Optimal string alignment distance: edits, with a swap of two neighbours counting as one.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// The candidate closest to written, when it is close enough to be what was meant: at most three
// edits and at most one edit per three characters of the candidate. Empty otherwise.
template <class Names>
std::string Nearest(std::string_view written, const Names& candidates) {
    constexpr std::size_t MaxEdits = 3;
    std::string best;
    std::size_t bestDistance = MaxEdits + 1;
    for (const auto& candidate : candidates) {
        const std::string_view name = candidate;
        const std::size_t gap = name.size() > written.size() ? name.size() - written.size()
                                                             : written.size() - name.size();
        if (gap >= bestDistance)
            continue; // cannot be closer, and long texts would cost much
        const std::size_t distance = Distance(written, name);
        if (distance < bestDistance && distance * 3 <= name.size()) {
            best = std::string(name);
            bestDistance = distance;
        }
    }
    return best;
}

// A name or value as a message quotes it: control characters escaped, long ones cut.
std::string Shown(std::string_view text) {
    std::string shown;
    std::size_t pos = 0;
    for (std::size_t count = 0; pos < text.size() && count < MaxShown; ++count) {
        const std::size_t start = pos;
        const char32_t c = kelvo::NextCodePoint(text, pos);
        if (c == U'\n')
            shown += "\\n";
        else if (c == U'\r')
            shown += "\\r";
        else if (c == U'\t')
            shown += "\\t";
        else if (c < 32)
            shown += '?';
        else
            shown += text.substr(start, pos - start);
    }
    if (pos < text.size())
        shown += "...";
    return shown;
}

// Checks the tags of one template page.
class TPageCheck {
public:
    TPageCheck(const TKelPageFile& page, const TKelPageDirectory& directory,
               std::vector<TKelTemplateFinding>& findings)
        : m_page(page)
        , m_directory(directory)
        , m_words(directory.Words)
        , m_findings(findings)
        , m_file(directory.RelativePath(page.FileName))
        , m_lines(page.Source) {}

    void Run() {
        // The tags as they stand in the file, so that positions are the author's.
        TKelTagList tags;
        TKelParser().Parse(m_page.Source, tags);
        for (const TKelTag* tag : tags)
            CheckTag(*tag);
        CheckUnclosed(tags.Count() > 0 ? tags.Items(tags.Count() - 1)->EndPos : 0);
        CheckCell(tags);
    }

private:
    TKelTemplateFinding& Add(int pos, TKind kind, std::vector<std::string> arguments,
                             std::string suggestion = {}) {
        const auto [line, column] = m_lines.Position(pos);
        return m_findings.emplace_back(TKelTemplateFinding{
            m_file, line, column, kind, std::move(arguments), std::move(suggestion)});
    }

    void CheckTag(const TKelTag& tag) {
        const std::string lower = kelvo::LowerAZ(tag.Name);
        const TKelTagInfo* info = TKelTagVocabulary::Find(tag.Name);
        const TKelTagInfo* folded = TKelTagVocabulary::Find(lower);
        if (folded && folded->Internal) {
            Add(tag.StartPos, TKind::InternalTag, {Shown(tag.Name)});
            return;
        }
        if (!info) {
            Add(tag.StartPos, TKind::UnknownTag, {Shown(tag.Name)}, Suggest(lower));
            return;
        }
        CheckAttributes(tag, *info);
        if (info->Picture)
            CheckPicturePlace(tag);
    }

    // What an unknown name probably meant: the name in lower case, a name a few edits away, or
    // a name followed by something that is no part of a name (a '#' or a space forgotten).
    static std::string Suggest(const std::string& lower) {
        std::vector<std::string_view> names;
        for (const TKelTagInfo& info : TKelTagVocabulary::All()) {
            if (!info.Internal)
                names.push_back(info.Name);
        }
        if (std::find(names.begin(), names.end(), lower) != names.end())
            return lower;
        std::string nearest = Nearest(lower, names);
        if (!nearest.empty())
            return nearest;
        const auto end = std::find_if(lower.begin(), lower.end(), [](char c) {
            return !((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
        });
        const std::string_view prefix(lower.data(), static_cast<std::size_t>(end - lower.begin()));
        return std::find(names.begin(), names.end(), prefix) != names.end() ? std::string(prefix)
                                                                            : std::string();
    }

    // The position of each attribute's key in the file, in the order written.
    std::vector<int> AttributePositions(const TKelTag& tag) const {
        const std::string text =
            kelvo::LowerAZ(std::string_view(m_page.Source)
                               .substr(static_cast<std::size_t>(tag.StartPos - 1),
                                       static_cast<std::size_t>(tag.EndPos - tag.StartPos + 1)));
        std::vector<int> positions;
        std::size_t from = 1 + tag.Name.size();
        for (const auto& [key, value] : tag.Attributes) {
            const std::size_t at = text.find(key, from);
            if (at == std::string::npos) {
                positions.push_back(tag.StartPos);
                continue;
            }
            positions.push_back(tag.StartPos + static_cast<int>(at));
            from = at + key.size();
        }
        return positions;
    }

    void CheckAttributes(const TKelTag& tag, const TKelTagInfo& info) {
        const std::vector<int> positions = AttributePositions(tag);
        for (std::size_t i = 0; i < tag.Attributes.size(); ++i) {
            const auto& [key, value] = tag.Attributes[i];
            const int pos = positions[i];
            if (std::find(info.Attributes.begin(), info.Attributes.end(), key) ==
                info.Attributes.end()) {
                Add(pos, TKind::UnknownAttribute, {tag.Name, Shown(key)},
                    Nearest(key, info.Attributes));
            } else if (key == "layer") {
                CheckLayer(pos, value);
            } else if (key == "def_directory") {
                if (!kelvo::IsSafeSubFolder(value))
                    Add(pos, TKind::BadDirectory, {key, Shown(value)});
            } else if (key == "def_densities") {
                CheckDensities(pos, key, value);
            } else {
                CheckNumber(pos, key, value);
            }
        }
        if (tag.Name == "kel_word")
            CheckWord(tag);
    }

    void CheckNumber(int pos, const std::string& key, const std::string& value) {
        if (value.empty())
            return; // the default
        for (const TRange& range : NumberDefaults) {
            if (key != range.Key)
                continue;
            const auto number = kelvo::TryStrToInt(value);
            if (!number || *number < range.Low || *number > range.High)
                Add(pos, TKind::BadNumber,
                    {key, std::to_string(range.Low), std::to_string(range.High), Shown(value)});
        }
    }

    void CheckDensities(int pos, const std::string& key, const std::string& value) {
        if (value.empty())
            return;
        std::string_view rest = value;
        bool valid = true;
        while (valid) {
            const std::size_t comma = rest.find(',');
            const auto number = kelvo::TryStrToInt(rest.substr(0, comma));
            valid = number && *number >= 1 && *number <= MaxDensity;
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
        if (!valid)
            Add(pos, TKind::BadDensities, {key, Shown(value)});
    }

    void CheckLayer(int pos, const std::string& value) {
        if (value.empty())
            return; // the page's own layer
        std::vector<std::string> names;
        for (int i = 0; i < m_directory.PageFiles.Count(); ++i) {
            const std::string name = m_directory.PageFiles.Items(i)->GetName();
            if (kelvo::SameTextAZ(name, value))
                return;
            names.push_back(kelvo::LowerAZ(name));
        }
        // Quotation marks are part of a value, a mistake made easily in an HTML attribute.
        std::string bare = kelvo::LowerAZ(value);
        std::erase_if(bare, [](char c) { return c == '"' || c == '\''; });
        Add(pos, TKind::MissingLayer, {Shown(value)}, Nearest(bare, names));
    }

    void CheckWord(const TKelTag& tag) {
        const std::string key = tag.GetStrAttribute("name", "");
        if (key.empty()) {
            Add(tag.StartPos, TKind::MissingAttribute, {tag.Name, "name"});
            return;
        }
        if (m_words.Languages().empty()) {
            Add(tag.StartPos, TKind::NoWordsFile, {Shown(key), std::string(TKelWords::FileName)});
            return;
        }
        std::string missing;
        for (const std::string& language : m_words.Languages()) {
            if (!m_words.Contains(key, language))
                missing += (missing.empty() ? "" : ", ") + language;
        }
        if (missing.empty())
            return;
        const std::vector<std::string> known = m_words.Keys();
        const bool nowhere = !std::binary_search(known.begin(), known.end(), key);
        Add(tag.StartPos, TKind::MissingWord, {Shown(key), missing},
            nowhere ? Nearest(key, known) : std::string());
    }

    // A picture tag shows the picture at its place. Where a page repeats a picture cell, the
    // places outside the cell are filled once per row (the row region) or once per page (the
    // rest of the page) with the first picture there. In the row that is never what was meant:
    // such a tag beside the picture cell looks as if it went with each picture. Outside the
    // table it is a mistake only when the page has previous/next links: a page holding all
    // pictures may well show the gallery's first one as its cover. Pages without a picture
    // cell show one picture each, so every place there is right.
    void CheckPicturePlace(const TKelTag& tag) {
        if (!m_page.IsPicturePage() || m_page.CellSpan.Contains(tag.StartPos))
            return;
        if (m_page.RowSpan.Contains(tag.StartPos))
            Add(tag.StartPos, TKind::PictureInRow, {tag.Name});
        else if (m_page.AllTags.FindTag("kel_page_previous") ||
                 m_page.AllTags.FindTag("kel_page_next"))
            Add(tag.StartPos, TKind::PictureOnPage, {tag.Name});
    }

    // Parsing stops at a "#kel_" that no '#' follows, so there is at most one, behind the last
    // tag.
    void CheckUnclosed(int lastEnd) {
        const std::string lower = kelvo::LowerAZ(m_page.Source);
        const std::size_t at = lower.find("#kel_", static_cast<std::size_t>(lastEnd));
        if (at == std::string::npos)
            return;
        const std::string_view rest = std::string_view(m_page.Source).substr(at);
        Add(static_cast<int>(at) + 1, TKind::UnclosedTag,
            {Shown(kelvo::TrimRightCtl(rest.substr(0, rest.find_first_of("\r\n"))))});
    }

    // Without a row around it the cell is repeated only for the first row of each page, while
    // the page count reckons with all rows: the other rows' pictures appear nowhere.
    void CheckCell(const TKelTagList& tags) {
        if (!m_page.IsPicturePage() || m_page.RowSpan.First > 0)
            return;
        int pos = m_page.CellSpan.First;
        for (const TKelTag* tag : tags) {
            if (tag->Name == "kel_picture_filename" && m_page.CellSpan.Contains(tag->StartPos)) {
                pos = tag->StartPos;
                break;
            }
        }
        Add(pos, TKind::CellOutsideRow, {});
    }

    const TKelPageFile& m_page;
    const TKelPageDirectory& m_directory;
    const TKelWords& m_words;
    std::vector<TKelTemplateFinding>& m_findings;
    std::string m_file;
    TLines m_lines;
};

} // namespace

std::vector<TKelTemplateFinding> TKelTemplateCheck::Check(const TKelPageDirectory& directory) {
    std::vector<TKelTemplateFinding> findings;
    for (int i = 0; i < directory.PageFiles.Count(); ++i) {
        const std::size_t first = findings.size();
        TPageCheck(*directory.PageFiles.Items(i), directory, findings).Run();
        std::stable_sort(findings.begin() + static_cast<std::ptrdiff_t>(first), findings.end(),
                         [](const TKelTemplateFinding& a, const TKelTemplateFinding& b) {
                             return std::pair(a.Line, a.Column) < std::pair(b.Line, b.Column);
                         });
    }
    for (const int line : directory.Words.IgnoredLines())
        findings.push_back(
            {std::string(TKelWords::FileName), line, 1, TKind::BadWordsLine, {}, {}});
    return findings;
}
