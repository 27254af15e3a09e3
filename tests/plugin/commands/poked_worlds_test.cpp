// What the command transcripts (transcripts/*.transcript) cannot show: worlds changed in ways
// a world file cannot say (status values, a pawn without a root component, structures joining
// a tribe while destruction repeats are pending), and the stress test's search times.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "sdk/api.h"
#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;
using nlohmann::json;

const std::string kForceDestroy(sym::AActor::ForceDestroy.name);

class PokedWorld : public support::CommandTest {
 protected:
  PokedWorld()
      : CommandTest(R"({"dinos": [{"class": "Raptor_Character_BP_C", "id1": 1, "id2": 1,
                                   "team": 1000001, "food": [100, 800]}],
                        "players": [{"eos_id": "e1"}, {"eos_id": "e7", "position": [1, 2, 3]}]})") {
  }
};

TEST_F(PokedWorld, FeedingLeavesTheOtherStatusValuesAlone) {
  auto* dino = support::CallGame(sym::APrimalDinoCharacter::FindDinoWithID,
                                 HostApi::GetApiUtils().CurrentWorld(), 1u, 1u);
  auto* status = support::FieldOf(dino, sym::APrimalCharacter::MyCharacterStatusComponent);
  float* current =
      support::FieldOf(status, sym::UPrimalCharacterStatusComponent::CurrentStatusValues);
  current[1] = 7.0F;
  EXPECT_EQ(Replies(u"GiveTribeDinosFood 1000001"), Strings{"Successfully feeded 1 dino(s)"});
  EXPECT_EQ(current[1], 7.0F);
}

TEST_F(PokedWorld, TeleportToAPawnWithoutARootComponentIsRefused) {
  auto* target = HostApi::GetApiUtils().FindPlayerByEosId(FString(u"e7"));
  APawn* pawn = support::FieldOf(target, sym::AController::Pawn);
  USceneComponent*& root = support::FieldOf(pawn, sym::AActor::RootComponent);
  USceneComponent* kept = root;
  root = nullptr;
  EXPECT_EQ(Replies(u"TeleportToPlayer e1 e7"), Strings{"Player location is invalid"});
  root = kept;
  EXPECT_TRUE(world().JournalOf(sym::AShooterPlayerController::SetPlayerPos.name).empty());
}

// Search times are logged in units of 100 seconds, so a quick search shows 0ms.
TEST_F(PokedWorld, StressTestSearchTimesAreLoggedInUnitsOf100Seconds) {
  world().Dispatch(u"TestCommand");
  const Strings lines = world().host().log().lines();
  auto search = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.ends_with("######## Search Summery: ########");
  });
  ASSERT_LT(search + 7, lines.end());
  for (int i = 1; i <= 7; ++i) EXPECT_TRUE(search[i].ends_with(": 0ms")) << search[i];
}

// The framework's clock moved forward, the timer ticked. Margins of several seconds keep the real
// clock's own progress out of the outcome.
class TimedRepeats : public support::CommandTest {
 protected:
  TimedRepeats()
      : CommandTest(nlohmann::json{{"structures",
                                    {{{"class", "StoneWall_C"}, {"team", 1000001}},
                                     {{"class", "StoneWall_C"}, {"team", 1000002}},
                                     {{"class", "StoneWall_C"}, {"team", 1000002}},
                                     {{"class", "StoneWall_C"}, {"team", 1000002}}}}}
                        .dump()) {
    // The level holds nothing but the structures, in file order.
    ULevel* level =
        support::FieldOf(HostApi::GetApiUtils().CurrentWorld(), sym::UWorld::PersistentLevel);
    for (AActor* actor : support::FieldOf(level, sym::ULevel::Actors)) structures_.push_back(actor);
  }

  // Structure `index` of the world file joins tribe 1000001.
  void JoinTribe(int index) {
    support::FieldOf(structures_[index], sym::UPrimalActor::TargetingTeam) = 1000001;
  }
  // Moves the clock on and runs the timers; the structures force-destroyed by then.
  Strings AdvanceAndTick(int seconds) {
    EXPECT_TRUE(framework::AdvanceClock(std::chrono::seconds(seconds)));
    framework::TickTimers();
    Strings targets;
    for (const json& call : world().JournalOf(kForceDestroy)) targets.push_back(call["self"]);
    return targets;
  }
  int Sweeps() { return world().host().log().Count("Timed Destroyed Requested"); }

  std::vector<AActor*> structures_;
};

TEST_F(TimedRepeats, StructuresAreDestroyedAgain15And20SecondsLater) {
  EXPECT_EQ(Replies(u"DestroyTribeStructures 1000001"), Strings{"Destroyed 1 structure(s)!"});
  JoinTribe(1);
  EXPECT_EQ(AdvanceAndTick(10), Strings{"structure:0"});
  EXPECT_EQ(Sweeps(), 0);
  EXPECT_EQ(AdvanceAndTick(6), (Strings{"structure:0", "structure:1"}));
  EXPECT_EQ(Sweeps(), 1);
  JoinTribe(2);
  EXPECT_EQ(AdvanceAndTick(5), (Strings{"structure:0", "structure:1", "structure:2"}));
  EXPECT_EQ(Sweeps(), 2);
  JoinTribe(3);
  EXPECT_EQ(AdvanceAndTick(100).size(), 3u) << "two repeats only";
  EXPECT_EQ(Sweeps(), 2);
}

}  // namespace
