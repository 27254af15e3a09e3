// Text conversions of the game stand-in: the world file and the journal speak UTF-8, the
// game's strings are UTF-16. Invalid input never fails: a bad sequence or a lone surrogate
// becomes U+FFFD. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

#include "sdk/fstring.h"

namespace game {

std::u16string ToUtf16(std::string_view text);
std::string ToUtf8(std::u16string_view text);
inline std::string ToUtf8(const FString& text) { return ToUtf8(text.View()); }
inline FString ToFString(std::string_view utf8) {
  return FString(std::u16string_view(ToUtf16(utf8)));
}

// ASCII-only case folding, as the game's own comparisons do.
bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b);
std::u16string FoldCase(std::u16string_view text);

// `text` less `suffix` when it ends with it.
std::u16string StripSuffix(std::u16string_view text, std::u16string_view suffix);
// A blueprint path as administrators type it, Blueprint'<path>' or the bare path, as the bare
// path case-folded: the key under which paths are compared.
std::u16string BarePathKey(std::u16string_view text);

}  // namespace game
