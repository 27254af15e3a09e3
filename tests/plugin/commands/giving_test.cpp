// Giving commands, dispatched through the loaded plugin: what reaches the game (the journal),
// what the game keeps (the state export) and what the client is told.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <sdk/api.h>

#include <nlohmann/json.hpp>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;
using nlohmann::json;

constexpr char kRifle[] = "Blueprint'/Game/Items/Rifle/PrimalItem_Rifle.PrimalItem_Rifle'";
constexpr char16_t kRifle16[] = u"Blueprint'/Game/Items/Rifle/PrimalItem_Rifle.PrimalItem_Rifle'";
constexpr char kRaptor[] = "Blueprint'/Game/Dinos/Raptor/Raptor_Character_BP.Raptor_Character_BP'";
const std::string kGiveItem(sym::AShooterPlayerController::GiveItem.name);
const std::string kGiveItemNum(sym::AShooterPlayerController::GiveItemNum.name);
const std::string kSpawn(sym::AShooterPlayerController::SpawnActor.name);
constexpr char kNotFound[] = "Can't find player from the given eos id";

// Alice (e1) in tribe 1000001, her player id 2^32 + 412345678; e2 without character or cheat
// manager; a stale entry (e3); e4. Two dinos of tribe 1000001 (one dead), one of another tribe.
constexpr char kWorld[] = R"({
  "classes": [{"name": "Raptor_Character_BP_C", "kind": "dino",
               "path": "/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP_C"},
              {"name": "StoneWall_C", "kind": "structure",
               "path": "/Game/Structures/Stone/StoneWall.Default__StoneWall_C"}],
  "items": ["Blueprint'/Game/Items/Rifle/PrimalItem_Rifle.PrimalItem_Rifle'",
            "Blueprint'/Game/Items/Pike/PrimalItem_Pike.PrimalItem_Pike'"],
  "tribes": [{"id": 1000001, "name": "Night Owls"}],
  "players": [{"eos_id": "e1", "character_name": "Alice", "player_id": 4707312974,
               "team": 1000001, "position": [100, 200, 300]},
              {"eos_id": "e2", "character": "none", "cheat_manager": false},
              {"eos_id": "e3", "stale": true}, {"eos_id": "e4"}],
  "dinos": [{"class": "Raptor_Character_BP_C", "id1": 1, "id2": 1, "team": 1000001,
             "food": [100, 800]},
            {"class": "Raptor_Character_BP_C", "id1": 2, "id2": 2, "team": 1000001,
             "food": [0, 500], "dead": true},
            {"class": "Raptor_Character_BP_C", "id1": 3, "id2": 3, "team": 1000002,
             "food": [10, 900]}]
})";

class Giving : public support::CommandTest {
 protected:
  Giving() : CommandTest(kWorld) {}

  // The entry of `list` in the state export whose `key` is `value`.
  json Entry(const char* list, const char* key, const json& value) {
    const json state = world().State();
    for (const json& entry : state[list])
      if (entry[key] == value) return entry;
    return nullptr;
  }
  json Player(const char* eos) { return Entry("players", "eos_id", eos); }
  // The game functions called since the journal was last cleared, replies left out.
  Strings Calls() {
    Strings fns;
    for (const json& line : world().Journal())
      if (line["fn"] != sym::RCONClientConnection::SendMessage.name) fns.push_back(line["fn"]);
    return fns;
  }
};

TEST_F(Giving, FlagsAreZeroOrAnyOtherNumberAndLettersFail) {
  EXPECT_EQ(Replies(u"GivePlayerXP e1 12.5 0 -3"), Strings{"Successfully added experience"});
  EXPECT_EQ(Replies(u"GivePlayerXP e1 1 7 0"), Strings{"Successfully added experience"});
  EXPECT_EQ(Replies(u"GivePlayerXP e1 1 yes 0"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"GivePlayerXP e9 1 0 0"), Strings{kNotFound});
  auto calls = world().JournalOf(sym::AShooterPlayerController::AddExperience.name);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0]["self"], "controller:e1");
  EXPECT_EQ(calls[0]["args"], (json{12.5, false, true}));
  EXPECT_EQ(calls[1]["args"], (json{1.0, true, false}));
  EXPECT_EQ(Player("e1")["experience"], 13.5);
}

