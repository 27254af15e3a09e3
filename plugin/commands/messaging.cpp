// Messaging and script commands: chat lines and notifications to everyone online, a chat line
// to the members of one tribe online, a tribe log entry, and script commands run as a player or
// as the server. Message texts are cut out of the body (Request::TextAfter), not re-joined from
// words, so they reach the players spaced as typed.
#include <optional>

#include <sdk/api.h>

#include "commands/command_groups.h"
#include "core/format.h"
#include "host/game_access.h"
#include "queries/cheat_managers.h"
#include "queries/entity_lookup.h"
#include "queries/lookup_replies.h"
#include "queries/player_details.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

constexpr FLinearColor kNotificationColour{1.0F, 0.0F, 0.0F, 1.0F};
constexpr float kNotificationScale = 2.0F;
constexpr float kNotificationSeconds = 20.0F;
constexpr int32_t kNotificationPriority = 1;
constexpr FLinearColor kTribeChatColour{1.0F, 1.0F, 0.0F, 1.0F};

// The id of the tribe in the player state's tribe record; none without a player state.
std::optional<int32_t> TribeIdOfRecord(AShooterPlayerController* controller) {
  AShooterPlayerState* state = PlayerStateOf(controller);
  if (state == nullptr) return std::nullopt;
  return Field(&Field(state, sym::AShooterPlayerState::MyTribeData), sym::FTribeData::TribeID);
}

// What a tribe chat type does for each member online: types 1 and 4 deliver the line, 2 and 3
// only acknowledge it, any other type does neither.
struct TribeChatType {
  bool delivers = false;
  bool acknowledges = false;
};
TribeChatType TribeChatTypeOf(int32_t type) {
  return {.delivers = type == 1 || type == 4, .acknowledges = type >= 1 && type <= 4};
}

void SendMessageToChat(Request& request) {
  if (!request.Require(u"<Sender> <Message>")) return;
  FPrimalChatMessage line;
  if (!request.Guarded(
          [&] {
            line.SenderName = request.Args().Text(1);
            line.Message = request.TextAfter(TextCut::kLeading, u" {} ", line.SenderName);
          },
          FailureReply::kPlainLogged))
    return;
  line.bFromServer = 1;
  ForEachOnlinePlayer(StaleRule::kSkip, [&](AShooterPlayerController* controller) {
    line.UserId = UniqueNetIdOf(controller);
    Call(sym::AShooterPlayerController::ClientChatMessage, controller, line);  // a copy each
  });
  request.Reply("Message sent!");
}

void SendMessageToNotification(Request& request) {
  if (!request.Require(u"<Message>")) return;
  FString text;
  if (!request.Guarded([&] { text = request.TextAfter(TextCut::kLeading, u""); },
                       FailureReply::kPlainLogged))
    return;
  ForEachOnlinePlayer(StaleRule::kSkip, [&](AShooterPlayerController* controller) {
    Call(sym::AShooterPlayerController::ClientServerNotification, controller, text,
         kNotificationColour, kNotificationScale, kNotificationSeconds, nullptr, nullptr,
         kNotificationPriority);
  });
  request.Reply("Message sent!");
}

void TribeChatMsg(Request& request) {
  if (!request.Require(u"<Type> <TribeID> <Text>")) return;
  int32_t type = 0, tribe_id = 0;
  FString text;
  if (!request.Guarded([&] {
        type = request.Args().Stoi(1);
        tribe_id = request.Args().Stoi(2);
        // Built from the parsed numbers: a type typed as "01" leaves the whole body as the text.
        text = request.TextAfter(TextCut::kEverywhere, u" {} {}", type, tribe_id);
      }))
    return;
  // Tribe id 0 names no tribe; players without a tribe would match it.
  if (tribe_id == 0) return request.Reply("Wrong tribe id");
  const TribeChatType action = TribeChatTypeOf(type);
  if (!action.acknowledges) return;
  FString no_sender;  // the game takes a sender id; these lines have none
  ForEachOnlinePlayer(StaleRule::kSkip, [&](AShooterPlayerController* controller) {
    if (TribeIdOfRecord(controller) != tribe_id) return;
    if (action.delivers)
      Call(sym::AShooterPlayerController::ClientServerChatDirectMessage, controller, text,
           kTribeChatColour, false, no_sender);
    request.Reply("Successfully sent");
  });
}

void TribeLogMsg(Request& request) {
  if (!request.Require(u"<TribeID> <Text>")) return;
  int32_t tribe_id = 0;
  FString text;
  if (!request.Guarded([&] {
        tribe_id = request.Args().Stoi(1);
        text = request.TextAfter(TextCut::kEverywhere, u" {}", tribe_id);
      }))
    return;
  // The game offers no way to add a tribe log entry, so the text goes nowhere; the command only
  // acknowledges, and only when the world has players (stale entries count).
  UWorld* world = HostApi::GetApiUtils().CurrentWorld();
  if (Field(world, sym::UWorld::PlayerControllerList).Num() == 0) return;
  request.Reply("Successfully sent");
}

void SendPlayerScriptCommand(Request& request) {
  if (!request.Require(u"<EOS-ID> <Command>")) return;
  FString command;
  AShooterPlayerController* player = ReadArgsAndFindPlayer(request, [&] {
    command = request.TextAfter(TextCut::kEverywhere, u" {}", request.Args()[1]);
  });
  if (player == nullptr) return;
  UShooterCheatManager* cheats = PlayerCheatManagerOrReply(request, player);
  if (cheats == nullptr) return;
  Call(sym::UShooterCheatManager::ScriptCommand, cheats, command);
  request.Reply("Successfully executed");
}

void SendScriptCommand(Request& request) {
  if (!request.Require(u"<Command>")) return;
  FString command;
  if (!request.Guarded([&] { command = request.Args().Text(1); })) return;
  UShooterCheatManager* cheats = ServerCheatManagerOrReply(request);
  if (cheats == nullptr) return;
  Call(sym::UShooterCheatManager::ScriptCommand, cheats, command);
  request.Reply("Successfully executed");
}

}  // namespace

std::span<const CommandRow> MessagingRows() {
  static constexpr CommandRow kRows[] = {
      {57, "SendMessageToChat", &SendMessageToChat},
      {58, "SendMessageToNotification", &SendMessageToNotification},
      {59, "SendPlayerScriptCommand", &SendPlayerScriptCommand},
      {60, "SendScriptCommand", &SendScriptCommand},
      {75, "TribeChatMsg", &TribeChatMsg},
      {76, "TribeLogMsg", &TribeLogMsg},
  };
  return kRows;
}

}  // namespace orvane
