#include "queries/positions.h"

#include <gtest/gtest.h>

#include <cmath>

#include <nlohmann/json.hpp>

#include "core/format.h"
#include "queries/entity_lookup.h"
#include "tests/support/test_world.h"

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
                                                   {-0.5, "-0.5"},
                                                   {8388607.5, "8.38861e+06"},
                                                   {-1e15, "-1e+15"},
                                                   {3e9, "3e+09"},
                                                   {HUGE_VAL, "inf"},
                                                   {-HUGE_VAL, "-inf"},
                                                   {std::nan(""), "nan"}}) {
    EXPECT_EQ(orvane::FormatG(orvane::CutToTwoDecimals(c.coordinate)), c.printed) << c.coordinate;
  }
}

// The position text is what the wide printf makes of the same format, up to the longest
// numbers a double holds, halfway cases and non-numbers included.
TEST(PositionText, WritesWhatTheWidePrintfWrites) {
  support::TestWorld world("{}");  // the game's allocator holds the texts
  for (const FVector& at : std::initializer_list<FVector>{{0, 0, 0},
                                                          {-0.0005, 1.0005, 123456.789},
                                                          {-1e300, 1e300, -1.7976931348623157e308},
                                                          {1e-300, -5e-324, 42},
                                                          {0.0625, -0.0625, 100.1875},  // ties
                                                          {std::nan(""), HUGE_VAL, -HUGE_VAL}}) {
    EXPECT_EQ(orvane::PositionText(at).View(),
              orvane::PrintfFormat(u"X=%3.3f Y=%3.3f Z=%3.3f", at.X, at.Y, at.Z).View())
        << at.X;
  }
}

using nlohmann::json;

TEST(MapCoordinates, WorldSettingsReplaceTheDefaultsAndNoWorldGivesZero) {
  support::TestWorld world(json{{"world_settings",
                                 {{"longitude_origin", -200000},
                                  {"latitude_origin", -100000},
                                  {"longitude_scale", 400},
                                  {"latitude_scale", 200}}}}
                               .dump());
  const auto c = orvane::MapCoordinatesOf(FVector{4000, 2000, 0});
  EXPECT_DOUBLE_EQ(c.longitude, 51.0);
  EXPECT_DOUBLE_EQ(c.latitude, 51.0);
  support::TestWorld no_world(json{{"world", false}}.dump());
  const auto zero = orvane::MapCoordinatesOf(FVector{4000, 2000, 0});
  EXPECT_EQ(zero.longitude, 0.0);
  EXPECT_EQ(zero.latitude, 0.0);
}

}  // namespace
