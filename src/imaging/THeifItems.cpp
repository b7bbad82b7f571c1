// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "imaging/THeifItems.h"

#include <algorithm>
#include <set>

#include "base/KelErrors.h"
#include "imaging/TByteReader.h"

namespace {

// Data extents read in all; real files have one or a few for each picture.
constexpr std::int64_t MaxExtents = 1 << 16;

// The next box of in: its type and body, and when asked the whole box, header included. False
// at the end, or at a box that does not fit.
bool NextBox(TByteReader& in, std::uint32_t& type, std::string_view& body,
             std::string_view* whole = nullptr) {
    const std::string_view rest = in.Rest();
    if (rest.empty())
        return false;
    std::uint64_t size = in.U32();
    type = in.U32();
    std::uint64_t header = 8;
    if (size == 1) {
        size = in.Read(8);
        header = 16;
    } else if (size == 0) {
        size = rest.size();
    }
    if (!in.Ok() || size < header || size > rest.size())
        return false;
    body = in.Take(static_cast<std::size_t>(size - header));
    if (whole)
        *whole = rest.substr(0, static_cast<std::size_t>(size));
    return true;
}

// The body of the first child box of the given type in a container's body, and when asked the
// whole box; empty when there is none.
std::string_view ChildBox(std::string_view container, std::uint32_t wanted,
                          std::string_view* whole = nullptr) {
    TByteReader in(container);
    std::uint32_t type = 0;
    std::string_view body;
    while (NextBox(in, type, body, whole))
        if (type == wanted)
            return body;
    if (whole)
        *whole = {};
    return {};
}

// An iloc offset, length, base offset or index field. libheif reads those of 4 or 8 bytes and
// takes any other size as none, 0, so a size of 1 or 2 bytes moves nothing.
std::uint64_t LocationField(TByteReader& in, std::size_t bytes) {
    return bytes == 4 || bytes == 8 ? in.Read(bytes) : 0;
}

// The version of a full box, its flags skipped.
std::uint32_t FullBoxVersion(TByteReader& in) {
    const std::uint32_t version = in.U8();
    in.Read(3);
    return version;
}

} // namespace

THeifItems::THeifItems(std::string_view file) {
    std::string_view meta = ChildBox(file, Code("meta"));
    if (meta.size() < 4)
        return;
    meta.remove_prefix(4);
    ReadItemInfos(ChildBox(meta, Code("iinf")));
    ReadProperties(ChildBox(meta, Code("iprp")));
    std::string_view idat;
    const std::string_view idatBody = ChildBox(meta, Code("idat"), &idat);
    ReadLocations(ChildBox(meta, Code("iloc")), file,
                  idat.empty()
                      ? std::string_view()
                      : file.substr(static_cast<std::size_t>(idatBody.data() - file.data())),
                  idat.size());
    ReadReferences(ChildBox(meta, Code("iref")));
}

void THeifItems::ReadItemInfos(std::string_view iinf) {
    TByteReader in(iinf);
    in.U16or32(FullBoxVersion(in) != 0);
    std::uint32_t type = 0;
    std::string_view body;
    while (NextBox(in, type, body)) {
        TByteReader infe(body);
        const std::uint32_t version = FullBoxVersion(infe);
        // Only version 2 and later name the item's type.
        if (type != Code("infe") || version < 2)
            continue;
        const std::uint32_t id = infe.U16or32(version >= 3);
        infe.U16();
        const std::uint32_t itemType = infe.U32();
        if (infe.Ok())
            m_items.try_emplace(id).first->second.Type = itemType;
    }
}

void THeifItems::ReadProperties(std::string_view iprp) {
    std::vector<std::pair<std::uint32_t, std::string_view>> properties;
    TByteReader ipco(ChildBox(iprp, Code("ipco")));
    std::uint32_t type = 0;
    std::string_view body;
    while (NextBox(ipco, type, body))
        properties.emplace_back(type, body);

    // Every ipma box counts; an association names a property by its place in ipco, from 1.
    TByteReader boxes(iprp);
    while (NextBox(boxes, type, body)) {
        if (type != Code("ipma"))
            continue;
        TByteReader in(body);
        const std::uint32_t version = in.U8();
        const bool wideIndex = (in.Read(3) & 1) != 0;
        for (std::uint32_t entries = in.U32(); entries > 0 && in.Ok(); --entries) {
            const std::uint32_t id = in.U16or32(version >= 1);
            const std::uint32_t count = in.U8();
            const auto found = m_items.find(id);
            for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
                const std::uint32_t index = wideIndex ? in.U16() & 0x7FFF : in.U8() & 0x7F;
                if (!in.Ok() || found == m_items.end() || index == 0 || index > properties.size())
                    continue;
                TItem& item = found->second;
                const auto& [propertyType, property] = properties[index - 1];
                if (propertyType == Code("hvcC"))
                    item.HevcConfigs.push_back(property);
                else if (propertyType == Code("av1C"))
                    item.Av1Configs.push_back(property);
                if (propertyType != Code("ispe"))
                    continue;
                TByteReader ispe(property);
                FullBoxVersion(ispe);
                const std::int64_t width = ispe.U32();
                const std::int64_t height = ispe.U32();
                if (!ispe.Ok())
                    continue;
                item.Width = item.Width < 0 ? width : std::min(item.Width, width);
                item.Height = item.Height < 0 ? height : std::min(item.Height, height);
            }
        }
    }
}

