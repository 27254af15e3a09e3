#include "core/narrow.h"

namespace orvane {

std::string ToNarrowString(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c == 0) break;
    out += c < 128 ? static_cast<char>(c) : '?';
  }
  return out;
}

std::string ToNarrowString(const FString& text) { return ToNarrowString(text.View()); }

}  // namespace orvane
