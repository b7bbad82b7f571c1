// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

/// One tag name of the template vocabulary with what a template author may write with it.
struct TKelTagInfo {
    /// In lower case, as the vocabulary compares names.
    std::string_view Name;
    /// The attribute keys the tag takes, in lower case.
    std::span<const std::string_view> Attributes;
    /// Shows what the user enters in the project (TKelTag::IsContentTag).
    bool Content = false;
    /// Shows something of the picture at the tag's place (TKelTag::IsPictureTag), so it makes a
    /// layer show pictures and means something only where a page repeats its pictures or shows
    /// one picture per page.
    bool Picture = false;
    /// Written by the template reader in place of a repeated region, never by an author.
    bool Internal = false;
};

/// Every tag name Kelvo knows, the one list that the tag predicates, the template check and the
/// help's reference follow. A static table; nothing to create.
class TKelTagVocabulary {
public:
    static std::span<const TKelTagInfo> All();
    /// The entry of a name written exactly in lower case, or nullptr.
    static const TKelTagInfo* Find(std::string_view name);
};
