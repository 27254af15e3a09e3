// Every game member reached by symbolic name, with the exact C++ type behind the name.
// This is the one place that fixes those signatures: the plugin calls through them and the
// game registers its members against them, so the two sides cannot disagree. Functions take
// the object first (none when static); a string or record result is written to a
// caller-provided buffer passed right after the object, and that pointer is returned.
// The names and types themselves are listed in sdk/game_member_list.h.
#pragma once

#include <cstdint>

#include "sdk/address.h"
#include "sdk/game_types.h"

// Each line of the list becomes `sym::<owner>::<member>`, a constant of its type holding its name.
#define ORVANE_GAME_MEMBER(owner, member, symbol, ...) \
  namespace sym::owner {                               \
  inline constexpr __VA_ARGS__ member{symbol};         \
  }
#include "sdk/game_member_list.h"
#undef ORVANE_GAME_MEMBER
