// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// One template tag found in a text: `#kel_name key=value ...#`.
///
/// Positions are 1-based byte positions in the parsed text, the way template authors and the
/// rest of the generator count: StartPos is the opening `#`, EndPos the closing one. A tag is
/// owned by a TKelTagList; TKelTagRefs lists only refer to it.
class TKelTag {
public:
    /// Attribute keys in lower case with their values, in the order written; a key written twice
    /// is kept twice and the first one wins on lookup.
    std::vector<std::pair<std::string, std::string>> Attributes;
    int StartPos = 0;
    int EndPos = 0;
    /// As written in the template (case kept); the vocabulary is matched in lower case exactly.
    std::string Name;

    /// The attribute's value as an integer, or defaultValue when the key is missing or its
    /// value empty. A value that is not an integer raises EConvertError.
    int GetIntAttribute(std::string_view key, int defaultValue) const;
    /// The attribute's value, or defaultValue when the key is missing or its value empty.
    std::string GetStrAttribute(std::string_view key, std::string_view defaultValue) const;

    /// Shows what the user enters in the project: page title or text, picture title, file
    /// name or comment.
    bool IsContentTag() const;
    /// Shows something of a picture: its title, file name, comment, srcset or size.
    bool IsPictureTag() const;

private:
    const std::string* FindAttribute(std::string_view key) const;
};
