// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include <pugixml.hpp>

/// Attribute and text helpers through which the project model writes and reads its elements.
///
/// Attribute names match exactly (case-sensitive). Writing through a null node, or reading
/// through one, raises EXmlError: a missing element is a failure of the caller's load, while a
/// missing attribute is not (the reader returns its default).

/// Sets attribute name to value (also when empty). A new attribute goes after the existing
/// ones, an existing one keeps its place.
void WriteString(pugi::xml_node node, const std::string& name, const std::string& value);
/// Sets attribute name to the decimal text of value ("-5"; no "+", no leading zeros).
void WriteInteger(pugi::xml_node node, const std::string& name, std::int32_t value);
/// Sets attribute name to "true" or "false".
void WriteBoolean(pugi::xml_node node, const std::string& name, bool value);
/// Replaces the element's content by one text node holding text.
void WriteText(pugi::xml_node node, const std::string& text);

/// The attribute's text if the element has the attribute (also an empty one), else def.
std::string ReadString(pugi::xml_node node, const std::string& name, const std::string& def);
/// The attribute's value if it is a whole signed 32-bit integer (optional leading spaces and
/// sign, decimal or hexadecimal after "$", "x" or "0x"), else def.
std::int32_t ReadInteger(pugi::xml_node node, const std::string& name, std::int32_t def);
/// true for "true", false for "false", in any letter case; def for anything else.
bool ReadBoolean(pugi::xml_node node, const std::string& name, bool def);
/// If the element's one child is text (or CDATA): that text, with every line feed not preceded
/// by a carriage return given one, since parsers hand line breaks back as bare line feeds
/// (unless restoreLineBreaks is false: a file name is taken exactly as stored).
/// Otherwise (an empty element, child elements) def.
std::string ReadText(pugi::xml_node node, const std::string& def, bool restoreLineBreaks = true);
