// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A language file (a compiled id-based Qt translation) as it lies beside the program: the bytes
// become Kelvo_EN.lng in a scratch folder, then texts are looked up by number and a small
// object tree is translated. A file that fails the check must leave the defaults in place.
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include <QObject>
#include <QString>

#include "FuzzSupport.h"
#include "language/TTamLanguage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::Bytes(data, size);
    const std::string& folder = fuzz::ScratchFolder();
    {
        std::ofstream file(folder + "Kelvo_EN.lng", std::ios::binary);
        file.write(input.data(), static_cast<std::streamsize>(input.size()));
    }
    const QByteArray bytes(input.data(), static_cast<qsizetype>(input.size()));
    const bool valid = TTamLanguage::IsValidLanguageFile(bytes);

    TTamLanguage language;
    language.SetFolder(QString::fromStdString(folder));
    language.SetLanguageFileMask(QStringLiteral("Kelvo_%s.lng"));
    language.SetLanguageCode(QStringLiteral("ENU"));
    const QString fallback = QStringLiteral("default");
    for (const int id : {1, 1024, 1025, 1100, 2000, 3000, 9999}) {
        const QString text = language.GetText(id, fallback);
        if (!valid && text != fallback)
            fuzz::Fail("a file that failed the check gave a text");
        if (text.size() > TTamLanguage::MaxTextLength)
            fuzz::Fail("a text longer than the limit");
    }

    QObject window;
    window.setObjectName(QStringLiteral("window"));
    window.setProperty("windowTitle", QStringLiteral("1025New project"));
    QObject child(&window);
    child.setProperty("text", QStringLiteral("&1024File"));
    child.setProperty("toolTip", QStringLiteral("1100Opens a project"));
    language.TranslateComponent(&window);
    if (!valid && window.property("windowTitle").toString() != QStringLiteral("1025New project"))
        fuzz::Fail("a file that failed the check changed a caption");
    if (!valid && !language.LoadedFile().isEmpty())
        fuzz::Fail("a file that failed the check was loaded");
    return 0;
}
