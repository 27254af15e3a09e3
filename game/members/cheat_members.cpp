// The cheat managers: the server's own and each player's.
#include <algorithm>

#include "framework/host/address_table.h"
#include "game/members/journal_call.h"
#include "game/members/members.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "sdk/game_members.h"

namespace game {
namespace members {
namespace {

// The player a cheat manager belongs to; null for the server's.
Player* OwnerOf(UShooterCheatManager* cheats) {
  return static_cast<CheatManager*>(FromSdk(cheats))->player;
}

void RenameTribeID(UShooterCheatManager* cheats, int32_t tribe_id, FString& name) {
  JournalCall(sym::UShooterCheatManager::RenameTribeID, cheats, tribe_id, name);
  W().RenameTribe(tribe_id, name.View());
}

// Renames the character of the player whose id has these low 32 bits.
void RenamePlayerId(UShooterCheatManager* cheats, int32_t player_id, FString& name) {
  JournalCall(sym::UShooterCheatManager::RenamePlayerId, cheats, player_id, name);
  if (Player* player = W().FindPlayerById32(player_id)) W().RenamePlayer(*player, name.View());
}

// Names the game does not know (None) give nothing.
void GiveArmorSet(UShooterCheatManager* cheats, ::FName tier, ::FName quality) {
  JournalCall(sym::UShooterCheatManager::GiveArmorSet, cheats, tier, quality);
  Player* player = OwnerOf(cheats);
  if (player == nullptr || tier.ComparisonIndex == 0 || quality.ComparisonIndex == 0) return;
  player->description.armor_sets.emplace_back(ToUtf8(W().names().ToString(tier)),
                                              ToUtf8(W().names().ToString(quality)));
}

void ScriptCommand(UShooterCheatManager* cheats, FString& command) {
  JournalCall(sym::UShooterCheatManager::ScriptCommand, cheats, command);
  Player* player = OwnerOf(cheats);
  (player != nullptr ? player->description.script_commands : W().server_script_commands())
      .push_back(ToUtf8(command));
}

bool InTribe(const Player& player) {
  return player.description.tribe && W().FindTribe(*player.description.tribe) != nullptr;
}

// Gives the player the rank; the tribe's log records a change.
void ChangeTribeRank(Player& player, const char* rank, std::u16string_view logged_as) {
  if (player.description.tribe_rank == rank) return;
  player.description.tribe_rank = rank;
  W().AddTribeLogEntry(*player.description.tribe,
                       ToUtf16(player.description.character_name) + std::u16string(logged_as));
}

void MakeTribeAdmin(UShooterCheatManager* cheats) {
  JournalCall(sym::UShooterCheatManager::MakeTribeAdmin, cheats);
  Player* player = OwnerOf(cheats);
  if (player != nullptr && InTribe(*player) && player->description.tribe_rank != "founder")
    ChangeTribeRank(*player, "admin", u" was promoted to Tribe Admin");
}

// A tribe has one owner: the new founder takes over, and a former founder stays an admin.
void MakeTribeFounder(UShooterCheatManager* cheats) {
  JournalCall(sym::UShooterCheatManager::MakeTribeFounder, cheats);
  Player* player = OwnerOf(cheats);
  if (player == nullptr || !InTribe(*player)) return;
  for (const auto& member : W().players()) {
    PlayerDescription& other = member->description;
    if (member.get() != player && other.tribe == player->description.tribe &&
        other.tribe_rank == "founder")
      other.tribe_rank = "admin";
  }
  ChangeTribeRank(*player, "founder", u" became the Tribe Owner");
}

void UnlockEngram(UShooterCheatManager* cheats, FString& path) {
  JournalCall(sym::UShooterCheatManager::UnlockEngram, cheats, path);
  Player* player = OwnerOf(cheats);
  if (player == nullptr) return;
  auto& engrams = player->description.engrams;
  const std::string engram = ToUtf8(path);
  if (std::find(engrams.begin(), engrams.end(), engram) == engrams.end()) engrams.push_back(engram);
}

// Recorded for the player with that id, or else for the cheat manager's own player; a boss
// name the game does not know (None) gives nothing.
void DefeatBoss(UShooterCheatManager* cheats, int32_t player_id, ::FName boss, char difficulty) {
  JournalCall(sym::UShooterCheatManager::DefeatBoss, cheats, player_id, boss, difficulty);
  if (boss.ComparisonIndex == 0) return;
  Player* player = W().FindPlayerById32(player_id);
  if (player == nullptr) player = OwnerOf(cheats);
  if (player == nullptr) return;
  player->description.bosses.push_back(
      {ToUtf8(W().names().ToString(boss)), static_cast<int32_t>(difficulty)});
}

}  // namespace

void RegisterCheatFunctions() {
  namespace cm = sym::UShooterCheatManager;
  framework::Register(cm::RenameTribeID, &RenameTribeID);
  framework::Register(cm::RenamePlayerId, &RenamePlayerId);
  framework::Register(cm::GiveArmorSet, &GiveArmorSet);
  framework::Register(cm::ScriptCommand, &ScriptCommand);
  framework::Register(cm::MakeTribeAdmin, &MakeTribeAdmin);
  framework::Register(cm::MakeTribeFounder, &MakeTribeFounder);
  framework::Register(cm::UnlockEngram, &UnlockEngram);
  framework::Register(cm::DefeatBoss, &DefeatBoss);
}

}  // namespace members

}  // namespace game
