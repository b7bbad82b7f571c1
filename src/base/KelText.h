// SPDX-FileCopyrightText: 2026 Kelvo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// Byte-string helpers shared by the parser, the template reader and the model.
///
/// Texts are UTF-8 (or any byte encoding) held in std::string. Case folding touches only the
/// letters A to Z, so a lower-case copy keeps every byte position of the original and bytes of
/// multi-byte sequences are never changed.
namespace kelvo {

inline constexpr char PathDelim = '/';

/// A copy of text with A-Z turned into a-z and every other byte unchanged.
std::string LowerAZ(std::string_view text);

/// Compares as text without regard to letter case: byte by byte with a-z taken as A-Z; when one
/// text is the start of the other, the shorter comes first. Returns <0, 0 or >0.
int CompareTextAZ(std::string_view a, std::string_view b);
inline bool SameTextAZ(std::string_view a, std::string_view b) {
    return CompareTextAZ(a, b) == 0;
}

/// Cut characters whose code is below 33 (white space and control characters).
std::string_view TrimLeftCtl(std::string_view text);
std::string_view TrimRightCtl(std::string_view text);

/// Decodes the UTF-8 sequence at text[pos] and advances pos past it. A byte that starts no
/// valid sequence (stray continuation bytes, overlong forms, surrogates, truncation) is taken
/// alone and yields -1, so every byte is consumed exactly once.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

/// Reads a whole text as a signed 32-bit integer: optional leading spaces, an optional sign,
/// then decimal digits or a hexadecimal number introduced by "$", "x", "X", "0x" or "0X".
/// Nothing may follow. Empty when the text is not such a number or does not fit.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

/// As TryStrToInt, but a text that is not an integer raises EConvertError with the message
/// "'<text>' ist kein gültiger Integerwert".
std::int32_t StrToInt(std::string_view text);

} // namespace kelvo
