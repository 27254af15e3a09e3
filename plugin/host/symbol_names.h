// The plugin's table of every symbolic game member name it may resolve, taken from the
// constants of sdk/game_members.h. A test walks it to prove that the host knows every name.
#pragma once

#include <span>
#include <string_view>

namespace orvane {

// Every name, once each, in the order of sdk/game_members.h. The storage is static.
std::span<const std::string_view> AllSymbolNames();

}  // namespace orvane
