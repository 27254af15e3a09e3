// NameTable: the game's names. An FName is an index into this table (0 is "None") plus a
// number: a text ending in "_<digits>" (no leading zero) is stored as its base and the number
// plus one, so "Raptor_Character_BP_C_12" costs no entry of its own. Lookups ignore ASCII case
// and keep the first spelling, as the game's names do. Thread: the game thread.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sdk/game_types.h"

namespace game {

class NameTable {
 public:
  NameTable();

  // The name of `text`, added when new.
  FName Add(std::u16string_view text);
  // The name of `text` when its base is known, else None.
  FName Find(std::u16string_view text) const;
  // A name made of a base and a number (0: no number).
  FName Make(std::u16string_view base, int32_t number);
  std::u16string ToString(const FName& name) const;

 private:
  struct Split {
    std::u16string_view base;
    int32_t number = 0;
  };
  static Split SplitNumber(std::u16string_view text);
  int32_t IndexOf(std::u16string_view base) const;

  std::vector<std::u16string> entries_;
  std::unordered_map<std::u16string, int32_t> index_;  // keyed by the case-folded text
};

}  // namespace game
