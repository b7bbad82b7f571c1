// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelParser.h"

#include <memory>

#include "base/KelText.h"
#include "template/TKelTag.h"
#include "template/TKelTagList.h"

namespace {

// Splits the tag text `#name key=value ...#` into the tag's name and attributes. Only the
// space character separates; other white space belongs to the name or value it stands in.
void SplitTag(std::string_view tagText, TKelTag& tag) {
    std::string_view rest = kelvo::TrimRightCtl(tagText.substr(1, tagText.size() - 2));
    const auto space = rest.find(' ');
    if (space == std::string_view::npos) {
        tag.Name = std::string(rest);
        return;
    }
    tag.Name = std::string(rest.substr(0, space));
    rest = kelvo::TrimLeftCtl(rest.substr(space + 1));

    while (!rest.empty()) {
        const auto eq = rest.find('=');
        if (eq == std::string_view::npos)
            break; // a trailing word without '=' is not an attribute
        std::string key = kelvo::LowerAZ(kelvo::TrimRightCtl(rest.substr(0, eq)));
        rest = kelvo::TrimLeftCtl(rest.substr(eq + 1));
        std::string_view value = rest;
        const auto end = rest.find(' ');
        if (end == std::string_view::npos) {
            rest = {};
        } else {
            value = rest.substr(0, end);
            rest = kelvo::TrimLeftCtl(rest.substr(end + 1));
        }
        tag.Attributes.emplace_back(std::move(key), std::string(kelvo::TrimRightCtl(value)));
    }
}

} // namespace

void TKelParser::Parse(std::string_view text, TKelTagList& tags) const {
    tags.Clear();
    // Search in a lower-case copy, copy out of the original: positions agree because only
    // A-Z change.
    const std::string lower = kelvo::LowerAZ(text);
    std::size_t pos = 0;
    while (pos < lower.size()) {
        const auto start = lower.find("#kel_", pos);
        if (start == std::string::npos)
            break;
        const auto end = lower.find('#', start + 5);
        // Without a closing '#' there is no '#' left at all, so no later tag either.
        if (end == std::string::npos)
            break;
        auto tag = std::make_unique<TKelTag>();
        tag->StartPos = static_cast<int>(start) + 1;
        tag->EndPos = static_cast<int>(end) + 1;
        SplitTag(text.substr(start, end - start + 1), *tag);
        tags.Add(std::move(tag));
        pos = end + 1;
    }
}

void TKelParser::ReplaceTag(std::string& text, std::string_view replacement,
                            const TKelTag& tag) const {
    const auto start = static_cast<std::size_t>(tag.StartPos - 1);
    const auto count = static_cast<std::size_t>(tag.EndPos) - start;
    text.replace(start, count, replacement);
}

int SearchText(std::string_view pattern, std::string_view text, int start, bool forward) {
    const int last = static_cast<int>(text.size()) - static_cast<int>(pattern.size()) + 1;
    if (start < 1 || start > last)
        return 0;
    const auto from = static_cast<std::size_t>(start - 1);
    const auto found = forward ? text.find(pattern, from) : text.rfind(pattern, from);
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}