void THeifItems::ReadLocations(std::string_view iloc, std::string_view file, std::string_view idat,
                               std::size_t idatBoxBytes) {
    // Read field by field as libheif 1.15 reads them, so that the data checked is the data it
    // decodes: it reads an extent index only from version 2 on, and a construction method from
    // version 1 on.
    TByteReader in(iloc);
    const std::uint32_t version = FullBoxVersion(in);
    const std::uint32_t sizes = in.U16();
    const std::size_t offsetSize = sizes >> 12;
    const std::size_t lengthSize = sizes >> 8 & 15;
    const std::size_t baseOffsetSize = sizes >> 4 & 15;
    const std::size_t indexSize = version >= 2 ? sizes & 15 : 0;
    std::int64_t count = 0;
    for (std::uint32_t items = in.U16or32(version >= 2); items > 0 && in.Ok(); --items) {
        const std::uint32_t id = in.U16or32(version >= 2);
        const std::uint32_t method = version >= 1 ? in.U16() & 15 : 0;
        in.U16();
        const std::uint64_t base = LocationField(in, baseOffsetSize);
        const auto found = m_items.find(id);
        for (std::uint32_t extents = in.U16(); extents > 0 && in.Ok(); --extents) {
            // Extents of 0-byte fields take no room, so their count alone bounds the work.
            if (++count > MaxExtents)
                throw EImageError("The file has too many data extents");
            LocationField(in, indexSize);
            const std::uint64_t offset = base + LocationField(in, offsetSize);
            const std::uint64_t length = LocationField(in, lengthSize);
            // Offsets into the file, or into idat, where libheif lets an extent run on past the
            // box's body by as many bytes as its header has. An extent that does not fit fails
            // the item's decode in libheif, and one of 0 bytes adds nothing.
            const std::string_view source = method == 0 ? file : method == 1 ? idat : "";
            const std::uint64_t limit = method == 1 ? idatBoxBytes : source.size();
            if (!in.Ok() || found == m_items.end() || offset < base || length == 0 ||
                offset > limit || length > limit - offset || offset + length > source.size())
                continue;
            found->second.Data.push_back(
                source.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)));
        }
    }
}

void THeifItems::ReadReferences(std::string_view iref) {
    // Read as libheif reads them: one after the other, whatever sizes their headers give, so
    // that a forged size cannot hide a reference that libheif follows.
    TByteReader in(iref);
    const bool wideIds = FullBoxVersion(in) != 0;
    while (in.Ok() && !in.Rest().empty()) {
        const std::uint32_t size = in.U32();
        const std::uint32_t type = in.U32();
        if (size == 1)
            in.Read(8);
        if (type == Code("uuid"))
            in.Take(16);
        const std::uint32_t from = in.U16or32(wideIds);
        for (std::uint32_t count = in.U16(); count > 0; --count) {
            const std::uint32_t to = in.U16or32(wideIds);
            if (!in.Ok())
                break;
            if (type == Code("dimg"))
                m_decodedWith.emplace(from, to);
            else if (type == Code("auxl"))
                m_decodedWith.emplace(to, from);
        }
    }
}

std::vector<const THeifItems::TItem*> THeifItems::DecodedWith(std::uint32_t id) const {
    std::set<std::uint32_t> reached{id};
    std::vector<std::uint32_t> open{id};
    while (!open.empty()) {
        const auto [first, last] = m_decodedWith.equal_range(open.back());
        open.pop_back();
        for (auto link = first; link != last; ++link)
            if (reached.insert(link->second).second)
                open.push_back(link->second);
    }
    std::vector<const TItem*> items;
    for (const std::uint32_t reachedId : reached)
        if (const auto found = m_items.find(reachedId); found != m_items.end())
            items.push_back(&found->second);
    return items;
}
