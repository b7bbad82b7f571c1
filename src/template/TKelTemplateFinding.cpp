// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelTemplateFinding.h"

std::string_view TKelTemplateFinding::Format(TKind kind) {
    switch (kind) {
    case TKind::UnknownTag:
        return "unknown tag \"%s\"";
    case TKind::UnclosedTag:
        return "\"%s\" has no closing \"#\"";
    case TKind::InternalTag:
        return "\"%s\" is written by Kelvo itself, never by a template";
    case TKind::UnknownAttribute:
        return "%s has no attribute \"%s\"";
    case TKind::MissingAttribute:
        return "%s needs the attribute %s";
    case TKind::BadNumber:
        return "%s must be a whole number from %s to %s, not \"%s\"";
    case TKind::BadDirectory:
        return "%s must be a folder inside the gallery, not \"%s\"";
    case TKind::BadDensities:
        return "%s must list pixel densities from 1 to 4 separated by commas, such as 1,2, not "
               "\"%s\"";
    case TKind::MissingLayer:
        return "there is no layer \"%s\" in this layout";
    case TKind::MissingWord:
        return "the word \"%s\" is missing for %s";
    case TKind::NoWordsFile:
        return "the word \"%s\" needs the words file %s with a section per language";
    case TKind::BadWordsLine:
        return "this line is neither \"[language]\", nor \"key = text\" below a language, nor a "
               "comment";
    case TKind::PictureInRow:
        return "%s stands in the table row but outside the picture cell, so it shows only the "
               "first picture of each row";
    case TKind::PictureOnPage:
        return "%s stands outside the picture cell, so it shows only the first picture of each "
               "page";
    case TKind::CellOutsideRow:
        return "the picture cell is not inside a table row (<tr>...</tr>), so each page shows "
               "only its first row of pictures";
    }
    return {};
}

namespace {

std::string Fill(std::string_view format, const std::vector<std::string>& arguments) {
    std::string text;
    std::size_t argument = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 2, "%s") == 0 && argument < arguments.size()) {
            text += arguments[argument++];
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

} // namespace

std::string TKelTemplateFinding::Message() const {
    return Fill(Format(Kind), Arguments);
}

std::string TKelTemplateFinding::Text() const {
    if (Suggestion.empty())
        return Message();
    return Message() + " (" + Fill(SuggestionFormat, {Suggestion}) + ")";
}
