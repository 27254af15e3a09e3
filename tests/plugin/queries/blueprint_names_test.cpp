// How class and actor blueprint paths are spelled: the "_C" suffix, "Default__" and bare paths.
#include "queries/blueprint_names.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/game_access.h"
#include "queries/entity_lookup.h"
#include "tests/support/test_world.h"

namespace {

using nlohmann::json;

std::u16string U(const FString& s) { return std::u16string(s.View()); }

// Level order: dinos, then structures, then other actors.
class BlueprintNames : public ::testing::Test {
 protected:
  BlueprintNames()
      : world_(json{
            {"classes",
             {{{"name", "Raptor_Character_BP_C"},
               {"kind", "dino"},
               {"path", "/Game/Dinos/Raptor_Character_BP.Default__Raptor_Character_BP_c"}},
              {{"name", "Wall_C"},
               {"kind", "structure"},
               {"path", "/Game/Default__/Wall.Default__Wall_C"}},
              {{"name", "PrimalItemStructure_Wall_C"},
               {"kind", "item"},
               {"path", "/Game/Items/Wall.Default__PrimalItemStructure_Wall_C"}},
              {{"name", "PickupWall_C"}, {"kind", "item"}, {"path", "/Game/Items/default__Pickup"}},
              {{"name", "Crate_C"}, {"kind", "actor"}}}},
            {"dinos", {{{"class", "Raptor_Character_BP_C"}, {"id1", 1}, {"id2", 2}}}},
            {"structures",
             {{{"class", "Wall_C"},
               {"consumes_item", "PrimalItemStructure_Wall_C"},
               {"pickup_item", "PickupWall_C"}},
              {{"class", "Wall_C"}, {"pickup_item", "PickupWall_C"}},
              {{"class", "Wall_C"}}}},
            {"actors", {{{"class", "Crate_C"}}}}}
                   .dump()) {
    orvane::ForEachLevelActor([&](AActor* a) { actors_.push_back(a); });
  }
  AActor* dino() { return actors_[0]; }
  APrimalStructure* structure(int i) { return static_cast<APrimalStructure*>(actors_[1 + i]); }

  support::TestWorld world_;
  std::vector<AActor*> actors_;
};

TEST_F(BlueprintNames, SuffixDroppedInEitherCaseAndDefaultRemovedOnlyInActorForm) {
  UClass* raptor = orvane::host::ClassOf(dino());
  EXPECT_EQ(U(orvane::ClassBlueprintPath(raptor)),
            u"Blueprint'/Game/Dinos/Raptor_Character_BP.Default__Raptor_Character_BP'");
  EXPECT_EQ(U(orvane::ActorBlueprintPath(dino())),
            u"Blueprint'/Game/Dinos/Raptor_Character_BP.Raptor_Character_BP'");
  EXPECT_EQ(U(orvane::ActorBlueprintPath(structure(0))), u"Blueprint'/Game//Wall.Wall'")
      << "every occurrence goes";
  EXPECT_EQ(U(orvane::ClassBlueprintPath(
                orvane::host::Field(structure(0), sym::APrimalStructure::PickupGivesItem))),
            u"Blueprint'/Game/Items/default__Pickup'")
      << "no suffix: wrapped whole; lower-case default__ stays";
  EXPECT_EQ(U(orvane::ActorClassName(dino())), u"Raptor_Character_BP_C");
}

}  // namespace
