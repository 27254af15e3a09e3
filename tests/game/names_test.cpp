#include "game/objects/names.h"

#include <gtest/gtest.h>

namespace {

TEST(NameTable, TrailingNumbersAreStoredApartAndLookupsIgnoreCase) {
  game::NameTable names;
  const FName raptor = names.Add(u"Raptor_Character_BP_C_12");
  EXPECT_EQ(raptor.Number, 13);
  EXPECT_EQ(names.ToString(raptor), u"Raptor_Character_BP_C_12");
  const FName base = names.Find(u"raptor_character_bp_c");
  EXPECT_EQ(base.ComparisonIndex, raptor.ComparisonIndex) << "the base is one entry";
  EXPECT_EQ(names.ToString(base), u"Raptor_Character_BP_C") << "the first spelling is kept";

  struct Case {
    std::u16string text;
    int32_t number;
  };
  // A leading zero, a bare underscore or a non-digit keeps the text whole.
  for (const Case& c : {Case{u"Thing_02", 0}, Case{u"Thing_", 0}, Case{u"_7", 0},
                        Case{u"Thing_0", 1}, Case{u"Thing_C", 0}}) {
    const FName name = names.Add(c.text);
    EXPECT_EQ(name.Number, c.number) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(names.ToString(name), c.text);
  }
}

TEST(NameTable, FindNeverAddsAndGivesNoneForUnknownBases) {
  game::NameTable names;
  EXPECT_EQ(names.Find(u"Flak").ComparisonIndex, 0);
  EXPECT_EQ(names.ToString(names.Find(u"Flak")), u"None");
  EXPECT_EQ(names.Add(u"none").ComparisonIndex, 0) << "None is entry 0, not added again";
  names.Add(u"Flak");
  EXPECT_NE(names.Find(u"FLAK").ComparisonIndex, 0);
  EXPECT_EQ(names.Find(u"Flak_3").Number, 4) << "a known base with any number";
}

}  // namespace
