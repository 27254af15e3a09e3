#include "host/symbol_names.h"

namespace orvane {
namespace {

constexpr std::string_view kSymbolNames[] = {
#define ORVANE_GAME_MEMBER(owner, member, symbol, ...) symbol,
#include <sdk/game_member_list.h>
#undef ORVANE_GAME_MEMBER
};

}  // namespace

std::span<const std::string_view> AllSymbolNames() { return kSymbolNames; }

}  // namespace orvane
