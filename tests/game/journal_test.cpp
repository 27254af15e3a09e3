#include "game/journal/journal.h"

#include <gtest/gtest.h>

#include <limits>

#include "framework/host/command_registry.h"
#include "sdk/api.h"
#include "tests/support/test_world.h"

namespace {

using nlohmann::json;
using support::CallGame;
using support::TestWorld;

constexpr const char* kWorld = R"({
  "classes": [{"name": "Raptor_Character_BP_C", "kind": "dino"}],
  "players": [{"eos_id": "alice", "character_name": "Alice"}],
  "dinos": [{"class": "Raptor_Character_BP_C", "id1": 11, "id2": 22}],
  "structures": [{"class": "Wall_C"}, {"class": "Wall_C"}]
})";

AShooterPlayerController* Alice() {
  return HostApi::GetApiUtils().FindPlayerByEosId(FString("alice"));
}
APrimalDinoCharacter* Raptor() {
  return CallGame(sym::APrimalDinoCharacter::FindDinoWithID, HostApi::GetApiUtils().CurrentWorld(),
                  11u, 22u);
}

TEST(Journal, NumbersJsonCannotHoldAreWrittenAsWorldFilesWriteThem) {
  TestWorld world(kWorld);
  const double inf = std::numeric_limits<double>::infinity();
  FVector to{std::numeric_limits<double>::quiet_NaN(), inf, -inf};
  FRotator rotation{0, 0, 0};
  CallGame(sym::APrimalCharacter::TeleportTo, reinterpret_cast<APrimalCharacter*>(Raptor()), to,
           rotation, true, false);
  ASSERT_EQ(world.journal_lines().size(), 1u);
  EXPECT_EQ(json::parse(world.journal_lines()[0])["args"][0],
            json::parse(R"(["nan", "inf", "-inf"])"));
}

TEST(Journal, RepliesAreJournaledAndReadsAreNot) {
  TestWorld world(kWorld);
  HostApi::GetCommands().AddRconCommand(
      FString("Echo"), [](RCONClientConnection* c, RCONPacket* p, UWorld*) {
        FString name;
        CallGame(sym::AShooterPlayerController::GetPlayerCharacterName, Alice(), &name);
        FString reply(u"caf\u00e9");
        CallGame(sym::RCONClientConnection::SendMessage, c, p->Id, p->Type, reply);
      });
  const auto replies = world.Dispatch(u"Echo", 41, 2);
  framework::RemoveEntriesOf("host");
  ASSERT_EQ(replies.size(), 1u);
  const auto lines = world.Journal();
  ASSERT_EQ(lines.size(), 1u) << "the name read is not journaled";
  EXPECT_EQ(lines[0]["fn"], sym::RCONClientConnection::SendMessage.name);
  EXPECT_EQ(lines[0]["self"].get<std::string>().rfind("connection:", 0), 0u);
  EXPECT_EQ(lines[0]["args"], json::array({41, 2, "caf\u00e9"}));
}

}  // namespace
