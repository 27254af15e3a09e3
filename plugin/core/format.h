// Reply text building shared by every command: brace formatting ("{}" filled in order:
// integers in decimal, floating values as the C library's "%g", narrow text widened byte by
// byte, wide text as it is) and printf formatting of wide formats without a length limit.
#pragma once

#include <concepts>
#include <initializer_list>
#include <string>
#include <string_view>

#include <sdk/fstring.h>

namespace orvane {

// A floating value as "%g" writes it (widened to double first), and the same appended.
std::string FormatG(double value);
void AppendFormatG(std::string& text, double value);

// One argument of BraceFormat, already turned into its text.
class FormatArg {
 public:
  FormatArg(std::signed_integral auto value) : text_(FromInteger(static_cast<long long>(value))) {}
  FormatArg(std::unsigned_integral auto value)
      : text_(FromUnsigned(static_cast<unsigned long long>(value))) {}
  FormatArg(std::floating_point auto value) : text_(FromNarrow(FormatG(value))) {}
  FormatArg(const FString& text) : text_(text.View()) {}
  FormatArg(std::u16string_view text) : text_(text) {}
  FormatArg(const char16_t* text) : text_(text) {}
  FormatArg(std::string_view narrow) : text_(FromNarrow(narrow)) {}
  FormatArg(const std::string& narrow) : text_(FromNarrow(narrow)) {}
  FormatArg(const char* narrow) : text_(FromNarrow(narrow)) {}

  std::u16string_view text() const { return text_; }

 private:
  static std::u16string FromInteger(long long value);
  static std::u16string FromUnsigned(unsigned long long value);
  static std::u16string FromNarrow(std::string_view narrow);
  std::u16string text_;
};

// Fills each "{}" of `format` with the next argument; surplus placeholders stay as they are.
FString BraceFormat(std::u16string_view format, std::initializer_list<FormatArg> args);

template <class... Args>
FString Format(std::u16string_view format, const Args&... args) {
  return BraceFormat(format, {FormatArg(args)...});
}

// The C library's wide printf applied to `format` (e.g. u"X=%3.3f Y=%3.3f Z=%3.3f").
FString PrintfFormat(const char16_t* format, ...);

}  // namespace orvane
