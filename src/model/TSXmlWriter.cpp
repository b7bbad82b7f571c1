// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/TSXmlWriter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "generator/KelErrors.h"
#include "generator/KelText.h"
#include "model/SXmlHelpers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* LineEnd = "\r\n";

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += attribute ? ">" : "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        // A parser turns raw line breaks and tabs in attribute values into spaces; character
        // references survive, so a multi-line page text reads back as it was.
        case '\r':
            out += attribute ? "&#13;" : "\r";
            break;
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        default:
            out += c;
        }
    }
}

bool IsText(pugi::xml_node node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Writes one element at its indentation, without the line end after it. Whitespace text in the
// tree is ignored: the layout comes from here alone.
void WriteElement(std::string& out, pugi::xml_node element, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    out += indent;
    out += '<';
    out += element.name();
    for (const pugi::xml_attribute attribute : element.attributes()) {
        out += ' ';
        out += attribute.name();
        out += "=\"";
        AppendEscaped(out, attribute.value(), true);
        out += '"';
    }

    bool hasElements = false;
    std::string text;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element)
            hasElements = true;
        else if (IsText(child))
            text += child.value();
    }

    if (!hasElements) {
        if (text.empty()) {
            out += "/>";
        } else {
            out += '>';
            AppendEscaped(out, text, false);
            out += "</";
            out += element.name();
            out += '>';
        }
        return;
    }

    out += '>';
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element) {
            out += LineEnd;
            WriteElement(out, child, depth + 1);
        } else if (IsText(child) && !kelvo::TrimLeftCtl(child.value()).empty()) {
            out += LineEnd;
            out += indent;
            out += "  ";
            AppendEscaped(out, child.value(), false);
        }
    }
    out += LineEnd;
    out += indent;
    out += "</";
    out += element.name();
    out += '>';
}

std::string ErrorText(const std::string& fileName, const char* what, int error) {
    return "Cannot save \"" + fileName + "\": " + what + ": " + std::strerror(error);
}

// A name in the target's folder that no other file has: hidden, and with an extension the
// program's file dialogs do not list.
std::string TemporaryName(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix(8, '0');
    for (char& c : suffix)
        c = Digits[random() % (sizeof(Digits) - 1)];
    return (target.parent_path() / ("." + target.filename().string() + "." + suffix + ".tmp"))
        .string();
}

void WriteAll(int fd, std::string_view data, const std::string& fileName) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError(ErrorText(fileName, "write", errno));
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Writes data into a new file beside fileName, flushes it to disk and renames it over
// fileName, so that fileName always holds either the old or the complete new text.
void SaveFileAtomic(const std::string& fileName, std::string_view data) {
    fs::path target = fileName;
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    if (target.filename().empty())
        throw EFileError("Cannot save \"" + fileName + "\": not a file name");

    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        throw EFileError("Cannot save \"" + fileName + "\": not a regular file");

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = TemporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            throw EFileError(ErrorText(fileName, "create", errno));
    }
    if (fd < 0)
        throw EFileError(ErrorText(fileName, "create", EEXIST));

    try {
        // The new file keeps the permissions the user gave the old one.
        if (replacing && ::fchmod(fd, old.st_mode & 07777) != 0)
            throw EFileError(ErrorText(fileName, "chmod", errno));
        WriteAll(fd, data, fileName);
        if (::fsync(fd) != 0)
            throw EFileError(ErrorText(fileName, "flush", errno));
        const int closed = ::close(fd);
        fd = -1;
        if (closed != 0)
            throw EFileError(ErrorText(fileName, "close", errno));
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            throw EFileError(ErrorText(fileName, "rename", errno));
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }

    // Make the rename itself durable; the file is complete either way.
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

} // namespace

TSXmlWriter::TSXmlWriter(const std::string& rootName, const std::string& version)
    : m_document(std::make_unique<pugi::xml_document>()) {
    m_root = m_document->append_child(kelvo::LowerAZ(rootName).c_str());
    if (!version.empty())
        WriteString(m_root, "version", version);
}

TSXmlWriter::~TSXmlWriter() = default;

pugi::xml_node TSXmlWriter::Root() const {
    return m_root;
}

pugi::xml_node TSXmlWriter::AddChild(const std::string& name) {
    return m_root.append_child(kelvo::LowerAZ(name).c_str());
}

std::string TSXmlWriter::SaveToString() const {
    std::string out = R"(<?xml version="1.0" encoding="UTF-8"?>)";
    out += LineEnd;
    WriteElement(out, m_root, 0);
    out += LineEnd;
    return out;
}

void TSXmlWriter::SaveToFile(const std::string& fileName) const {
    SaveFileAtomic(fileName, SaveToString());
}
