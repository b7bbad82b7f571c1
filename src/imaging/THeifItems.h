// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

/// The image items of a HEIF file's meta box, read only as far as telling what each will be
/// decoded at: its type, its declared size (ispe), its decoder configuration and its data.
/// Whatever does not parse is left out (libheif has accepted the file before this reads it).
/// Holds views into the file's bytes, which must outlive it.
class THeifItems {
public:
    /// A box or item type, its four characters big-endian ("hvc1" is 0x68766331).
    static constexpr std::uint32_t Code(const char (&code)[5]) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[0])) << 24 |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[1])) << 16 |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[2])) << 8 |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[3]));
    }

    struct TItem {
        std::uint32_t Type = 0;
        /// The declared size, the smallest per side when several ispe are given; -1 without.
        std::int64_t Width = -1;
        std::int64_t Height = -1;
        /// The bodies of its hvcC and av1C properties.
        std::vector<std::string_view> HevcConfigs;
        std::vector<std::string_view> Av1Configs;
        /// Its data: the extents in order that libheif can read.
        std::vector<std::string_view> Data;
    };

    /// Raises EImageError when the file lists more than 65536 data extents.
    explicit THeifItems(std::string_view file);

    /// Item id and the items libheif may decode with it: the pictures it is derived from (grid
    /// tiles, overlay layers), its auxiliary pictures (alpha, depth), and theirs in turn, each
    /// once.
    std::vector<const TItem*> DecodedWith(std::uint32_t id) const;

private:
    void ReadItemInfos(std::string_view iinf);
    void ReadProperties(std::string_view iprp);
    /// idat runs from the body of the idat box to the end of the file; idatBoxBytes is the
    /// whole box, header included.
    void ReadLocations(std::string_view iloc, std::string_view file, std::string_view idat,
                       std::size_t idatBoxBytes);
    void ReadReferences(std::string_view iref);

    std::map<std::uint32_t, TItem> m_items;
    /// For each item, the items decoded with it: its derivation inputs (dimg) and the
    /// auxiliary pictures that name it as their master (auxl).
    std::multimap<std::uint32_t, std::uint32_t> m_decodedWith;
};
