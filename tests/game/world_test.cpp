#include "game/world/world.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "game/memory/allocator.h"
#include "sdk/api.h"
#include "tests/support/test_world.h"

namespace {

using nlohmann::json;
using support::CallGame;
using support::FieldOf;
using support::TestWorld;

constexpr const char* kSmallWorld = R"({
  "tribes": [{"id": 1000001, "name": "Night Owls", "log": ["Day 3: a wall", "Day 4: a door"]}],
  "classes": [{"name": "Raptor_Character_BP_C", "kind": "dino",
               "path": "/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP_C"},
              {"name": "Wall_C", "kind": "structure"}],
  "players": [{"eos_id": "alice", "team": 1000001, "position": [10, 20, 30]},
              {"eos_id": "bob", "position": [500, 0, 0]}],
  "dinos": [{"class": "Raptor_Character_BP_C", "id1": 11, "id2": 22, "position": [100, 0, 0]},
            {"class": "Raptor_Character_BP_C", "id1": 33, "id2": 44, "position": [0, 200, 0]}],
  "structures": [{"class": "Wall_C", "team": 1000001, "position": [0, 0, 300]}],
  "actors": [{"class": "Crate_C", "position": [0, 0, 0]}]
})";

UWorld* CurrentWorld() { return HostApi::GetApiUtils().CurrentWorld(); }
AShooterPlayerController* Player(const char* eos) {
  return HostApi::GetApiUtils().FindPlayerByEosId(FString(eos));
}
APrimalDinoCharacter* Dino(uint32_t id1, uint32_t id2) {
  return CallGame(sym::APrimalDinoCharacter::FindDinoWithID, CurrentWorld(), id1, id2);
}
const TArray<AActor*>& LevelActors() {
  return FieldOf(FieldOf(CurrentWorld(), sym::UWorld::PersistentLevel), sym::ULevel::Actors);
}
TArray<AActor*> ActorsOfClass(UClass* cls) {
  TArray<AActor*> out;
  CallGame(sym::UGameplayStatics::GetAllActorsOfClass, CurrentWorld(), TSubclassOf<AActor>{cls},
           out);
  return out;
}
bool Contains(const TArray<AActor*>& actors, const void* actor) {
  for (AActor* a : actors)
    if (a == actor) return true;
  return false;
}

TEST(World, DestroyedActorsLeaveEveryQueryAndTheirWeakReferencesGoStale) {
  TestWorld world(kSmallWorld);
  auto* dino = Dino(11, 22);
  ASSERT_NE(dino, nullptr);
  EXPECT_TRUE(CallGame(sym::APrimalDinoCharacter::Destroy, dino, true, false));
  EXPECT_EQ(Dino(11, 22), nullptr);
  EXPECT_FALSE(
      Contains(ActorsOfClass(CallGame(sym::APrimalDinoCharacter::GetPrivateStaticClass)), dino));
  EXPECT_FALSE(Contains(LevelActors(), dino));
  world.game().CollectGarbage();
  EXPECT_EQ(LevelActors().Num(), 7) << "compacted";
  EXPECT_EQ(Dino(11, 22), nullptr) << "gone from the index once collected";

  // A disconnected player's entry in the controller list goes stale; the character stays.
  auto* bob = Player("bob");
  auto* character = CallGame(sym::AShooterPlayerController::GetPlayerCharacter, bob);
  const auto& list = FieldOf(CurrentWorld(), sym::UWorld::PlayerControllerList);
  ASSERT_EQ(list.Num(), 2);
  EXPECT_EQ(CallGame(sym::FWeakObjectPtr::Get, &list[1], false), bob);
  EXPECT_TRUE(world.game().Disconnect(u"bob"));
  EXPECT_FALSE(world.game().Disconnect(u"bob"));
  EXPECT_EQ(CallGame(sym::FWeakObjectPtr::Get, &list[1], false), nullptr);
  EXPECT_EQ(Player("bob"), nullptr);
  EXPECT_FALSE(Contains(LevelActors(), bob));
  EXPECT_TRUE(Contains(LevelActors(), character));

  // A kick does the same; a killed character is dead and stays.
  auto* alice = Player("alice");
  auto* alice_character = CallGame(sym::AShooterPlayerController::GetPlayerCharacter, alice);
  CallGame(sym::APrimalCharacter::Suicide, alice_character);
  EXPECT_TRUE(CallGame(sym::APrimalCharacter::IsDead, alice_character));
  FString reason(u"bye");
  EXPECT_TRUE(CallGame(sym::AShooterGameMode::KickPlayerController,
                       HostApi::GetApiUtils().CurrentGameMode(), alice, reason));
  EXPECT_EQ(CallGame(sym::FWeakObjectPtr::Get, &list[0], false), nullptr);
  EXPECT_FALSE(CallGame(sym::AShooterGameMode::KickPlayerController,
                        HostApi::GetApiUtils().CurrentGameMode(), alice, reason))
      << "a kicked controller is kicked once";
  world.game().CollectGarbage();
  EXPECT_EQ(CallGame(sym::FWeakObjectPtr::Get, &list[1], false), nullptr) << "once collected";

  const json state = world.State();
  EXPECT_EQ(state["dinos"].size(), 1u);
  EXPECT_EQ(state["players"][0]["stale"], true);
  EXPECT_EQ(state["players"][0]["character"], "dead");
  EXPECT_EQ(state["players"][0]["kick_message"], "bye");
  EXPECT_EQ(state["players"][1]["stale"], true);
  EXPECT_EQ(state["game_state"]["players_connected"], 0);
}

