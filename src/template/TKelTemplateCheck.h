// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "template/TKelTemplateFinding.h"

class TKelPageDirectory;

/// The template check: finds what a layout's author wrote that a gallery would show as stray
/// text or in the wrong place, without making a gallery.
///
/// It reads the template pages and the words as the layout folder was read (the pages' Source
/// and regions), and reports unknown tags and attributes, bad def_ values, links to missing layers,
/// missing words, and picture tags where a page cannot give them the picture the author meant.
/// Stateless.
class TKelTemplateCheck {
public:
    /// Every finding of the layout folder: the template pages in the directory's order, then
    /// the words file; within a file by position.
    static std::vector<TKelTemplateFinding> Check(const TKelPageDirectory& directory);
};
