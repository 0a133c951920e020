// SPDX-License-Identifier: GPL-3.0-or-later
// The text utilities and time stamps of the calling forms, by known values.
#include <gtest/gtest.h>

#include "support/c_array.h"

namespace dot11b::testing {
namespace {

using WindowUtilities = LibraryTest;

std::string textOf(const char* routine, std::vector<dot11b_array*> in) {
  std::vector<Array> out;
  EXPECT_EQ(callRoutine(routine, 1, in, out), 0) << routine << ": " << dot11b_last_error();
  return out.at(0).text();
}

double numberOf(const char* routine, std::vector<dot11b_array*> in) {
  std::vector<Array> out;
  EXPECT_EQ(callRoutine(routine, 1, in, out), 0) << routine << ": " << dot11b_last_error();
  const double* value = dot11b_real(out.at(0).get());
  return value != nullptr ? value[0] : -1;
}

TEST_F(WindowUtilities, Clock2strWritesTheTimeStamp) {
  const Array first = row({2001, 12, 3, 14, 7, 9.8});
  EXPECT_EQ(textOf("Clock2str", {first.get()}), "03DEC2001 14:07:09");
  const Array second = row({2026, 12, 6, 9, 5, 3});
  EXPECT_EQ(textOf("Clock2str", {second.get()}), "06DEC2026 9:05:03");
  const Array badMonth = row({2026, 13, 6, 9, 5, 3});
  std::vector<Array> out;
  EXPECT_EQ(callRoutine("Clock2str", 1, {badMonth.get()}, out), -1);
}

TEST_F(WindowUtilities, NamesKeywordsAndOctalNumbers) {
  const std::pair<const char*, double> names[] = {{"fileParameters", 1}, {"_x", 0}, {"2a", 0}, {"for", 0}, {"a b", 0}};
  for (const auto& [name, isName] : names) {
    const Array t = text(name);
    EXPECT_EQ(numberOf("Isvarname", {t.get()}), isName) << name;
  }
  const Array keyword = text("while");
  EXPECT_EQ(numberOf("Iskeyword", {keyword.get()}), 1);
  const Array octal = row({777, 10, 0});
  std::vector<Array> out;
  ASSERT_EQ(callRoutine("Oct2dec", 1, {octal.get()}, out), 0);
  const std::vector<double> decimal = out.at(0).real();
  EXPECT_EQ(decimal.size(), 3u);
  EXPECT_EQ(decimal, (std::vector<double>{511, 8, 0}));
  const Array notOctal = scalar(78);
  EXPECT_EQ(callRoutine("Oct2dec", 1, {notOctal.get()}, out), -1);
  const Array pi = scalar(3.14159265);
  EXPECT_EQ(textOf("Num2Str", {pi.get()}), "3.1416");
  const Array digits = scalar(8);
  EXPECT_EQ(textOf("Num2Str", {pi.get(), digits.get()}), "3.1415927");
}

}  // namespace
}  // namespace dot11b::testing
