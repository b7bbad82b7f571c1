// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

class TKelTag;
class TKelTagList;

/// Finds the template tags of a text and replaces them by values.
///
/// A tag starts with `#kel_` in any letter case and ends at the next `#`; the text between is
/// the name, then optional attributes `key=value` separated by spaces (no quoting). Malformed
/// tag text is never an error: an unterminated `#kel_` is plain text. Stateless; one parser
/// serves a whole generation run.
class TKelParser {
public:
    /// Clears tags, then adds one new tag for every tag of text, in the order of their positions.
    void Parse(std::string_view text, TKelTagList& tags) const;

    /// Replaces the bytes StartPos..EndPos of text by replacement, inserted exactly as given.
    /// Positions of tags behind the replaced one become invalid, so a caller replacing several
    /// tags of one text goes from the last tag to the first.
    void ReplaceTag(std::string& text, std::string_view replacement, const TKelTag& tag) const;
};

/// The 1-based position of the first occurrence of pattern met when walking through text from
/// start (1-based) forwards or backwards, or 0. Only positions where the whole pattern fits are
/// tried; a start outside them yields 0. The comparison is exact: callers pass lower-case text.
int SearchText(std::string_view pattern, std::string_view text, int start, bool forward);
