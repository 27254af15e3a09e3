#include "queries/positions.h"

#include <gtest/gtest.h>

#include "core/format.h"

namespace {

TEST(CutToTwoDecimals, CutsTowardsMinusInfinity) {
  struct Case {
    double coordinate;
    const char* printed;
  };
  for (const Case& c : std::initializer_list<Case>{{45.678, "45.67"},
                                                   {-12.341, "-12.35"},
                                                   {50.0, "50"},
                                                   {60.0, "60"},
                                                   {0.999, "0.99"},
                                                   {-0.5, "-0.5"}}) {
    EXPECT_EQ(orvane::FormatG(orvane::CutToTwoDecimals(c.coordinate)), c.printed) << c.coordinate;
  }
}

}  // namespace
