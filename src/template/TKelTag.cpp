// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "template/TKelTag.h"

#include "base/KelText.h"
#include "template/TKelTagVocabulary.h"

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
    const TKelTagInfo* info = TKelTagVocabulary::Find(Name);
    return info && info->Content;
}

bool TKelTag::IsPictureTag() const {
    const TKelTagInfo* info = TKelTagVocabulary::Find(Name);
    return info && info->Picture;
}
