#include "core/conversions.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <stdexcept>
#include <string>

namespace orvane {
namespace {

// The C library works on wchar_t; each UTF-16 unit widens to one wchar_t, which is all the
// conversions look at (digits, signs, letters of exponents and "inf"/"nan").
std::wstring Widen(std::u16string_view word) {
  std::wstring wide;
  wide.reserve(word.size());
  for (char16_t c : word) {
    if (c == 0) break;
    wide += static_cast<wchar_t>(c);
  }
  return wide;
}

template <class Convert>
auto ConvertWord(std::u16string_view word, const char* name, Convert convert) {
  const std::wstring wide = Widen(word);
  wchar_t* end = nullptr;
  errno = 0;
  auto value = convert(wide.c_str(), &end);
  if (end == wide.c_str())
    throw std::invalid_argument(std::string("invalid ") + name + " argument");
  if (errno == ERANGE) throw std::out_of_range(std::string(name) + " argument out of range");
  return value;
}

}  // namespace

int32_t Stoi(std::u16string_view word) {
  long value = ConvertWord(word, "stoi",
                           [](const wchar_t* s, wchar_t** e) { return std::wcstol(s, e, 10); });
  if (value < INT32_MIN || value > INT32_MAX) throw std::out_of_range("stoi argument out of range");
  return static_cast<int32_t>(value);
}

float Stof(std::u16string_view word) {
  return ConvertWord(word, "stof", [](const wchar_t* s, wchar_t** e) { return std::wcstof(s, e); });
}

uint64_t Stoull(std::u16string_view word) {
  return ConvertWord(word, "stoull", [](const wchar_t* s, wchar_t** e) {
    return static_cast<uint64_t>(std::wcstoull(s, e, 10));
  });
}

int32_t LenientInt(std::u16string_view word) {
  const std::wstring wide = Widen(word);
  return static_cast<int32_t>(std::wcstol(wide.c_str(), nullptr, 10));
}

}  // namespace orvane