TEST_F(Giving, ItemsLandInTheInventoryWhenTheCatalogueHasThem) {
  EXPECT_EQ(Replies(u"GiveItemToEOSId e1 \"" + std::u16string(kRifle16) + u"\" 3 1.5 1"),
            Strings{"Successfully gave items"})
      << "the quotes are trimmed";
  EXPECT_EQ(world().JournalOf(kGiveItem)[0]["args"],
            (json{json::array(), kRifle, 3, 1.5, true, false, 0.0}));
  EXPECT_EQ(Replies(u"GiveItemToEOSId e1 Blueprint'/Game/Nope.Nope' 1 1 0"),
            Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"GiveItemIndex e1 1 2 0.5 -1"), Strings{"Successfully gave items"});
  EXPECT_EQ(world().JournalOf(kGiveItemNum)[0]["args"], (json{1, 2, 0.5, true}));
  EXPECT_EQ(Replies(u"GiveItemIndex e1 2 2 0.5 0"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"GiveItemIndex e1 1 2 0.5 x"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"GiveItemIndex e9 1 2 0.5 0"), Strings{kNotFound});
  const json inventory = Player("e1")["inventory"];
  ASSERT_EQ(inventory.size(), 2u);
  EXPECT_EQ(inventory[0],
            (json{{"item", kRifle}, {"quantity", 3}, {"quality", 1.5}, {"blueprint", true}}));
  EXPECT_EQ(inventory[1]["item"], "Blueprint'/Game/Items/Pike/PrimalItem_Pike.PrimalItem_Pike'");
}

TEST_F(Giving, GiveItemToAllAnswersOncePerPlayerOnlineWithThePathAsTyped) {
  auto replies = world().Dispatch(u"GiveItemToAll " + std::u16string(kRifle16) + u" 1 1 0", 41);
  ASSERT_EQ(replies.size(), 3u) << "e1, e2 and e4; the stale entry is passed over";
  for (const auto& reply : replies) {
    EXPECT_EQ(reply.id, 41);
    EXPECT_EQ(reply.text, u"Successfully gave items");
  }
  EXPECT_EQ(Player("e4")["inventory"].size(), 1u);
  world().ClearJournal();
  EXPECT_EQ(Replies(u"GiveItemToAll \"" + std::u16string(kRifle16) + u"\" 1 1 0"),
            Strings(3, "Request has failed"))
      << "the quotes are kept, so the catalogue does not know the path";
  EXPECT_EQ(world().JournalOf(kGiveItem)[0]["args"][1], fmt::format("\"{}\"", kRifle));
  EXPECT_EQ(Replies(u"GiveItemToAll x 1 1 no"), Strings{"Request has failed"});

  UseWorld(R"({"players": [{"eos_id": "gone", "stale": true}]})");
  EXPECT_TRUE(Replies(u"GiveItemToAll x 1 1 0").empty());
}

TEST_F(Giving, GiveItemIndexToAllAnswersExactlyOnce) {
  EXPECT_EQ(Replies(u"GiveItemIndexToAll 0 5 2 1"), Strings{"Successfully gave items"});
  EXPECT_EQ(world().JournalOf(kGiveItemNum).size(), 3u);
  EXPECT_EQ(Player("e4")["inventory"][0]["quantity"], 5);
  EXPECT_EQ(Replies(u"GiveItemIndexToAll 99 1 1 0"), Strings{"Successfully gave items"})
      << "the game's refusals are not looked at";
  EXPECT_EQ(Replies(u"GiveItemIndexToAll x 1 1 0"),
            Strings{"Request has failed: invalid stoi argument"});
}

TEST_F(Giving, HexagonsGoToThePlayersCharacter) {
  EXPECT_EQ(Replies(u"GiveHexagon e2 5"), Strings{"Can't find character from the given eos id"});
  EXPECT_EQ(Replies(u"GiveHexagon e1 5x"), Strings{"Successfully added Hexagons"});
  EXPECT_EQ(Replies(u"GiveHexagon e1 -2"), Strings{"Successfully added Hexagons"});
  auto calls = world().JournalOf(sym::AShooterCharacter::GiveHexagons.name);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0]["self"], "character:e1");
  EXPECT_EQ(calls[0]["args"], (json{5, 1, 0.0, 0, 1.0, {0.0, 0.0, 0.0}, 0, true}));
  EXPECT_EQ(Player("e1")["hexagons"], 3);
}

