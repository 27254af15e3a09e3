// Giving commands: items, experience, hexagons, armor sets, engrams, boss unlocks, food and
// spawned dinos, handed to players or to a tribe by the game's own functions. Arguments are
// read before the player is looked up; nothing is kept between requests.
#include <cstdint>
#include <optional>

#include "commands/command_groups.h"
#include "core/format.h"
#include "core/narrow.h"
#include "host/game_access.h"
#include "queries/entity_lookup.h"
#include "queries/lookup_replies.h"
#include "queries/player_details.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;
namespace pc = sym::AShooterPlayerController;

constexpr const char* kGaveItems = "Successfully gave items";
// The reply when the game refuses a give; the same text as the guarded stretch's failure.
constexpr const char* kGiveRefused = "Request has failed";
constexpr int32_t kFoodStatus = 4;  // index of food among the status values

// A flag word: the stoi form, any value but 0 is true.
bool Flag(const CommandArgs& args, int32_t i) { return args.Stoi(i) != 0; }

// The game's name for an administrator's text (unknown texts give the game's "None").
FName GameName(const FString& text) { return host::NameFromText(ToNarrowString(text).c_str()); }

// What an item command asks for: the item (a blueprint path or a catalogue index), then how
// many, of what quality, and whether as a blueprint, from four consecutive words.
template <class Item>
struct ItemOrder {
  Item item{};
  int32_t quantity = 0;
  float quality = 0;
  bool force_blueprint = false;
};

// The ways the item word is read.
FString PathTrimmed(const CommandArgs& args, int32_t i) { return args.Text(i).TrimQuotes(); }
FString PathAsTyped(const CommandArgs& args, int32_t i) { return args.Text(i); }
int32_t CatalogueIndex(const CommandArgs& args, int32_t i) { return args.Stoi(i); }

template <class Item>
ItemOrder<Item> ReadItemOrder(const CommandArgs& args, int32_t first,
                              Item (*read_item)(const CommandArgs&, int32_t)) {
  ItemOrder<Item> order;
  order.item = read_item(args, first);
  order.quantity = args.Stoi(first + 1);
  order.quality = args.Stof(first + 2);
  order.force_blueprint = Flag(args, first + 3);
  return order;
}

// Gives by blueprint path; the item objects the game hands back are not used.
bool Give(AShooterPlayerController* controller, ItemOrder<FString>& order) {
  TArray<UPrimalItem*> items;
  return Call(pc::GiveItem, controller, items, order.item, order.quantity, order.quality,
              order.force_blueprint, false, 0.0F);
}
bool Give(AShooterPlayerController* controller, ItemOrder<int32_t>& order) {
  return Call(pc::GiveItemNum, controller, order.item, order.quantity, order.quality,
              order.force_blueprint);
}

// The course of the item commands for one player: the order from word 2 on, the player, the
// give, and a reply that says whether the game gave.
template <class Item>
void GiveItemToOnePlayer(Request& request, Item (*read_item)(const CommandArgs&, int32_t)) {
  ItemOrder<Item> order;
  AShooterPlayerController* player =
      ReadArgsAndFindPlayer(request, [&] { order = ReadItemOrder(request.Args(), 2, read_item); });
  if (player == nullptr) return;
  request.Reply(Give(player, order) ? kGaveItems : kGiveRefused);
}

// "UnlockBoss" answers too few words with a usage text of four pieces, each brace-formatted.
FString UnlockBossUsage() {
  static constexpr const char16_t* kPieces[] = {
      u"Not enough arguments: UnlockBoss <EOS-ID> <Difficulty> <BossEntryName>\n",
      u"Example: UnlockBoss 1234567891011 0 Manticore\n\n",
      u"Difficulty: 0 - Gamma, 1 - Beta, 2 - Alpha\n",
      u"BossEntryName: Guardian - Overseer\nRockwell - Rockwell\nUberspider - Broodmother "
      u"Lysrix\nMegapithecus - Megapithecus\nDragon - Dragon\nManticore - Manticore\nKing Titan "
      u"- King Titan\nIceKaijuIce - Titan\nForestKaiju - Forest Titan\nDesertKaiju - Desert "
      u"Titan",
  };
  FString usage;
  for (const char16_t* piece : kPieces) usage += Format(piece);
  return usage;
}

// The words from `first` to the last, one blank between them.
FString JoinWords(const CommandArgs& args, int32_t first) {
  FString joined;
  for (int32_t i = first; i < args.Num(); ++i) {
    if (i > first) joined += u" ";
    joined += args[i];
  }
  return joined;
}

// The rest of a spawn once the game made a dino: place it, tame it if asked, neuter it if
// asked, set its level and start it, in that order.
struct DinoOrder {
  int32_t level = 0;
  bool tamed = false;
  bool neutered = false;
  FVector at{};
};

