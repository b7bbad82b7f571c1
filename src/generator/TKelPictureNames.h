// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <unordered_map>

class TKelLayer;
class TKelLayout;
class TKelPicture;
class TKelPictureRefs;

/// The names under which a gallery run writes its pictures, before the layer's name is added:
/// the source file's name with the extension ".jpg" ("Beach.png" gives "Beach.jpg").
///
/// Two pictures of one run may not share a generated file: when a name equals an earlier one
/// in link form and without regard to letter case ("a b.jpg" and "a_b.jpg", or the same name in
/// two folders), the later picture gets the first free numbered name ("a b_2.jpg"). Pictures
/// without a collision keep their plain name. Both generators build the table from the same
/// list, so pages and picture files always agree.
class TKelPictureNames {
public:
    /// Assigns the names for the pictures of list, in order.
    void Assign(const TKelPictureRefs& list);
    /// The name for picture: its assigned one, or the plain name for a picture not in the list.
    std::string Name(const TKelPicture& picture) const;

    /// The full path of the generated picture of picture for layer (the placeholder
    /// "dummy.bmp" when picture is null), before the link form: outDir, the layer's picture
    /// folder (else its template's folder in the layout), then the name with "_<layer name>"
    /// before its extension: "<outDir>pics/Beach_index.jpg". A density above 1 puts the
    /// picture into the sub-folder DensityFolder of that folder under the same name:
    /// "<outDir>pics/2x/Beach_index.jpg".
    std::string PictureFileName(const TKelLayout& layout, const TKelLayer& layer,
                                const TKelPicture* picture, const std::string& outDir,
                                int density = 1) const;

    /// "2x" for density 2. Each density has a folder of its own rather than a suffix to the
    /// name: a suffix such as "@2x" turns into "_2x" in link form and could then equal the 1x
    /// name of a source called "Beach_2x". In a folder of its own a picture keeps the 1x name,
    /// so it can equal no 1x name and no other density's (those are in other folders), and is
    /// as stable from run to run as the 1x name.
    static std::string DensityFolder(int density);

    /// The plain name: the file name without folder, extension replaced by ".jpg" (appended
    /// when there is none). A backslash, which is no separator here, becomes '_' so that it
    /// cannot turn into a folder in a link.
    static std::string PlainName(const std::string& fileName);

private:
    std::unordered_map<const TKelPicture*, std::string> m_names;
};
