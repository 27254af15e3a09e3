// The command list is the one source of the registration: every row with a handler is
// registered once, in row order, and counted; a row without a handler is noticed here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/command_table.h"
#include "framework/host/command_registry.h"
#include "tests/support/test_host.h"

namespace {

// Rows whose commands are still being built. Each group removes its names as it lands; a row
// that lost its handler by mistake fails here.
const std::set<std::string> kNotBuiltYet = {
    "DestroyActorAll",
    "DestroyActorWild",
    "DestroyTribeAll",
    "DestroyTribeDinos",
    "DestroyTribePlayers",
    "DestroyTribeStructures",
    "DestroyTribeStructuresByBP",
    "DestroyPlayerProfile",
    "GetActorPos",
    "GetAllActorsPos",
    "GetAllActors",
    "GetAllActorsBp",
    "GetAllDinos",
    "GetTribeLog",
    "GetTribeStructureCount",
    "GetTribeStructurePos",
    "KickAllPlayers",
    "KillAllPlayers",
    "KillPlayer",
    "KillPlayerId",
    "KillUnclaimedDinos",
    "KillAllWildDinos",
    "ListAllStructures",
    "ListAllStructuresInRadius",
    "ListPlayerDinos",
    "ListTribeDinos",
    "ListTribeStructures",
    "ListUnclaimedDinos",
    "ListUnclaimedDinosAmount",
};

std::string Folded(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

TEST(CommandList, SeventyNineDistinctNames) {
  const auto rows = orvane::CommandRows();
  EXPECT_EQ(rows.size(), 79u);
  std::set<std::string> folded;
  for (const auto& row : rows) EXPECT_TRUE(folded.insert(Folded(row.name)).second) << row.name;
  EXPECT_EQ(std::string(rows.front().name), "GiveDinoXP");
  EXPECT_EQ(std::string(rows.back().name), "UnlockEngram");
}

TEST(CommandList, EveryRowHasAHandlerOrIsStillBeingBuilt) {
  std::set<std::string> without_handler;
  for (const auto& row : orvane::CommandRows())
    if (row.handler == nullptr) without_handler.insert(row.name);
  EXPECT_EQ(without_handler, kNotBuiltYet);
}

TEST(CommandList, RowsWithHandlersAreRegisteredOnceInOrderAndCounted) {
  support::TestHost host;
  host.LoadPlugin();
  std::vector<std::u16string> expected = {u"Orvane.info"};
  for (const auto& row : orvane::CommandRows())
    if (row.handler != nullptr) expected.emplace_back(row.name, row.name + std::strlen(row.name));
  EXPECT_EQ(framework::RconCommandNames(), expected);
  const std::string count = std::to_string(expected.size() - 1);
  EXPECT_EQ(host.log().Count("Added an additional: " + count + " commands!"), 1);
}

}  // namespace