void PrepareSpawnedDino(AShooterPlayerController* controller, APrimalDinoCharacter* dino,
                        const DinoOrder& order) {
  if (order.at.X != 0 || order.at.Y != 0 || order.at.Z != 0) {
    FVector destination = order.at;
    FRotator rotation{0, 0, 0};
    Call(sym::APrimalCharacter::TeleportTo, dino, destination, rotation, true, false);
  }
  if (order.tamed) {
    Field(dino, sym::APrimalDinoCharacter::TamingTeamID) = TeamOf(controller);
    Field(dino, sym::APrimalDinoCharacter::TamerString) = CharacterNameOf(controller);
    // The game would fault on a missing player state; without one the tribe has no settings.
    if (AShooterPlayerState* state = PlayerStateOf(controller))
      Call(sym::AShooterPlayerState::SetTribeTamingDinoSettings, state, dino);
    Call(sym::APrimalDinoCharacter::TameDino, dino, controller, true, 0, true, true, false);
  }
  if (order.neutered) Call(sym::APrimalDinoCharacter::DoNeuter_Implementation, dino);
  Field(dino, sym::APrimalDinoCharacter::AbsoluteBaseLevel) = order.level;
  Call(sym::APrimalDinoCharacter::BeginPlay, dino);
}

void GivePlayerXP(Request& request) {
  if (!request.Require(u"<EOS-ID> <Amount> <FromTribeShare> <PreventSharing>")) return;
  float amount = 0;
  bool from_tribe_share = false, prevent_sharing = false;
  AShooterPlayerController* player = ReadArgsAndFindPlayer(request, [&] {
    amount = request.Args().Stof(2);
    from_tribe_share = Flag(request.Args(), 3);
    prevent_sharing = Flag(request.Args(), 4);
  });
  if (player == nullptr) return;
  Call(pc::AddExperience, player, amount, from_tribe_share, prevent_sharing);
  request.Reply("Successfully added experience");
}

void GiveHexagon(Request& request) {
  if (!request.Require(u"<EOS-ID> <Amount>")) return;
  int32_t amount = 0;
  AShooterPlayerController* player =
      ReadArgsAndFindPlayer(request, [&] { amount = request.Args().Stoi(2); });
  if (player == nullptr) return;
  AShooterCharacter* character = CharacterOf(player);
  if (character == nullptr) return request.Reply(kCharacterNotFound);
  // The command names no place; the origin stands in for the location the game asks for.
  Call(sym::AShooterCharacter::GiveHexagons, character, amount, 1, 0.0F, 0, 1.0F, FVector{}, 0,
       true);
  request.Reply("Successfully added Hexagons");
}

void GiveTribeDinosFood(Request& request) {
  const std::optional<int32_t> tribe_id = ReadTribeId(request, u"<TribeId>");
  if (!tribe_id) return;
  int32_t fed = 0;
  ForEachListedActor(GetActorsOfClass(host::DinoClass()), [&](AActor* actor) {
    if (TeamOf(actor) != *tribe_id) return;
    ++fed;
    UPrimalCharacterStatusComponent* status =
        Field(static_cast<APrimalDinoCharacter*>(actor),
              sym::APrimalCharacter::MyCharacterStatusComponent);
    Field(status, sym::UPrimalCharacterStatusComponent::CurrentStatusValues)[kFoodStatus] =
        Field(status, sym::UPrimalCharacterStatusComponent::MaxStatusValues)[kFoodStatus];
  });
  if (fed > 0) return request.Reply(Format(u"Successfully feeded {} dino(s)", fed));
  request.Reply(Format(u"Couldn't find any dino's to feed!"));
}

void GiveArmorSet(Request& request) {
  if (!request.Require(u"<EOS-ID> <Tier> <Quality>")) return;
  FString tier, quality;
  AShooterPlayerController* player = ReadArgsAndFindPlayer(request, [&] {
    tier = request.Args().Text(2);
    quality = request.Args().Text(3);
  });
  if (player == nullptr) return;
  UShooterCheatManager* cheats = CheatManagerOf(player);
  // Without a cheat manager the game has nothing to give through: the request fails.
  if (cheats == nullptr) return request.Reply(kGiveRefused);
  const FName tier_name = GameName(tier);
  const FName quality_name = GameName(quality);
  Call(sym::UShooterCheatManager::GiveArmorSet, cheats, tier_name, quality_name);
  request.Reply("Successfully Given ArmorSet to player");
}

void GiveItemToEOSId(Request& request) {
  if (!request.RequireWithUsage("Not enough arguments: GiveItemToeosId <EOS-ID> "
                                "<BlueprintPath> <Quantity> <Quality> <ForceBlueprint>"))
    return;
  GiveItemToOnePlayer(request, &PathTrimmed);
}

void GiveItemIndex(Request& request) {
  if (!request.Require(u"<EOS-ID> <ItemID> <Quantity> <Quality> <ForceBlueprint>")) return;
  GiveItemToOnePlayer(request, &CatalogueIndex);
}

