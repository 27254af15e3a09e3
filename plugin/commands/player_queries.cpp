// Player queries: one player's name, position, tribe id and tribe name by EOS id, and the
// lists of online players and tribes. Nothing here changes the world.
#include <optional>

#include <sdk/api.h>

#include "commands/command_groups.h"
#include "core/format.h"
#include "core/request.h"
#include "host/game_access.h"
#include "queries/entity_lookup.h"
#include "queries/positions.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

constexpr const char* kPlayerNotFound = "Can't find player from the given eos id";

AShooterPlayerState* PlayerStateOf(AShooterPlayerController* controller) {
  return static_cast<AShooterPlayerState*>(Field(controller, sym::AController::PlayerState));
}

FString CharacterNameOf(AShooterPlayerController* controller) {
  FString name;
  Call(sym::AShooterPlayerController::GetPlayerCharacterName, controller, &name);
  return name;
}

FString PlayerStateNameOf(AShooterPlayerController* controller) {
  FString name;
  if (AShooterPlayerState* state = PlayerStateOf(controller))
    Call(sym::AShooterPlayerState::GetPlayerName, state, &name);
  return name;
}

FString PlayerDataNameOf(AShooterPlayerController* controller) {
  AShooterPlayerState* state = PlayerStateOf(controller);
  if (state == nullptr) return FString();
  UPrimalPlayerData* data = Field(state, sym::AShooterPlayerState::MyPlayerData);
  if (data == nullptr) return FString();
  return host::NameText(Field(data, sym::UObjectBase::NamePrivate));
}

FString TribeNameOf(AShooterPlayerController* controller) {
  AShooterPlayerState* state = PlayerStateOf(controller);
  if (state == nullptr) return FString();
  FTribeData* tribe = &Field(state, sym::AShooterPlayerState::MyTribeData);
  return Field(tribe, sym::FTribeData::TribeName);
}

FString UniqueNetIdOf(AShooterPlayerController* controller) {
  FString id;
  Call(sym::AShooterPlayerController::GetUniqueNetIdAsString, controller, &id);
  return id;
}

// The four lookups by EOS id share everything but the reply they build.
template <class BuildReply>
void ReplyForPlayer(RCONClientConnection* connection, RCONPacket* packet, const char* usage,
                    BuildReply build) {
  Request request(connection, packet);
  if (!request.Require(2, usage)) return;
  FString eos_id;
  if (!request.Guarded([&] { eos_id = request.Args().Text(1); })) return;
  AShooterPlayerController* controller = FindPlayerByEosId(eos_id);
  if (controller == nullptr) return request.Reply(kPlayerNotFound);
  request.Reply(build(controller));
}

void GetPlayerName(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  ReplyForPlayer(c, p, "Not enough arguments: GetPlayerName <EOS-ID>", [](auto* controller) {
    return Format(u"Playername - {}\n", CharacterNameOf(controller));
  });
}

void GetPlayerPos(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  ReplyForPlayer(c, p, "Not enough arguments: GetPlayerPos <EOS-ID>",
                 [](auto* controller) { return PositionText(PlayerPositionOf(controller)); });
}

void GetTribeIdOfPlayer(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  ReplyForPlayer(c, p, "Not enough arguments: GetTribeIdOfPlayer <EOS-ID>", [](auto* controller) {
    return Format(u"Tribe ID: {}", TribeIdOfPlayer(controller));
  });
}

void GetTribeName(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  ReplyForPlayer(c, p, "Not enough arguments: GetTribeName <EOS-ID>", [](auto* controller) {
    return Format(u"Tribename: {}", PlayerDataNameOf(controller));
  });
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

void ListAllPlayerPos(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  ReplyWithList(request, {"Can't find any players online", nullptr}, [](auto* controller, auto&) {
    return std::optional(Format(u"{} - ({}), {}\n", CharacterNameOf(controller),
                                PlayerDataNameOf(controller),
                                PositionText(PlayerPositionOf(controller))));
  });
}

void ListAllPlayerEOSId(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  ReplyWithList(request, {"Can't find any players online", "No Players Online"},
                [](auto* controller, auto&) { return std::optional(EosLine(controller)); });
}

void ListTribePlayers(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  if (!request.Require(2, "Not enough arguments: ListTribePlayers <TribeID>")) return;
  int32_t tribe_id = 0;
  if (!request.Guarded([&] { tribe_id = request.Args().Stoi(1); })) return;
  ReplyWithList(request, {"Can't find any players online", "No Players Online"},
                [tribe_id](auto* controller, auto&) -> std::optional<FString> {
                  if (TeamOf(controller) != tribe_id) return std::nullopt;
                  return EosLine(controller);
                });
}

void ListOnlinePlayers(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  ReplyWithList(request, {"Can't find any player online", "No players online"},
                [](auto* controller, const FString& gathered) {
                  const FString name = PlayerStateNameOf(controller);
                  return UnlessListed(gathered, name,
                                      Format(u"[{}]: {}\n", name, UniqueNetIdOf(controller)));
                });
}

void ListOnlineTribes(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  ReplyWithList(request, {"Can't find any tribe online", "No tribes online"},
                [](auto* controller, const FString& gathered) {
                  const FString tribe = TribeNameOf(controller);
                  return UnlessListed(gathered, tribe,
                                      Format(u"[{}]: {}\n", tribe, TeamOf(controller)));
                });
}

constexpr CommandEntry kCommands[] = {
    {"GetPlayerName", &GetPlayerName},           {"GetPlayerPos", &GetPlayerPos},
    {"GetTribeIdOfPlayer", &GetTribeIdOfPlayer}, {"GetTribeName", &GetTribeName},
    {"ListTribePlayers", &ListTribePlayers},     {"ListAllPlayerPos", &ListAllPlayerPos},
    {"ListAllPlayerEOSId", &ListAllPlayerEOSId}, {"ListOnlineTribes", &ListOnlineTribes},
    {"ListOnlinePlayers", &ListOnlinePlayers},
};

}  // namespace

std::span<const CommandEntry> PlayerQueryCommands() { return kCommands; }

}  // namespace orvane
