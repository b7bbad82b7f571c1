// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/TKelRunRecord.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <pugixml.hpp>
#include <sys/stat.h>

#include "base/FileHash.h"
#include "base/FileUtils.h"
#include "base/KelErrors.h"

namespace {

// Raise when the meaning of an element or attribute changes; an older record is then ignored
// (a full run that removes nothing).
constexpr int RecordVersion = 1;

std::uint64_t ParseHex(const char* text, bool& ok) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 16);
    ok = ok && *text != '\0' && *end == '\0';
    return value;
}

// Every number must be there and whole: a damaged record is not guessed at.
std::uint64_t Unsigned(pugi::xml_node node, const char* name, bool& ok) {
    const char* text = node.attribute(name).value();
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    ok = ok && *text >= '0' && *text <= '9' && *end == '\0';
    return value;
}

std::int64_t Signed(pugi::xml_node node, const char* name, bool& ok) {
    const char* text = node.attribute(name).value();
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    ok = ok && *text != '\0' && *end == '\0';
    return value;
}

void WriteIdentity(pugi::xml_node node, const TKelRunRecord::TIdentity& identity) {
    node.append_attribute("size").set_value(static_cast<unsigned long long>(identity.Size));
    node.append_attribute("time").set_value(static_cast<long long>(identity.Time));
    node.append_attribute("inode").set_value(static_cast<unsigned long long>(identity.Inode));
}

} // namespace

bool TKelRunRecord::IsSafeEntry(const std::string& relative) {
    if (relative.empty() || relative.front() == '/' || relative == FileName)
        return false;
    for (const auto& part : std::filesystem::path(relative))
        if (part == ".." || part == ".")
            return false;
    return true;
}

std::optional<TKelRunRecord::TIdentity> TKelRunRecord::Identify(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return TIdentity{static_cast<std::uint64_t>(status.st_size),
                     static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                         status.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(status.st_ino)};
}

bool TKelRunRecord::Load(const std::string& folder) {
    *this = TKelRunRecord();
    std::string text;
    try {
        text = kelvo::ReadFileBytes(folder + FileName);
    } catch (const EFileError&) {
        return false;
    }
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size()))
        return false;
    const pugi::xml_node root = document.child("kelvo-record");
    if (root.attribute("version").as_int() != RecordVersion ||
        root.attribute("folder").value() != folder)
        return false;

    TKelRunRecord record;
    record.Folder = folder;
    bool ok = true;
    for (const pugi::xml_node node : root.children("file")) {
        TEntry entry;
        const std::string path = node.attribute("path").value();
        entry.Picture = std::string_view(node.attribute("kind").value()) == "picture";
        entry.Key = node.attribute("key").value();
        if (!entry.Key.empty()) {
            entry.Written = {Unsigned(node, "size", ok), Signed(node, "time", ok),
                             Unsigned(node, "inode", ok)};
        }
        if (const pugi::xml_node source = node.child("source"); entry.Picture && source) {
            entry.Source = {ParseHex(source.attribute("path").value(), ok),
                            Unsigned(source, "size", ok), Signed(source, "time", ok),
                            ParseHex(source.attribute("hash").value(), ok)};
        } else if (entry.Picture && !entry.Key.empty()) {
            ok = false;
        }
        ok = ok && IsSafeEntry(path) && record.Files.emplace(path, std::move(entry)).second;
    }
    for (const pugi::xml_node node : root.children("folder")) {
        const std::string path = node.attribute("path").value();
        ok = ok && path.ends_with('/') && IsSafeEntry(path);
        record.Folders.insert(path);
    }
    if (!ok)
        return false;
    *this = std::move(record);
    return true;
}

std::string TKelRunRecord::Text() const {
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("kelvo-record");
    root.append_attribute("version").set_value(RecordVersion);
    root.append_attribute("folder").set_value(Folder.c_str());
    for (const auto& [path, entry] : Files) {
        pugi::xml_node node = root.append_child("file");
        node.append_attribute("path").set_value(path.c_str());
        node.append_attribute("kind").set_value(entry.Picture ? "picture" : "page");
        if (entry.Key.empty())
            continue;
        node.append_attribute("key").set_value(entry.Key.c_str());
        WriteIdentity(node, entry.Written);
        if (!entry.Picture)
            continue;
        pugi::xml_node source = node.append_child("source");
        source.append_attribute("path").set_value(kelvo::HashText(entry.Source.PathHash).c_str());
        source.append_attribute("size").set_value(
            static_cast<unsigned long long>(entry.Source.Size));
        source.append_attribute("time").set_value(static_cast<long long>(entry.Source.Time));
        source.append_attribute("hash").set_value(kelvo::HashText(entry.Source.Hash).c_str());
    }
    for (const std::string& path : Folders)
        root.append_child("folder").append_attribute("path").set_value(path.c_str());
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}
