#include "core/format.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace orvane {

std::string FormatG(double value) {
  std::string text;
  AppendFormatG(text, value);
  return text;
}

void AppendFormatG(std::string& text, double value) {
  char buffer[64];  // "%g" writes at most 6 digits, a sign, a point and a 4-digit exponent
  const int written = std::snprintf(buffer, sizeof buffer, "%g", value);
  if (written > 0) text.append(buffer, static_cast<std::size_t>(written));
}

std::u16string FormatArg::FromInteger(long long value) { return FromNarrow(std::to_string(value)); }

std::u16string FormatArg::FromUnsigned(unsigned long long value) {
  return FromNarrow(std::to_string(value));
}

std::u16string FormatArg::FromNarrow(std::string_view narrow) {
  std::u16string wide;
  wide.reserve(narrow.size());
  for (char c : narrow) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

FString BraceFormat(std::u16string_view format, std::initializer_list<FormatArg> args) {
  std::u16string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'{' && i + 1 < format.size() && format[i + 1] == u'}' && next != args.end()) {
      out += next->text();
      ++next;
      ++i;
    } else {
      out += format[i];
    }
  }
  return FString(std::u16string_view(out));
}

FString PrintfFormat(const char16_t* format, ...) {
  std::wstring wide_format;
  for (const char16_t* p = format; *p != 0; ++p) wide_format += static_cast<wchar_t>(*p);

  // Start at 512 units and double until the text fits.
  std::vector<wchar_t> buffer(512);
  int written = -1;
  while (buffer.size() <= (1u << 26)) {
    va_list args;
    va_start(args, format);
    written = std::vswprintf(buffer.data(), buffer.size(), wide_format.c_str(), args);
    va_end(args);
    if (written >= 0) break;
    buffer.resize(buffer.size() * 2);
  }
  std::u16string out;
  for (int i = 0; i < written; ++i) {
    const auto c = static_cast<char32_t>(buffer[i]);
    if (c > 0xFFFF) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return FString(std::u16string_view(out));
}

}  // namespace orvane
