#include "core/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

namespace {

using orvane::Stof;
using orvane::Stoi;
using orvane::Stoull;

std::string Message(auto&& convert) {
  try {
    convert();
  } catch (const std::invalid_argument& e) {
    return std::string("invalid_argument: ") + e.what();
  } catch (const std::out_of_range& e) {
    return std::string("out_of_range: ") + e.what();
  }
  return "no exception";
}

TEST(Conversions, StoiFollowsTheCLibrary) {
  struct Case {
    std::u16string word;
    int32_t value;
  };
  for (const Case& c : std::initializer_list<Case>{{u"42", 42},
                                                   {u"-7", -7},
                                                   {u"+5", 5},
                                                   {u"12abc", 12},
                                                   {u"\t9", 9},
                                                   {u"2147483647", 2147483647},
                                                   {u"-2147483648", INT32_MIN},
                                                   {u"-1294967296", -1294967296}}) {
    EXPECT_EQ(Stoi(c.word), c.value) << std::string(c.word.begin(), c.word.end());
  }
}

TEST(Conversions, StoiFailuresCarryTheirMessages) {
  EXPECT_EQ(Message([] { Stoi(u"abc"); }), "invalid_argument: invalid stoi argument");
  EXPECT_EQ(Message([] { Stoi(u""); }), "invalid_argument: invalid stoi argument");
  EXPECT_EQ(Message([] { Stoi(u"2147483648"); }), "out_of_range: stoi argument out of range");
  EXPECT_EQ(Message([] { Stoi(u"3000000000"); }), "out_of_range: stoi argument out of range");
  EXPECT_EQ(Message([] { Stoi(u"99999999999999999999"); }),
            "out_of_range: stoi argument out of range");
}

TEST(Conversions, StoullWrapsNegativesAndRejectsOverflow) {
  EXPECT_EQ(Stoull(u"-1"), 18446744073709551615ull);
  EXPECT_EQ(Stoull(u"18446744073709551615"), 18446744073709551615ull);
  EXPECT_EQ(Stoull(u"77x"), 77u);
  EXPECT_EQ(Message([] { Stoull(u"x"); }), "invalid_argument: invalid stoull argument");
  EXPECT_EQ(Message([] { Stoull(u"18446744073709551616"); }),
            "out_of_range: stoull argument out of range");
}

TEST(Conversions, StofAcceptsCFormsAndReportsRange) {
  EXPECT_FLOAT_EQ(Stof(u"1.5"), 1.5f);
  EXPECT_FLOAT_EQ(Stof(u"1e3"), 1000.0f);
  EXPECT_FLOAT_EQ(Stof(u"0x10"), 16.0f);
  EXPECT_TRUE(std::isinf(Stof(u"inf")));
  EXPECT_TRUE(std::isnan(Stof(u"nan")));
  EXPECT_FLOAT_EQ(Stof(u"2.5kg"), 2.5f);
  EXPECT_EQ(Message([] { Stof(u"1e39"); }), "out_of_range: stof argument out of range");
  EXPECT_EQ(Message([] { Stof(u"abc"); }), "invalid_argument: invalid stof argument");
}

TEST(Conversions, LenientIntNeverFails) {
  EXPECT_EQ(orvane::LenientInt(u"abc"), 0);
  EXPECT_EQ(orvane::LenientInt(u"12abc"), 12);
  EXPECT_EQ(orvane::LenientInt(u"4294967297"), 1) << "narrowed to 32 bits";
}

}  // namespace
