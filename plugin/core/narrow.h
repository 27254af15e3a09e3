// ToNarrowString: an FString as a narrow string for replies, log lines and dump files. Code
// units below 128 pass unchanged; every other unit (each half of a surrogate pair too) becomes
// '?'. The text ends at the first zero.
#pragma once

#include <string>

#include <sdk/fstring.h>

namespace orvane {

std::string ToNarrowString(const FString& text);
std::string ToNarrowString(std::u16string_view text);

}  // namespace orvane
