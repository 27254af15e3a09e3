// Players: characters, controllers and player states.
#include <optional>
#include <string>

#include "framework/host/address_table.h"
#include "game/members/journal_call.h"
#include "game/members/members.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "sdk/game_members.h"

namespace game::members {
namespace {

// The bookkeeping of the player a controller, character or player state belongs to.
Player& PlayerOf(const void* object) { return *static_cast<ActorBase*>(FromSdk(object))->player; }
Controller* ControllerOf(const void* controller) {
  return static_cast<Controller*>(FromSdk(controller));
}

FString* Assign(FString* result, std::string_view utf8) {
  *result = ToFString(utf8);
  return result;
}

void NetSetFacialHairPercent(AShooterCharacter* character, float percent, int32_t style) {
  JournalCall(sym::AShooterCharacter::NetSetFacialHairPercent, character, percent, style);
  PlayerOf(character).description.facial_hair = HairStyle{percent, style};
}

void NetSetHeadHairPercent(AShooterCharacter* character, float percent, int32_t style) {
  JournalCall(sym::AShooterCharacter::NetSetHeadHairPercent, character, percent, style);
  PlayerOf(character).description.head_hair = HairStyle{percent, style};
}

void GiveHexagons(AShooterCharacter* character, int32_t amount, int32_t count, float chance,
                  int32_t loot_table, float multiplier, FVector location, int32_t quality,
                  bool notify) {
  JournalCall(sym::AShooterCharacter::GiveHexagons, character, amount, count, chance, loot_table,
              multiplier, location, quality, notify);
  PlayerOf(character).description.hexagons += amount;
}

// The REF of an object the player was sent along with a message; none for null.
std::optional<std::string> RefOrNone(const void* object) {
  if (object == nullptr) return std::nullopt;
  return W().RefOf(FromSdk(object));
}

void ClientChatMessage(AShooterPlayerController* controller, FPrimalChatMessage message) {
  JournalCall(sym::AShooterPlayerController::ClientChatMessage, controller, message);
  InboxEntry entry;
  entry.kind = "chat";
  entry.sender = ToUtf8(message.SenderName);
  entry.sender_account = ToUtf8(message.SenderAccountName);
  entry.sender_tribe = ToUtf8(message.SenderTribeName);
  entry.sender_id = message.SenderId;
  entry.text = ToUtf8(message.Message);
  entry.receiver = ToUtf8(message.Receiver);
  entry.sender_team = message.SenderTeamIndex;
  entry.received_time = message.ReceivedTime;
  entry.send_mode = message.SendMode;
  entry.radio_frequency = message.RadioFrequency;
  entry.chat_type = message.ChatType;
  entry.sender_icon = RefOrNone(message.SenderIcon);
  entry.from_server = message.bFromServer;
  entry.user_id = ToUtf8(message.UserId);
  PlayerOf(controller).description.inbox.push_back(std::move(entry));
}

void ClientServerChatDirectMessage(AShooterPlayerController* controller, FString& message,
                                   FLinearColor colour, bool bold, FString& sender_id) {
  JournalCall(sym::AShooterPlayerController::ClientServerChatDirectMessage, controller, message,
              colour, bold, sender_id);
  InboxEntry entry;
  entry.kind = "direct";
  entry.text = ToUtf8(message);
  entry.colour = Colour{colour.R, colour.G, colour.B, colour.A};
  entry.bold = bold;
  entry.sender = ToUtf8(sender_id);
  PlayerOf(controller).description.inbox.push_back(std::move(entry));
}

void ClientServerNotification(AShooterPlayerController* controller, FString& message,
                              FLinearColor colour, float scale, float seconds, UTexture2D* icon,
                              USoundBase* sound, int32_t priority) {
  JournalCall(sym::AShooterPlayerController::ClientServerNotification, controller, message, colour,
              scale, seconds, icon, sound, priority);
  InboxEntry entry;
  entry.kind = "notification";
  entry.text = ToUtf8(message);
  entry.colour = Colour{colour.R, colour.G, colour.B, colour.A};
  entry.scale = scale;
  entry.seconds = seconds;
  entry.icon = RefOrNone(icon);
  entry.sound = RefOrNone(sound);
  entry.priority = priority;
  PlayerOf(controller).description.inbox.push_back(std::move(entry));
}

AShooterCharacter* GetPlayerCharacter(AShooterPlayerController* controller) {
  return ToSdk<AShooterCharacter>(PlayerOf(controller).character);
}

void AddExperience(AShooterPlayerController* controller, float amount, bool from_tribe_share,
                   bool prevent_sharing) {
  JournalCall(sym::AShooterPlayerController::AddExperience, controller, amount, from_tribe_share,
              prevent_sharing);
  PlayerOf(controller).description.experience += amount;
}

// Spawns the class the blueprint names at the player's location plus the offset (the player
// faces along X).
AActor* SpawnActor(AShooterPlayerController* controller, FString& blueprint, float distance,
                   float y_offset, float z_offset, bool do_deferred_begin_play) {
  JournalCall(sym::AShooterPlayerController::SpawnActor, controller, blueprint, distance, y_offset,
              z_offset, do_deferred_begin_play);
  const FVector& from = ControllerOf(controller)->current_player_character_location;
  const FVector at{from.X + distance, from.Y + y_offset, from.Z + z_offset};
  return ToSdk<AActor>(W().Spawn(blueprint.View(), at));
}

// Succeeds for a path of the item catalogue; the item goes to the player's inventory and a new
// item object into `items`.
bool GiveItem(AShooterPlayerController* controller, TArray<UPrimalItem*>& items, FString& path,
              int32_t quantity, float quality, bool force_blueprint, bool auto_equip,
              float min_random_quality) {
  JournalCall(sym::AShooterPlayerController::GiveItem, controller, items, path, quantity, quality,
              force_blueprint, auto_equip, min_random_quality);
  const std::string* item = W().CatalogueItem(path.View());
  if (item == nullptr) return false;
  PlayerOf(controller).description.inventory.push_back({*item, quantity, quality, force_blueprint});
  items.Add(ToSdk<UPrimalItem>(W().MakeItem()));
  return true;
}

// Succeeds for an index into the item catalogue.
bool GiveItemNum(AShooterPlayerController* controller, int32_t index, int32_t quantity,
                 float quality, bool force_blueprint) {
  JournalCall(sym::AShooterPlayerController::GiveItemNum, controller, index, quantity, quality,
              force_blueprint);
  const std::string* item = W().CatalogueItem(index);
  if (item == nullptr) return false;
  PlayerOf(controller).description.inventory.push_back({*item, quantity, quality, force_blueprint});
  return true;
}

FString* GetUniqueNetIdAsString(AShooterPlayerController* controller, FString* result) {
  *result = FString(std::u16string_view(PlayerOf(controller).eos_id));
  return result;
}

void SetPlayerPos(AShooterPlayerController* controller, float x, float y, float z) {
  JournalCall(sym::AShooterPlayerController::SetPlayerPos, controller, x, y, z);
  W().MovePlayer(PlayerOf(controller), FVector{x, y, z});
}

FString* LinkedPlayerIDString(AShooterPlayerController* controller, FString* result) {
  return Assign(result, std::to_string(ControllerOf(controller)->linked_player_id));
}

FString* GetPlayerCharacterName(AShooterPlayerController* controller, FString* result) {
  return Assign(result, PlayerOf(controller).description.character_name);
}

bool IsInTribe(AShooterPlayerController* controller) {
  const auto& tribe = PlayerOf(controller).description.tribe;
  return tribe && W().FindTribe(*tribe) != nullptr;
}

FString* GetPlayerName(AShooterPlayerState* state, FString* result) {
  return Assign(result, PlayerOf(state).description.player_name.value_or(""));
}

// The tribe's taming settings: a dino tamed by a tribe member is tamed for the tribe.
void SetTribeTamingDinoSettings(AShooterPlayerState* state, APrimalDinoCharacter* dino) {
  JournalCall(sym::AShooterPlayerState::SetTribeTamingDinoSettings, state, dino);
  const int32_t tribe = static_cast<PlayerState*>(FromSdk(state))->my_tribe_data.tribe_id;
  if (tribe != 0 && dino != nullptr) static_cast<Dino*>(FromSdk(dino))->taming_team_id = tribe;
}

}  // namespace

void RegisterPlayerFunctions() {
  namespace pc = sym::AShooterPlayerController;
  framework::Register(sym::AShooterCharacter::NetSetFacialHairPercent, &NetSetFacialHairPercent);
  framework::Register(sym::AShooterCharacter::NetSetHeadHairPercent, &NetSetHeadHairPercent);
  framework::Register(sym::AShooterCharacter::GiveHexagons, &GiveHexagons);
  framework::Register(pc::ClientChatMessage, &ClientChatMessage);
  framework::Register(pc::ClientServerChatDirectMessage, &ClientServerChatDirectMessage);
  framework::Register(pc::ClientServerNotification, &ClientServerNotification);
  framework::Register(pc::GetPlayerCharacter, &GetPlayerCharacter);
  framework::Register(pc::AddExperience, &AddExperience);
  framework::Register(pc::SpawnActor, &SpawnActor);
  framework::Register(pc::GiveItem, &GiveItem);
  framework::Register(pc::GiveItemNum, &GiveItemNum);
  framework::Register(pc::GetUniqueNetIdAsString, &GetUniqueNetIdAsString);
  framework::Register(pc::SetPlayerPos, &SetPlayerPos);
  framework::Register(pc::LinkedPlayerIDString, &LinkedPlayerIDString);
  framework::Register(pc::GetPlayerCharacterName, &GetPlayerCharacterName);
  framework::Register(pc::IsInTribe, &IsInTribe);
  framework::Register(sym::AShooterPlayerState::GetPlayerName, &GetPlayerName);
  framework::Register(sym::AShooterPlayerState::SetTribeTamingDinoSettings,
                      &SetTribeTamingDinoSettings);
}

}  // namespace game::members
