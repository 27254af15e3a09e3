// The argument conversions of every command, with the C library's semantics: leading white
// space skipped, a sign accepted, conversion stops at the first character that does not fit.
// The failing forms throw std::invalid_argument / std::out_of_range with fixed messages that
// the failure replies show.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

// wcstol base 10 into 32 bits: "invalid stoi argument" / "stoi argument out of range".
int32_t Stoi(std::u16string_view word);
// wcstof: "invalid stof argument" / "stof argument out of range" (ERANGE).
float Stof(std::u16string_view word);
// wcstoull base 10 ("-1" wraps to 2^64-1): "invalid stoull argument" /
// "stoull argument out of range".
uint64_t Stoull(std::u16string_view word);
// _wtoi: wcstol narrowed to 32 bits; never fails, no leading digits gives 0.
int32_t LenientInt(std::u16string_view word);

}  // namespace orvane
