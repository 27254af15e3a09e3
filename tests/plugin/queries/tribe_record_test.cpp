// The tribe record: the game's strings in it are released with it, and a tribe that the game
// cannot load, or a record structure it does not know, gives no record.
#include "queries/tribe_record.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/game_access.h"
#include "tests/support/command_test.h"

namespace {

using nlohmann::json;

std::string TribeWorld(bool record_known = true) {
  return json{{"tribe_data_struct", record_known},
              {"tribes",
               {{{"id", 7}, {"name", "Night Owls"}, {"log", {"Day 1: built", "Day 2: tamed"}}},
                {{"id", 8}, {"name", "Ghosts"}, {"loadable", false}}}}}
      .dump();
}

class TribeRecords : public support::CommandTest {
 protected:
  TribeRecords() : CommandTest(TribeWorld(), {}) {}
};

TEST_F(TribeRecords, LoadedRecordHoldsTheGameStringsAndReleasesThem) {
  orvane::TribeRecordSize size;
  ASSERT_GT(size.Get(), 0);
  orvane::TribeRecord record(size.Get());
  ASSERT_TRUE(record.Load(7));
  EXPECT_EQ(orvane::host::Field(record.get(), sym::FTribeData::TribeName).View(), u"Night Owls");
  const auto& log = orvane::host::Field(record.get(), sym::FTribeData::TribeLog);
  ASSERT_EQ(log.Num(), 2);
  EXPECT_EQ(log[1].View(), u"Day 2: tamed");
  // The fixture's tear-down proves the name, the log and the block itself were released.
}

TEST_F(TribeRecords, LoadingTwiceReleasesTheFirstFilling) {
  orvane::TribeRecordSize size;
  orvane::TribeRecord record(size.Get());
  ASSERT_TRUE(record.Load(7));
  ASSERT_TRUE(record.Load(7));
}

TEST_F(TribeRecords, UnknownOrUnloadableTribesGiveNoRecord) {
  orvane::TribeRecordSize size;
  orvane::TribeRecord missing(size.Get());
  EXPECT_FALSE(missing.Load(9));
  orvane::TribeRecord unloadable(size.Get());
  EXPECT_FALSE(unloadable.Load(8));
}

TEST_F(TribeRecords, AnUnknownStructureHasSizeZeroAndLoadsNothing) {
  UseWorld(TribeWorld(/*record_known=*/false), {});
  orvane::TribeRecordSize size;
  EXPECT_EQ(size.Get(), 0);
  orvane::TribeRecord record(size.Get());
  EXPECT_FALSE(record.Load(7));
}

}  // namespace
