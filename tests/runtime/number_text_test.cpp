// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"

using dot11b::rt::numberToText;
using dot11b::rt::textToNumbers;

TEST(NumberToText, DefaultConversion) {
  const std::pair<double, const char*> cases[] = {
      {2412000000, "2412000000"}, {-30, "-30"},       {-30.5, "-30.5"},   {0, "0"},
      {-0.0, "0"},                {2.5, "2.5"},       {3.14159265, "3.1416"}, {123456.789, "123456.789"},
      {0.0123456, "0.012346"},    {0.5, "0.5"},       {1e-7, "1e-07"},    {99000000, "99000000"},
      {INFINITY, "Inf"},          {-INFINITY, "-Inf"}, {NAN, "NaN"},      {1.00001, "1"},
  };
  for (const auto& [x, text] : cases) EXPECT_EQ(numberToText(x), text) << x;
  EXPECT_EQ(numberToText(std::complex<double>(1, -2)), "1-2i");
  EXPECT_EQ(dot11b::rt::numbersToText({1, 2.5}), "1  2.5");
}

TEST(NumberToText, LargeWholeNumbersKeepAllTheirDigits) {
  for (double x : {1e300, -1.7976931348623157e308, 1e63, 1e64}) {
    const std::string text = numberToText(x);
    EXPECT_EQ(text.size(), static_cast<std::size_t>(std::floor(std::log10(std::fabs(x)))) + 1 + (x < 0)) << x;
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), x) << text;
  }
}

// Numbers in messages: as typed, and read back as the same number.
TEST(ShortestText, NumbersInMessagesReadBackAsTheSameNumber) {
  const std::pair<double, const char*> cases[] = {
      {3, "3"},         {5.5, "5.5"},     {0.35, "0.35"},         {1e-5, "1e-05"},     {-30.5, "-30.5"},
      {2412e6, "2412000000"}, {0.123456789, "0.123456789"}, {0.1 + 0.2, "0.30000000000000004"},
      {9007199254740992, "9007199254740992"}, {1e20, "1e+20"}, {-0.0, "0"}, {INFINITY, "Inf"},
      {-INFINITY, "-Inf"}, {NAN, "NaN"},  {-2.2250738585072014e-308, "-2.2250738585072014e-308"},
  };
  for (const auto& [x, text] : cases) EXPECT_EQ(dot11b::rt::shortestText(x), text) << x;
  for (double x : {1 / 3.0, 6.02214076e23, 1e-300, 123456.789, -4.9e-324}) {
    const std::string text = dot11b::rt::shortestText(x);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), x) << text;
  }
}

TEST(TextToNumbers, BlanksAndCommasSeparateNumbers) {
  const std::pair<const char*, std::vector<double>> cases[] = {
      {"5 7", {5, 7}},         {"1,2, 3", {1, 2, 3}}, {"  -2.5e1 ", {-25}}, {"Inf -inf", {INFINITY, -INFINITY}},
      {"abc", {}},             {"", {}},              {"2.5x", {}},         {"1 two", {}},
      {"+4", {4}},             {"1e400", {INFINITY}}, {"--1", {}},          {".5", {0.5}},
  };
  for (const auto& [text, numbers] : cases) EXPECT_EQ(textToNumbers(text), numbers) << text;
  const auto nan = textToNumbers("NaN");
  ASSERT_EQ(nan.size(), 1u);
  EXPECT_TRUE(std::isnan(nan[0]));
}
