// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// One mistake the template check found in a layout: where it is and what it is.
///
/// The message is a format with one %s per argument, so that a translated format can be filled
/// with the same arguments; Message() fills the English one.
struct TKelTemplateFinding {
    enum class TKind {
        UnknownTag,
        UnclosedTag,
        InternalTag,
        UnknownAttribute,
        MissingAttribute,
        BadNumber,
        BadDirectory,
        BadDensities,
        MissingLayer,
        MissingWord,
        NoWordsFile,
        BadWordsLine,
        PictureInRow,
        PictureOnPage,
        CellOutsideRow,
    };

    /// Relative to the layout folder, with '/' between folders.
    std::string File;
    /// 1-based; the column counts characters (UTF-8 code points).
    int Line = 0;
    int Column = 0;
    TKind Kind = TKind::UnknownTag;
    /// What fills the message's %s, in order.
    std::vector<std::string> Arguments;
    /// What the author probably meant (a tag, attribute or layer name), or empty.
    std::string Suggestion;

    /// The English format of a kind's message.
    static std::string_view Format(TKind kind);
    /// The English format filled with the arguments.
    std::string Message() const;
    /// The message with the suggestion, if any, in brackets: `... (did you mean "x"?)`.
    std::string Text() const;
    /// How the suggestion is offered, in English.
    static constexpr std::string_view SuggestionFormat = "did you mean \"%s\"?";
};