void GiveItemToAll(Request& request) {
  if (!request.Require(u"<BlueprintPath> <Quantity> <Quality> <ForceBlueprint>")) return;
  ItemOrder<FString> order;
  if (!request.Guarded([&] { order = ReadItemOrder(request.Args(), 1, &PathAsTyped); })) return;
  // One reply per player, sent as soon as that player's give is done.
  ForEachOnlinePlayer(StaleRule::kSkip, [&](AShooterPlayerController* player) {
    request.Reply(Give(player, order) ? kGaveItems : kGiveRefused);
  });
}

void GiveItemIndexToAll(Request& request) {
  if (!request.Require(u"<ItemID> <Quantity> <Quality> <ForceBlueprint>")) return;
  ItemOrder<int32_t> order;
  if (!request.Guarded([&] { order = ReadItemOrder(request.Args(), 1, &CatalogueIndex); },
                       FailureReply::kWithMessage))
    return;
  // Each player's result is ignored: one reply for the whole walk, also with nobody online.
  ForEachOnlinePlayer(StaleRule::kSkip,
                      [&](AShooterPlayerController* player) { Give(player, order); });
  request.Reply(kGaveItems);
}

void SpawnDinoBP(Request& request) {
  if (!request.Require(u"<EOS-ID> <BlueprintPath> <DinoLevel> <Tamed> <Neutered> <X> <Y> <Z>"))
    return;
  FString path;
  DinoOrder order;
  AShooterPlayerController* player = ReadArgsAndFindPlayer(request, [&] {
    const CommandArgs& args = request.Args();
    path = args.Text(2).TrimQuotes();
    order.level = args.Stoi(3);
    order.tamed = Flag(args, 4);
    order.neutered = Flag(args, 5);
    order.at = FVector{args.Stof(6), args.Stof(7), args.Stof(8)};
  });
  if (player == nullptr) return;
  AActor* spawned = Call(pc::SpawnActor, player, path, 100.0F, 0.0F, 0.0F, true);
  // A spawn that gives nothing, or no dino, is answered like a dino all the same.
  if (spawned != nullptr && IsActorOfClass(spawned, host::DinoClass()))
    PrepareSpawnedDino(player, static_cast<APrimalDinoCharacter*>(spawned), order);
  request.Reply("Successfully spawned dino");
}

// No guarded stretch: the lenient difficulty and the texts cannot fail.
void UnlockBoss(Request& request) {
  if (!request.RequireWithUsage(UnlockBossUsage())) return;
  const CommandArgs& args = request.Args();
  const FString eos_id = args.Text(1);
  const int32_t difficulty = args.LenientInt(2);
  if (difficulty < 0 || difficulty > 2)
    return request.Reply("Invalid difficulty value. Valid difficulties are 0,1 or 2.");
  const FString boss = JoinWords(args, 3);
  AShooterPlayerController* player = FindPlayerOrReply(request, eos_id);
  if (player == nullptr) return;
  const FName boss_name = GameName(boss);
  UShooterCheatManager* cheats = CheatManagerOf(player);
  if (cheats == nullptr) return;  // no reply at all
  const auto player_id =
      static_cast<int32_t>(static_cast<uint32_t>(Field(player, pc::LinkedPlayerID)));
  Call(sym::UShooterCheatManager::DefeatBoss, cheats, player_id, boss_name,
       static_cast<char>(difficulty));
  request.Reply("Successfully unlocked boss engrams");
}

void UnlockEngram(Request& request) {
  if (!request.Require(u"<EOS-ID> <BlueprintPath>")) return;
  FString path;
  AShooterPlayerController* player =
      ReadArgsAndFindPlayer(request, [&] { path = request.Args().Text(2); });
  if (player == nullptr) return;
  UShooterCheatManager* cheats = CheatManagerOf(player);
  if (cheats == nullptr) return request.Reply(kGiveRefused);  // as for the armor set
  Call(sym::UShooterCheatManager::UnlockEngram, cheats, path);
  request.Reply("Successfully unlocked engram");
}

}  // namespace

std::span<const CommandRow> GivingRows() {
  static constexpr CommandRow kRows[] = {
      {2, "GivePlayerXP", &GivePlayerXP},
      {3, "GiveHexagon", &GiveHexagon},
      {12, "GiveTribeDinosFood", &GiveTribeDinosFood},
      {33, "GiveArmorSet", &GiveArmorSet},
      {34, "GiveItemIndex", &GiveItemIndex},
      {35, "GiveItemIndexToAll", &GiveItemIndexToAll},
      {36, "GiveItemToAll", &GiveItemToAll},
      {37, "GiveItemToEOSId", &GiveItemToEOSId},
      {72, "SpawnDinoBP", &SpawnDinoBP},
      {78, "UnlockBoss", &UnlockBoss},
      {79, "UnlockEngram", &UnlockEngram},
  };
  return kRows;
}

}  // namespace orvane
