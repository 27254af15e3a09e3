// Word-to-number conversions behave as the C library's: what they accept, what they make of a
// word, and the exception and message a command turns into its failure reply.
#include "core/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

// The value converted, printed, or the exception's kind and message.
std::string Outcome(const std::function<std::string()>& convert) {
  try {
    return convert();
  } catch (const std::invalid_argument& e) {
    return std::string("invalid_argument: ") + e.what();
  } catch (const std::out_of_range& e) {
    return std::string("out_of_range: ") + e.what();
  }
}

TEST(Conversions, FollowTheCLibrary) {
  using orvane::Stof;
  using orvane::Stoi;
  using orvane::Stoull;
  auto i = [](const char16_t* w) { return [w] { return std::to_string(Stoi(w)); }; };
  auto u = [](const char16_t* w) { return [w] { return std::to_string(Stoull(w)); }; };
  auto f = [](const char16_t* w) { return [w] { return std::to_string(Stof(w)); }; };
  auto lenient = [](const char16_t* w) {
    return [w] { return std::to_string(orvane::LenientInt(w)); };
  };
  struct Case {
    const char* label;
    std::function<std::string()> convert;
    const char* outcome;
  };
  const Case cases[] = {
      {"stoi 42", i(u"42"), "42"},
      {"stoi +5", i(u"+5"), "5"},
      {"stoi 12abc", i(u"12abc"), "12"},
      {"stoi tab 9", i(u"\t9"), "9"},
      {"stoi max", i(u"2147483647"), "2147483647"},
      {"stoi min", i(u"-2147483648"), "-2147483648"},
      {"stoi abc", i(u"abc"), "invalid_argument: invalid stoi argument"},
      {"stoi empty", i(u""), "invalid_argument: invalid stoi argument"},
      {"stoi max+1", i(u"2147483648"), "out_of_range: stoi argument out of range"},
      {"stoi 20 digits", i(u"99999999999999999999"), "out_of_range: stoi argument out of range"},
      {"stoull -1", u(u"-1"), "18446744073709551615"},
      {"stoull 77x", u(u"77x"), "77"},
      {"stoull x", u(u"x"), "invalid_argument: invalid stoull argument"},
      {"stoull 2^64", u(u"18446744073709551616"), "out_of_range: stoull argument out of range"},
      {"stof 1.5", f(u"1.5"), "1.500000"},
      {"stof 1e3", f(u"1e3"), "1000.000000"},
      {"stof hex", f(u"0x10"), "16.000000"},
      {"stof inf", f(u"inf"), "inf"},
      {"stof nan", f(u"nan"), "nan"},
      {"stof 2.5kg", f(u"2.5kg"), "2.500000"},
      {"stof 1e39", f(u"1e39"), "out_of_range: stof argument out of range"},
      {"stof abc", f(u"abc"), "invalid_argument: invalid stof argument"},
      {"lenient abc", lenient(u"abc"), "0"},
      {"lenient 12abc", lenient(u"12abc"), "12"},
      {"lenient 2^32+1", lenient(u"4294967297"), "1"},  // narrowed to 32 bits
  };
  for (const Case& c : cases) EXPECT_EQ(Outcome(c.convert), c.outcome) << c.label;
}

}  // namespace
