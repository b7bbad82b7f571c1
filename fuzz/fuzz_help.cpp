// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The help archive's own reading of what lies inside a help file: the contents and index
// sitemaps (HTML) and the context map (/#IVB with /#STRINGS). The archive container itself is
// read by chmlib, old uninstrumented C that is not fuzzed here. The first byte picks the split
// of the rest into the two context-map objects; the whole input is also read as a sitemap.
#include <cstdint>
#include <string_view>

#include <QByteArray>
#include <QtEndian>

#include "FuzzSupport.h"
#include "language/TChmArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::Bytes(data, size);
    const QByteArray all(input.data(), static_cast<qsizetype>(input.size()));

    for (const TChmSitemapEntry& entry : TChmArchive::ParseSitemap(all))
        if (entry.Name.isEmpty() || entry.Level < 0)
            fuzz::Fail("sitemap entry without a name or with a negative level");

    if (all.isEmpty())
        return 0;
    const qsizetype split = qMin<qsizetype>(static_cast<uchar>(all[0]) * 4, all.size() - 1);
    const QByteArray map = all.mid(1, split);
    const QByteArray strings = all.mid(1 + split);
    // Every number the map names, and a few it may not, must give a name from strings or none.
    QList<qint32> contexts{0, -1, 1, 1000};
    for (qsizetype at = 4; at + 8 <= map.size() && contexts.size() < 64; at += 8)
        contexts.append(qFromLittleEndian<qint32>(map.constData() + at));
    for (const qint32 context : contexts) {
        const auto name = TChmArchive::ContextName(map, strings, context);
        if (!name)
            continue;
        if (name->contains('\0'))
            fuzz::Fail("context name runs past its terminating NUL");
        // The name must be a whole NUL-terminated name (or the unterminated tail) of strings.
        const qsizetype at = strings.indexOf(*name + '\0');
        const bool tail = strings.endsWith(*name);
        if (at < 0 && !tail)
            fuzz::Fail("context name is not a name in /#STRINGS");
    }
    return 0;
}
