// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>
#include <vector>

#include "template/TKelTemplateFinding.h"

class TKelPageDirectory;

/// The template check: finds what a layout's author wrote that a gallery would show as stray
/// text or in the wrong place, without making a gallery.
///
/// It reads the template pages as the layout was read (their Source and regions) and the words
/// file, and reports unknown tags and attributes, bad def_ values, links to missing layers,
/// missing words, and picture tags where a page cannot give them the picture the author meant.
/// Stateless.
class TKelTemplateCheck {
public:
    /// The layout's words per gallery language, in its root folder.
    static constexpr std::string_view WordsFileName = "kelvo-words.ini";

    /// Every finding of the layout folder: the template pages in the directory's order, then
    /// the words file; within a file by position. A words file that exists but cannot be read
    /// raises EFileError.
    static std::vector<TKelTemplateFinding> Check(const TKelPageDirectory& directory);
};
