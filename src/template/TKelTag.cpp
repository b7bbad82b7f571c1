// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelTag.h"

#include <algorithm>
#include <array>

#include "base/KelText.h"

const std::string* TKelTag::FindAttribute(std::string_view key) const {
    for (const auto& [k, value] : Attributes) {
        if (kelvo::SameTextAZ(k, key))
            return &value;
    }
    return nullptr;
}

int TKelTag::GetIntAttribute(std::string_view key, int defaultValue) const {
    const std::string* value = FindAttribute(key);
    if (!value || value->empty())
        return defaultValue;
    return kelvo::StrToInt(*value);
}

std::string TKelTag::GetStrAttribute(std::string_view key, std::string_view defaultValue) const {
    const std::string* value = FindAttribute(key);
    if (!value || value->empty())
        return std::string(defaultValue);
    return *value;
}

bool TKelTag::IsContentTag() const {
    static constexpr std::array<std::string_view, 5> names = {
        "kel_page_title", "kel_page_text", "kel_picture_title", "kel_picture_filename",
        "kel_picture_comment"};
    for (const auto n : names) {
        if (Name == n)
            return true;
    }
    return false;
}

bool TKelTag::IsPictureTag() const {
    static constexpr std::array<std::string_view, 6> names = {
        "kel_picture_title",  "kel_picture_filename", "kel_picture_comment",
        "kel_picture_srcset", "kel_picture_width",    "kel_picture_height"};
    return std::find(names.begin(), names.end(), Name) != names.end();
}
