#include "game/objects/names.h"

#include <limits>

#include "game/util/text.h"

namespace game {

NameTable::NameTable() {
  entries_.push_back(u"None");
  index_.emplace(FoldCase(u"None"), 0);
}

NameTable::Split NameTable::SplitNumber(std::u16string_view text) {
  const std::size_t underscore = text.rfind(u'_');
  if (underscore == std::u16string_view::npos || underscore == 0 || underscore + 1 == text.size())
    return {text, 0};
  const std::u16string_view digits = text.substr(underscore + 1);
  if (digits.size() > 9 || (digits.size() > 1 && digits[0] == u'0')) return {text, 0};
  int32_t value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return {text, 0};
    value = value * 10 + (c - u'0');
  }
  return {text.substr(0, underscore), value + 1};
}

int32_t NameTable::IndexOf(std::u16string_view base) const {
  auto it = index_.find(FoldCase(base));
  return it == index_.end() ? -1 : it->second;
}

FName NameTable::Make(std::u16string_view base, int32_t number) {
  int32_t index = IndexOf(base);
  if (index < 0) {
    index = static_cast<int32_t>(entries_.size());
    entries_.emplace_back(base);
    index_.emplace(FoldCase(base), index);
  }
  return FName{index, number};
}

FName NameTable::Add(std::u16string_view text) {
  const Split split = SplitNumber(text);
  return Make(split.base, split.number);
}

FName NameTable::Find(std::u16string_view text) const {
  const Split split = SplitNumber(text);
  const int32_t index = IndexOf(split.base);
  return index < 0 ? FName{} : FName{index, split.number};
}

std::u16string NameTable::ToString(const FName& name) const {
  if (name.ComparisonIndex < 0 || static_cast<std::size_t>(name.ComparisonIndex) >= entries_.size())
    return u"None";
  std::u16string text = entries_[name.ComparisonIndex];
  if (name.Number > 0) {
    text += u'_';
    for (char c : std::to_string(name.Number - 1)) text += static_cast<char16_t>(c);
  }
  return text;
}

}  // namespace game
