// The group tables joined are the one source of the registration: their positions make one
// unbroken order, and every row is registered once, in that order, and counted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "entry/command_rows.h"
#include "framework/host/command_registry.h"
#include "tests/support/test_host.h"

namespace {

std::string Folded(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

TEST(CommandList, SeventyNineDistinctNamesInPositionsOneToSeventyNine) {
  const auto rows = orvane::CommandRows();
  EXPECT_EQ(rows.size(), 79u);
  std::set<std::string> folded;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_TRUE(folded.insert(Folded(rows[i].name)).second) << rows[i].name;
    EXPECT_EQ(rows[i].position, static_cast<int32_t>(i + 1)) << rows[i].name;
  }
  EXPECT_EQ(std::string(rows.front().name), "GiveDinoXP");
  EXPECT_EQ(std::string(rows.back().name), "UnlockEngram");
}

TEST(CommandList, RowsAreRegisteredOnceInOrderAndCounted) {
  support::TestHost host;
  host.LoadPlugin();
  std::vector<std::u16string> expected = {u"Orvane.info"};
  for (const auto& row : orvane::CommandRows())
    expected.emplace_back(row.name, row.name + std::strlen(row.name));
  EXPECT_EQ(framework::RconCommandNames(), expected);
  const std::string count = std::to_string(expected.size() - 1);
  EXPECT_EQ(host.log().Count("Added an additional: " + count + " commands!"), 1);
}

}  // namespace