TEST_F(Giving, TribeDinosGetOnlyTheirFoodFilled) {
  // Another status value of the first dino, lowered: feeding must leave it alone.
  auto* dino = support::CallGame(sym::APrimalDinoCharacter::FindDinoWithID,
                                 HostApi::GetApiUtils().CurrentWorld(), 1u, 1u);
  auto* status = support::FieldOf(dino, sym::APrimalCharacter::MyCharacterStatusComponent);
  float* current =
      support::FieldOf(status, sym::UPrimalCharacterStatusComponent::CurrentStatusValues);
  current[1] = 7.0F;
  EXPECT_EQ(Replies(u"GiveTribeDinosFood 1000001"), Strings{"Successfully feeded 2 dino(s)"});
  EXPECT_EQ(Entry("dinos", "id1", 1)["food"], (json{800.0, 800.0}));
  EXPECT_EQ(Entry("dinos", "id1", 2)["food"], (json{500.0, 500.0})) << "the dead are fed too";
  EXPECT_EQ(Entry("dinos", "id1", 3)["food"], (json{10.0, 900.0}));
  EXPECT_EQ(current[1], 7.0F);
  EXPECT_EQ(Replies(u"GiveTribeDinosFood 42"), Strings{"Couldn't find any dino's to feed!"});
}

TEST_F(Giving, ArmorAndEngramsNeedTheCheatManager) {
  EXPECT_EQ(Replies(u"GiveArmorSet e1 Flak Ascendant"),
            Strings{"Successfully Given ArmorSet to player"});
  Replies(u"GiveArmorSet e1 NoSuchTier Ascendant");  // a name the game does not know gives nothing
  auto armor = world().JournalOf(sym::UShooterCheatManager::GiveArmorSet.name);
  ASSERT_EQ(armor.size(), 2u);
  EXPECT_EQ(armor[0]["self"], "cheatmanager:e1");
  EXPECT_EQ(armor[0]["args"], (json{"Flak", "Ascendant"}));
  EXPECT_EQ(Player("e1")["armor_sets"], json::array({json::array({"Flak", "Ascendant"})}));
  EXPECT_EQ(Replies(u"UnlockEngram e1 \"Blueprint'/Game/E.E'\""),
            Strings{"Successfully unlocked engram"});
  EXPECT_EQ(Player("e1")["engrams"], (json{"\"Blueprint'/Game/E.E'\""})) << "quotes are kept";
  EXPECT_EQ(Replies(u"GiveArmorSet e2 Flak Ascendant"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"UnlockEngram e2 Blueprint'/Game/E.E'"), Strings{"Request has failed"});
}

TEST_F(Giving, UnlockBossChecksTheDifficultyFirstAndJoinsTheBossName) {
  const Strings invalid = {"Invalid difficulty value. Valid difficulties are 0,1 or 2."};
  EXPECT_EQ(Replies(u"UnlockBoss e9 3 Manticore"), invalid) << "before the player lookup";
  EXPECT_EQ(Replies(u"UnlockBoss e1 -1 Manticore"), invalid);
  EXPECT_EQ(Replies(u"UnlockBoss e9 1 Manticore"), Strings{kNotFound});
  EXPECT_EQ(Replies(u"UnlockBoss e1 hard Manticore"),
            Strings{"Successfully unlocked boss engrams"});
  EXPECT_EQ(Replies(u"UnlockBoss e1 2  King   Titan"),
            Strings{"Successfully unlocked boss engrams"});
  EXPECT_TRUE(Replies(u"UnlockBoss e2 1 Dragon").empty()) << "no cheat manager, no reply";
  auto calls = world().JournalOf(sym::UShooterCheatManager::DefeatBoss.name);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0]["self"], "cheatmanager:e1");
  EXPECT_EQ(calls[0]["args"], (json{412345678, "Manticore", 0}));
  EXPECT_EQ(calls[1]["args"], (json{412345678, "King Titan", 2}));
  EXPECT_EQ(Player("e1")["bosses"][1], (json{{"boss", "King Titan"}, {"difficulty", 2}}));
}

// What the game keeps of a spawned actor: its name, and a tamed dino its tamer's name too.
constexpr int64_t kBlocksOfSpawnedActor = 1;
constexpr int64_t kBlocksOfTamedDino = 2;
constexpr int64_t kBlocksOfTribeLogEntry = 2;

