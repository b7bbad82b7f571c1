// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SXmlHelpers.h"

#include "base/KelErrors.h"
#include "base/KelText.h"

namespace {

void RequireElement(pugi::xml_node node, const std::string& what) {
    if (node.type() != pugi::node_element)
        throw EXmlError("Missing XML element (" + what + ")");
}

} // namespace

void WriteString(pugi::xml_node node, const std::string& name, const std::string& value) {
    RequireElement(node, "attribute " + name);
    pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute)
        attribute = node.append_attribute(name.c_str());
    if (!attribute || !attribute.set_value(value.c_str()))
        throw EXmlError("Cannot set XML attribute " + name);
}

void WriteInteger(pugi::xml_node node, const std::string& name, std::int32_t value) {
    WriteString(node, name, std::to_string(value));
}

void WriteBoolean(pugi::xml_node node, const std::string& name, bool value) {
    WriteString(node, name, value ? "true" : "false");
}

void WriteText(pugi::xml_node node, const std::string& text) {
    RequireElement(node, "text");
    while (node.first_child())
        node.remove_child(node.first_child());
    pugi::xml_node child = node.append_child(pugi::node_pcdata);
    if (!child || !child.set_value(text.c_str()))
        throw EXmlError("Cannot set XML text of " + std::string(node.name()));
}

std::string ReadString(pugi::xml_node node, const std::string& name, const std::string& def) {
    RequireElement(node, "attribute " + name);
    const pugi::xml_attribute attribute = node.attribute(name.c_str());
    return attribute ? std::string(attribute.value()) : def;
}

std::int32_t ReadInteger(pugi::xml_node node, const std::string& name, std::int32_t def) {
    RequireElement(node, "attribute " + name);
    const pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute)
        return def;
    return kelvo::TryStrToInt(attribute.value()).value_or(def);
}

bool ReadBoolean(pugi::xml_node node, const std::string& name, bool def) {
    RequireElement(node, "attribute " + name);
    const pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute)
        return def;
    if (kelvo::SameTextAZ(attribute.value(), "true"))
        return true;
    if (kelvo::SameTextAZ(attribute.value(), "false"))
        return false;
    return def;
}

std::string ReadText(pugi::xml_node node, const std::string& def, bool restoreLineBreaks) {
    RequireElement(node, "text");
    const pugi::xml_node child = node.first_child();
    if (!child || child != node.last_child() ||
        (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata))
        return def;
    const std::string_view text = child.value();
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (restoreLineBreaks && text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            result += '\r';
        result += text[i];
    }
    return result;
}
