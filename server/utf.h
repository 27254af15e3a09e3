// Conversions between the UTF-8 of the outside world (RCON bodies, console lines, standard
// output) and the UTF-16 of the game's strings. Invalid input never fails: each bad sequence
// or lone surrogate becomes U+FFFD. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

namespace server {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace server