TEST_F(Giving, SpawnedDinoIsNeuteredLevelledAndStartedWithoutTeleportOrTame) {
  world().ClearJournal();
  const std::string line = "SpawnDinoBP e1 \"" + std::string(kRaptor) + "\" 30 0 1 0 0 0";
  EXPECT_EQ(Replies(std::u16string(line.begin(), line.end())),
            Strings{"Successfully spawned dino"});
  ExpectBlocksKept(kBlocksOfSpawnedActor);
  EXPECT_EQ(Calls(), support::NamesOf(sym::AShooterPlayerController::SpawnActor,
                                      sym::APrimalDinoCharacter::DoNeuter_Implementation,
                                      sym::APrimalDinoCharacter::BeginPlay));
  EXPECT_EQ(world().Journal()[0]["args"], (json{kRaptor, 100.0, 0.0, 0.0, true}))
      << "the quotes are trimmed";
  const json spawned = world().State()["dinos"].back();
  EXPECT_EQ(spawned["level"], 30);
  EXPECT_EQ(spawned["neutered"], true);
  EXPECT_EQ(spawned.value("playing", true), true);
  EXPECT_EQ(spawned["team"], 0);
  EXPECT_EQ(spawned["position"], (json{200.0, 200.0, 300.0})) << "where the spawn put it";
}

TEST_F(Giving, SpawnedDinoIsTamedForThePlayerAndFoundByItsIds) {
  world().ClearJournal();
  const std::string line = "SpawnDinoBP e1 " + std::string(kRaptor) + " 12 -1 0 0 0 5";
  EXPECT_EQ(Replies(std::u16string(line.begin(), line.end())),
            Strings{"Successfully spawned dino"});
  // The taming is also written to the tamer's tribe log, which the game mirrors into the tribe
  // record of each member's player state.
  ExpectBlocksKept(kBlocksOfTamedDino + kBlocksOfTribeLogEntry);
  EXPECT_EQ(
      Calls(),
      support::NamesOf(sym::AShooterPlayerController::SpawnActor, sym::APrimalCharacter::TeleportTo,
                       sym::AShooterPlayerState::SetTribeTamingDinoSettings,
                       sym::APrimalDinoCharacter::TameDino, sym::APrimalDinoCharacter::BeginPlay));
  const auto journal = world().Journal();
  EXPECT_EQ(journal[1]["args"], (json{{0.0, 0.0, 5.0}, {0.0, 0.0, 0.0}, true, false}));
  EXPECT_EQ(journal[2]["self"], "playerstate:e1");
  EXPECT_EQ(journal[3]["args"], (json{"controller:e1", true, 0, true, true, false}));
  const json spawned = world().State()["dinos"].back();
  EXPECT_EQ(spawned["level"], 12);
  EXPECT_EQ(spawned["team"], 1000001);
  EXPECT_EQ(spawned["taming_team"], 1000001);
  EXPECT_EQ(spawned["tamer"], "Alice");
  EXPECT_FALSE(spawned.value("neutered", false));
  const std::string ids = "GetDinoPos " + spawned["id1"].dump() + " " + spawned["id2"].dump();
  EXPECT_EQ(Replies(std::u16string(ids.begin(), ids.end())), Strings{"X=0.000 Y=0.000 Z=5.000"});
}

TEST_F(Giving, SpawnWithoutADinoIsAnsweredAllTheSame) {
  world().ClearJournal();
  EXPECT_EQ(Replies(u"SpawnDinoBP e1 Blueprint'/Game/Nope.Nope' 1 1 1 1 1 1"),
            Strings{"Successfully spawned dino"});
  EXPECT_EQ(Replies(u"SpawnDinoBP e1 Blueprint'/Game/Structures/Stone/StoneWall.StoneWall' 1 1 1 "
                    u"1 1 1"),
            Strings{"Successfully spawned dino"});
  ExpectBlocksKept(kBlocksOfSpawnedActor);  // the wall
  EXPECT_EQ(Calls(), Strings(2, kSpawn));
  EXPECT_EQ(Replies(u"SpawnDinoBP e1 x 1 1 1 1 1 z"), Strings{"Request has failed"});
}

}  // namespace
