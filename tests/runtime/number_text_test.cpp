#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "runtime/number_text.h"

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
