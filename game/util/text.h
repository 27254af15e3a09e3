// Text conversions of the game stand-in: the world file and the journal speak UTF-8, the
// game's strings are UTF-16. Invalid input never fails: a bad sequence or a lone surrogate
// becomes U+FFFD. Pure functions, any thread.
#pragma once

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

#include "sdk/fstring.h"

namespace game {

std::u16string ToUtf16(std::string_view text);
std::string ToUtf8(std::u16string_view text);
void AppendUtf8(std::string& out, std::u16string_view text);
inline std::string ToUtf8(const FString& text) { return ToUtf8(text.View()); }
inline FString ToFString(std::string_view utf8) {
  return FString(std::u16string_view(ToUtf16(utf8)));
}

// Appends `value` in decimal, as JSON writes an integer.
template <class Integer>
void AppendInteger(std::string& out, Integer value) {
  char buffer[24];
  out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// JSON string literals, escaped byte for byte as the JSON library's dump escapes them (UTF-8 kept,
// invalid sequences replaced by U+FFFD): `text` appended as one, or the bytes of `out` from
// `from` on turned into one in place (for text that was appended raw first).
void AppendJsonString(std::string& out, std::string_view text);
void QuoteJsonTail(std::string& out, std::size_t from);

// ASCII-only case folding, as the game's own comparisons do.
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);
std::u16string FoldCase(std::u16string_view text);

// `text` less `suffix` when it ends with it.
std::u16string StripSuffix(std::u16string_view text, std::u16string_view suffix);
// A blueprint path as administrators type it, Blueprint'<path>' or the bare path, as the bare
// path case-folded: the key under which paths are compared.
std::u16string BarePathKey(std::u16string_view text);

}  // namespace game
