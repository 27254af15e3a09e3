// The lookups and argument readings that commands of every group share, each answering its own
// reply when it finds nothing. The texts of those replies are written here and nowhere else.
// Thread: the game thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include <sdk/game_types.h>

#include "core/request.h"

namespace orvane {

inline constexpr const char* kPlayerNotFound = "Can't find player from the given eos id";
inline constexpr const char* kCharacterNotFound = "Can't find character from the given eos id";
inline constexpr const char* kDinoNotFound = "Can't find dino";
inline constexpr const char* kNoPlayersOnline = "Can't find any players online";

// The online player with this EOS id; else replies kPlayerNotFound and gives null.
AShooterPlayerController* FindPlayerOrReply(Request& request, const FString& eos_id);

// The course of a command addressed to one player, once the word count is checked: the EOS id
// in word 1 and then `read_more` inside one guarded stretch (plain failure reply), then the
// player. Gives null when it has replied instead.
template <class ReadMore>
AShooterPlayerController* ReadArgsAndFindPlayer(Request& request, ReadMore read_more) {
  FString eos_id;
  if (!request.Guarded([&] {
        eos_id = request.Args().Text(1);
        read_more();
      }))
    return nullptr;
  return FindPlayerOrReply(request, eos_id);
}

inline AShooterPlayerController* ReadIdAndFindPlayer(Request& request) {
  return ReadArgsAndFindPlayer(request, [] {});
}

// The tribe id in word 1 once the words of `arguments` are there (else its usage reply), then
// `read_more`, in one guarded stretch (plain failure reply). Empty when it has replied instead.
// The id is not range-checked here.
template <class ReadMore>
std::optional<int32_t> ReadTribeId(Request& request, std::u16string_view arguments,
                                   ReadMore read_more) {
  if (!request.Require(arguments)) return std::nullopt;
  int32_t tribe_id = 0;
  if (!request.Guarded([&] {
        tribe_id = request.Args().Stoi(1);
        read_more();
      }))
    return std::nullopt;
  return tribe_id;
}

inline std::optional<int32_t> ReadTribeId(Request& request, std::u16string_view arguments) {
  return ReadTribeId(request, arguments, [] {});
}

}  // namespace orvane