// Dino and structure queries are answered from per-kind lists: after spawns and destructions
// they still give exactly what a walk over the level gives, in level order.
TEST(World, ClassQueriesGiveWhatALevelWalkGivesAfterSpawnsAndDestructions) {
  TestWorld world(R"({
    "classes": [{"name": "Rex_Character_BP_C", "kind": "dino",
                 "path": "/Game/Dinos/Rex/Rex_Character_BP.Default__Rex_Character_BP_C"},
                {"name": "Raptor_Character_BP_C", "kind": "dino"},
                {"name": "Wall_C", "kind": "structure",
                 "path": "/Game/Walls/Wall.Default__Wall_C"}],
    "players": [{"eos_id": "alice", "position": [1, 2, 3]}],
    "dinos": [{"class": "Rex_Character_BP_C", "id1": 1, "id2": 1},
              {"class": "Raptor_Character_BP_C", "id1": 2, "id2": 2},
              {"class": "Rex_Character_BP_C", "id1": 3, "id2": 3}],
    "structures": [{"class": "Wall_C"}, {"class": "Wall_C"}],
    "actors": [{"class": "Crate_C"}]
  })");
  FString rex(u"Blueprint'/Game/Dinos/Rex/Rex_Character_BP.Rex_Character_BP'");
  FString wall(u"Blueprint'/Game/Walls/Wall.Wall'");
  auto* alice = Player("alice");
  ASSERT_NE(CallGame(sym::AShooterPlayerController::SpawnActor, alice, rex, 1.0F, 0.0F, 0.0F, true),
            nullptr);
  ASSERT_NE(
      CallGame(sym::AShooterPlayerController::SpawnActor, alice, wall, 1.0F, 0.0F, 0.0F, true),
      nullptr);
  std::vector<UClass*> classes = {CallGame(sym::APrimalDinoCharacter::GetPrivateStaticClass),
                                  CallGame(sym::APrimalStructure::GetPrivateStaticClass),
                                  CallGame(sym::APawn::GetPrivateStaticClass),
                                  CallGame(sym::AActor::StaticClass)};
  classes.push_back(
      FieldOf(static_cast<const AActor*>(Dino(3, 3)), sym::UObjectBase::ClassPrivate));
  // Two destructions leave departed entries in the dinos' list until the world collects: the
  // queries skip them before, and find the rest at their new places after.
  CallGame(sym::APrimalDinoCharacter::Destroy, Dino(1, 1), true, false);
  CallGame(sym::APrimalDinoCharacter::Destroy, Dino(2, 2), true, false);
  for (int collected = 0; collected < 2; ++collected) {
    for (UClass* cls : classes) {
      std::vector<AActor*> walked;
      for (AActor* actor : LevelActors()) {
        if (actor != nullptr &&
            CallGame(sym::UStruct::IsChildOf,
                     FieldOf(static_cast<const AActor*>(actor), sym::UObjectBase::ClassPrivate),
                     cls))
          walked.push_back(actor);
      }
      const TArray<AActor*> found = ActorsOfClass(cls);
      EXPECT_EQ(std::vector<AActor*>(found.begin(), found.end()), walked);
    }
    world.game().CollectGarbage();
  }
}

TEST(World, ProfilesAreFilesInTheMapFolderOfTheSaveFolder) {
  TestWorld world(R"({"save_directory": "Saves/A", "profiles": ["p1", "p2"]})",
                  {.make_root = true});
  const std::string folder = world.root() + "/Saved/Saves/A/TheIsland_WP";
  EXPECT_TRUE(std::filesystem::exists(folder + "/p1.playerprofile"));
  ASSERT_TRUE(std::filesystem::remove(folder + "/p2.playerprofile"));
  EXPECT_EQ(world.State()["profiles"], json::array({"p1"})) << "the export lists what is there";
}

TEST(World, BuildingAndDestroyingAGameLeavesNoBlockBehind) {
  support::TestHost host;
  const int64_t before = host.live_blocks();
  {
    auto game = game::Game::Create(game::DefaultWorldJson(), "");
    game->Install();
    EXPECT_GT(host.live_blocks(), before + 3000);
  }
  EXPECT_EQ(host.live_blocks(), before);
}

}  // namespace
