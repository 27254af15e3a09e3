#include "game/journal/journal.h"

#include <gtest/gtest.h>

#include <limits>

#include "framework/host/command_registry.h"
#include "sdk/api.h"
#include "tests/support/test_world.h"

namespace {

using nlohmann::json;
using support::CallGame;
using support::FieldOf;
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

TEST(Journal, LineHoldsNameSelfAndArgumentsInThatOrder) {
  TestWorld world(kWorld);
  FVector to{1, 2.5, -3};
  FRotator rotation{0, 90, 0};
  CallGame(sym::APrimalCharacter::TeleportTo, reinterpret_cast<APrimalCharacter*>(Raptor()), to,
           rotation, true, false);
  ASSERT_EQ(world.journal_lines().size(), 1u);
  EXPECT_EQ(
      world.journal_lines()[0],
      R"x({"fn":"APrimalCharacter.TeleportTo(UE::Math::TVector<double>&,UE::Math::TRotator<double>&,bool,bool)",)x"
      R"x("self":"dino:11:22","args":[[1.0,2.5,-3.0],[0.0,90.0,0.0],true,false]})x");
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

TEST(Journal, ArgumentsAreEncodedByTheirKind) {
  TestWorld world(kWorld);
  auto* alice = Alice();
  auto* cheats =
      static_cast<UShooterCheatManager*>(FieldOf(alice, sym::APlayerController::CheatManager));

  FPrimalChatMessage message;
  message.SenderName = FString(u"Admin");
  message.Message = FString(u"h\u00e9llo");
  message.ChatType = 1;
  CallGame(sym::AShooterPlayerController::ClientChatMessage, alice, message);

  FString text(u"Hi");
  FString none;
  CallGame(sym::AShooterPlayerController::ClientServerChatDirectMessage, alice, text,
           FLinearColor{1, 1, 0, 1}, false, none);
  CallGame(sym::AShooterPlayerController::AddExperience, alice, 0.1F, true, false);

  ::FName tier;
  ::FName quality;
  CallGame(sym::FName::Construct, &tier, "Flak", FNAME_Find);
  CallGame(sym::FName::Construct, &quality, "Mastercraft", FNAME_Find);
  CallGame(sym::UShooterCheatManager::GiveArmorSet, cheats, tier, quality);

  auto* status = FieldOf(reinterpret_cast<APrimalCharacter*>(Raptor()),
                         sym::APrimalCharacter::MyCharacterStatusComponent);
  CallGame(sym::UPrimalCharacterStatusComponent::AddExperience, status, 25.0F, false,
           EXPType::XP_GENERIC);
  CallGame(sym::APrimalDinoCharacter::TameDino, Raptor(), alice, true, 0, true, true, false);
  // Level order: the controller, the character, the dino, then the two structures.
  CallGame(sym::AActor::ForceDestroy,
           FieldOf(FieldOf(HostApi::GetApiUtils().CurrentWorld(), sym::UWorld::PersistentLevel),
                   sym::ULevel::Actors)[4]);

  const auto lines = world.Journal();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0]["self"], "controller:alice");
  EXPECT_EQ(lines[0]["args"][0],
            json::array({"Admin", "", "", 0, "h\u00e9llo", "", 0, 0.0, 0, 0, 1, nullptr, 0, ""}))
      << "a record is the array of its fields";
  EXPECT_EQ(lines[1]["args"], json::array({"Hi", json::array({1.0, 1.0, 0.0, 1.0}), false, ""}));
  EXPECT_EQ(lines[2]["args"][0].get<double>(), static_cast<double>(0.1F))
      << "a float's exact value";
  EXPECT_EQ(lines[3]["self"], "cheatmanager:alice");
  EXPECT_EQ(lines[3]["args"], json::array({"Flak", "Mastercraft"}));
  EXPECT_EQ(lines[4]["self"], "status:dino:11:22");
  EXPECT_EQ(lines[5]["args"][0], "controller:alice");
  EXPECT_EQ(lines[6]["self"], "structure:1");
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
