// How a stress test's words change the two values it runs with.
#include "diagnostics/stress_values.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/test_host.h"

namespace {

using orvane::CommandArgs;
using orvane::diagnostics::ReadStressValues;
using orvane::diagnostics::StressValues;

struct Values {
  int32_t stress;
  int32_t find;
};
void ExpectValues(const StressValues& values, Values expected) {
  EXPECT_EQ(values.value_to_stress, expected.stress);
  EXPECT_EQ(values.value_to_find, expected.find);
}

TEST(StressValues, FewerThanTwoArgumentsLeaveThemAsTheyStand) {
  support::TestHost host;
  StressValues values;
  ExpectValues(values, {50000, 1000});
  values = {10, 20};
  ReadStressValues(CommandArgs{FString(u"TestCommand")}, values);
  ReadStressValues(CommandArgs{FString(u"TestCommand 7")}, values);
  ExpectValues(values, {10, 20});
  ReadStressValues(CommandArgs{FString(u"TestCommand 3 4 5")}, values);
  ExpectValues(values, {3, 4});
}

TEST(StressValues, AFailedConversionKeepsWhatWasStoredBeforeIt) {
  support::TestHost host;
  StressValues values{10, 20};
  EXPECT_THROW(ReadStressValues(CommandArgs{FString(u"TestCommand x 5")}, values),
               std::invalid_argument);
  ExpectValues(values, {50000, 49999});
  values = {10, 20};
  EXPECT_THROW(ReadStressValues(CommandArgs{FString(u"TestCommand 8 3000000000")}, values),
               std::out_of_range);
  ExpectValues(values, {8, 49999});
}

}  // namespace
