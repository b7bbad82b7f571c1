// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The project file: what loads must save, and what was saved must load back to the same
// project (compared by its saved text).
#include <cstdint>
#include <exception>
#include <string>

#include "FuzzSupport.h"
#include "model/TKelProject.h"
#include "model/TSXmlReader.h"
#include "model/TSXmlWriter.h"

namespace {

// The project as the project file holds it, or "" when it cannot be saved.
std::string Saved(const TKelProject& project) {
    TSXmlWriter writer("kelvo", "1.00");
    if (!project.SaveToXml(writer.AddChild("project")))
        return {};
    return writer.SaveToString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TSXmlReader reader;
    try {
        reader.LoadFromString(fuzz::Bytes(data, size));
    } catch (const std::exception&) {
        return 0;
    }
    TKelProject project;
    if (!project.LoadFromXml(reader.GetNode("project"), false, {}))
        return 0;
    const std::string first = Saved(project);
    if (first.empty())
        fuzz::Fail("a project that loaded cannot be saved");

    TSXmlReader again;
    again.LoadFromString(first);
    TKelProject reloaded;
    if (!reloaded.LoadFromXml(again.GetNode("project"), false, {}))
        fuzz::Fail("a saved project does not load:\n" + first);
    const std::string second = Saved(reloaded);
    if (second != first)
        fuzz::Fail("save, load and save changed the project:\n" + first + "\n---\n" + second);
    return 0;
}
