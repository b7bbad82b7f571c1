// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelTagVocabulary.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::string_view, 1> LayerKey{"layer"};
constexpr std::array<std::string_view, 1> NameKey{"name"};
constexpr std::array<std::string_view, 7> PictureDefaults{
    "def_cols",    "def_rows",      "def_width",    "def_height",
    "def_quality", "def_directory", "def_densities"};

const std::array<TKelTagInfo, 17> Tags{{
    {"kel_page_title", {}, true, false, false},
    {"kel_page_text", {}, true, false, false},
    {"kel_page_previous", {}, false, false, false},
    {"kel_page_next", {}, false, false, false},
    {"kel_page_filename", LayerKey, false, false, false},
    {"kel_page_overview", LayerKey, false, false, false},
    {"kel_picture_title", {}, true, true, false},
    {"kel_picture_filename", PictureDefaults, true, true, false},
    {"kel_picture_comment", {}, true, true, false},
    {"kel_picture_srcset", {}, false, true, false},
    {"kel_picture_width", {}, false, true, false},
    {"kel_picture_height", {}, false, true, false},
    {"kel_word", NameKey, false, false, false},
    {"kel_gallery_language", {}, false, false, false},
    {"kel_internal_table", {}, false, false, true},
    {"kel_internal_row", {}, false, false, true},
    {"kel_internal_cell", {}, false, false, true},
}};

} // namespace

std::span<const TKelTagInfo> TKelTagVocabulary::All() {
    return Tags;
}

const TKelTagInfo* TKelTagVocabulary::Find(std::string_view name) {
    const auto it = std::find_if(Tags.begin(), Tags.end(),
                                 [name](const TKelTagInfo& tag) { return tag.Name == name; });
    return it == Tags.end() ? nullptr : &*it;
}
