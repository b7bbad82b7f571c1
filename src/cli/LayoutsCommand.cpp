// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// kelvo-cli layouts: every layout with its layers and their default settings.

#include <iostream>
#include <string>

#include "CliOptions.h"
#include "LayoutSource.h"
#include "model/TKelLayer.h"
#include "template/TKelPageFile.h"

namespace {

std::string Side(int pixels) {
    return pixels > 0 ? std::to_string(pixels) : "original";
}

// What a layer's pages show, in a template author's terms.
std::string Paging(const TKelLayer& layer) {
    const TKelPageFile* page = layer.PageFile();
    if (!page || !page->AllTags.ContainsPictureTag())
        return "one page without pictures";
    if (!page->IsPicturePage())
        return "a page per picture";
    const std::string cols = layer.ColCount() > 0 ? std::to_string(layer.ColCount()) : "all";
    if (layer.RowCount() == 0 || layer.ColCount() == 0)
        return cols + " per row, all pictures on one page";
    return cols + " x " + std::to_string(layer.RowCount()) + " pictures per page";
}

} // namespace

ExitStatus RunLayouts(const LayoutsOptions& options) {
    LayoutSource source(options.Layouts);
    const TKelLayout* fallback = source.Layouts().GetActiveLayout();
    std::cout << "Layouts in " << source.Folder() << ":\n";
    for (const TKelLayout* layout : source.Layouts()) {
        std::cout << '\n' << layout->Name() << (layout == fallback ? "  (default)" : "") << '\n';
        for (const TKelLayer* layer : layout->Layers()) {
            std::cout << "  " << layer->Name() << ": " << Paging(*layer);
            const TKelPageFile* page = layer->PageFile();
            if (page && page->AllTags.ContainsPictureTag()) {
                std::cout << "; pictures " << Side(layer->PictureWidth()) << " x "
                          << Side(layer->PictureHeight()) << ", quality "
                          << layer->PictureQuality();
                if (!layer->PictureDirectory().empty())
                    std::cout << ", in " << layer->PictureDirectory();
            }
            std::cout << '\n';
        }
    }
    return ExitStatus::Success;
}
