// How a stress test's words change the two values it runs with.
#include "diagnostics/stress_values.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "tests/support/test_host.h"

namespace {

using orvane::diagnostics::StressValues;

std::pair<int32_t, int32_t> Read(const char16_t* line, StressValues& values) {
  orvane::diagnostics::ReadStressValues(orvane::CommandArgs{FString(line)}, values);
  return {values.value_to_stress, values.value_to_find};
}

TEST(StressValues, ThreeWordsOrMoreReplaceThemAndAFailureKeepsWhatWasStored) {
  support::TestHost host;
  StressValues values;
  EXPECT_EQ(Read(u"TestCommand", values), std::pair(50000, 1000));
  EXPECT_EQ(Read(u"TestCommand 3 4 5", values), std::pair(3, 4));
  EXPECT_EQ(Read(u"TestCommand 7", values), std::pair(3, 4));
  EXPECT_THROW(Read(u"TestCommand x 5", values), std::invalid_argument);
  EXPECT_EQ(std::pair(values.value_to_stress, values.value_to_find), std::pair(50000, 49999));
  EXPECT_THROW(Read(u"TestCommand 8 3000000000", values), std::out_of_range);
  EXPECT_EQ(std::pair(values.value_to_stress, values.value_to_find), std::pair(8, 49999));
}

}  // namespace
