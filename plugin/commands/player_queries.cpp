// Player queries: one player's name, position, tribe id and tribe name by EOS id, and the
// lists of online players and tribes. Nothing here changes the world.
#include <optional>

#include <sdk/api.h>

#include "commands/command_groups.h"
#include "core/format.h"
#include "host/game_access.h"
#include "queries/entity_lookup.h"
#include "queries/lookup_replies.h"
#include "queries/player_details.h"
#include "queries/positions.h"

namespace orvane {
namespace {

// The four lookups by EOS id share everything but the reply they build.
template <class BuildReply>
void ReplyForPlayer(Request& request, BuildReply build) {
  if (!request.Require(u"<EOS-ID>")) return;
  if (AShooterPlayerController* controller = ReadIdAndFindPlayer(request))
    request.Reply(build(controller));
}

// How a list command ends: its stale-reference reply and its reply when nothing qualified
// (null: the gathered text, empty or not, is always sent).
struct ListReplies {
  const char* stale;
  const char* empty;
};

// Walks the online players with the end rule; `line_for(controller, gathered)` gives the
// player's line, or nothing when the player does not qualify. Sends exactly one reply.
template <class LineFor>
void ReplyWithList(Request& request, ListReplies replies, LineFor line_for) {
  FString gathered;
  int lines = 0;
  const bool ended_early = ForEachOnlinePlayer(StaleRule::kEnd, [&](auto* controller) {
    if (std::optional<FString> line = line_for(controller, gathered)) {
      gathered += *line;
      ++lines;
    }
  });
  if (ended_early) return request.Reply(replies.stale);
  if (lines > 0 || replies.empty == nullptr) return request.Reply(gathered);
  request.Reply(replies.empty);
}

// `line`, unless `key` already occurs in the gathered text, ignoring case (an empty key always
// does): so a key found inside an earlier line, even in a longer name, suppresses the line.
std::optional<FString> UnlessListed(const FString& gathered, const FString& key, FString line) {
  if (key.IsEmpty() || gathered.Contains(key.View(), ESearchCase::IgnoreCase)) return std::nullopt;
  return line;
}

FString EosLine(AShooterPlayerController* controller) {
  return Format(u"{} [{}]: {}\n", CharacterNameOf(controller), PlayerDataNameOf(controller),
                HostApi::IApiUtils::GetEOSIDFromController(controller));
}

void GetPlayerName(Request& request) {
  ReplyForPlayer(request, [](auto* controller) {
    return Format(u"Playername - {}\n", CharacterNameOf(controller));
  });
}

void GetPlayerPos(Request& request) {
  ReplyForPlayer(request,
                 [](auto* controller) { return PositionText(PlayerPositionOf(controller)); });
}

void GetTribeIdOfPlayer(Request& request) {
  ReplyForPlayer(request, [](auto* controller) {
    return Format(u"Tribe ID: {}", TribeIdOfPlayer(controller));
  });
}

void GetTribeName(Request& request) {
  ReplyForPlayer(request, [](auto* controller) {
    return Format(u"Tribename: {}", PlayerDataNameOf(controller));
  });
}

void ListAllPlayerPos(Request& request) {
  ReplyWithList(request, {kNoPlayersOnline, nullptr}, [](auto* controller, auto&) {
    return std::optional(Format(u"{} - ({}), {}\n", CharacterNameOf(controller),
                                PlayerDataNameOf(controller),
                                PositionText(PlayerPositionOf(controller))));
  });
}

void ListAllPlayerEOSId(Request& request) {
  ReplyWithList(request, {kNoPlayersOnline, "No Players Online"},
                [](auto* controller, auto&) { return std::optional(EosLine(controller)); });
}

void ListTribePlayers(Request& request) {
  const std::optional<int32_t> tribe_id = ReadTribeId(request, u"<TribeID>");
  if (!tribe_id) return;
  ReplyWithList(request, {kNoPlayersOnline, "No Players Online"},
                [tribe_id = *tribe_id](auto* controller, auto&) -> std::optional<FString> {
                  if (TeamOf(controller) != tribe_id) return std::nullopt;
                  return EosLine(controller);
                });
}

void ListOnlinePlayers(Request& request) {
  ReplyWithList(request, {"Can't find any player online", "No players online"},
                [](auto* controller, const FString& gathered) {
                  const FString name = PlayerStateNameOf(controller);
                  return UnlessListed(gathered, name,
                                      Format(u"[{}]: {}\n", name, UniqueNetIdOf(controller)));
                });
}

void ListOnlineTribes(Request& request) {
  ReplyWithList(request, {"Can't find any tribe online", "No tribes online"},
                [](auto* controller, const FString& gathered) {
                  const FString tribe = TribeNameOf(controller);
                  return UnlessListed(gathered, tribe,
                                      Format(u"[{}]: {}\n", tribe, TeamOf(controller)));
                });
}

}  // namespace

std::span<const CommandRow> PlayerQueryRows() {
  static constexpr CommandRow kRows[] = {
      {21, "GetPlayerName", &GetPlayerName},
      {22, "GetPlayerPos", &GetPlayerPos},
      {26, "GetTribeIdOfPlayer", &GetTribeIdOfPlayer},
      {28, "GetTribeName", &GetTribeName},
      {45, "ListAllPlayerPos", &ListAllPlayerPos},
      {46, "ListAllPlayerEOSId", &ListAllPlayerEOSId},
      {49, "ListOnlineTribes", &ListOnlineTribes},
      {50, "ListOnlinePlayers", &ListOnlinePlayers},
      {53, "ListTribePlayers", &ListTribePlayers},
  };
  return kRows;
}

}  // namespace orvane
