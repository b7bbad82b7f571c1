// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the language files: GetTextFmt formats a translated message with %s, %d, %n and
// %f directives (widths, precisions, argument indexes) that the translator wrote. The bytes are
// one such text in UTF-8. The compiled file itself is fuzz_language_file's input.
#include <cstdint>
#include <string_view>

#include <QLocale>
#include <QString>
#include <QVariantList>

#include "FuzzSupport.h"
#include "language/TTamLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::Bytes(data, size);
    const QString format = QString::fromUtf8(input.data(), static_cast<qsizetype>(input.size()));
    const QVariantList args{QStringLiteral("Kelvo"), 12345, -2.5, QString()};
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)})
        TTamLanguage::Format(format, args, locale);
    return 0;
}
