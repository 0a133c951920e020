// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "settings/compare_struct.h"
#include "settings/start_values.h"

namespace dot11b::settings {
namespace {

using rt::Value;

Value record(std::initializer_list<std::pair<const char*, Value>> fields) {
  Value r = Value::record();
  for (const auto& [name, value] : fields) r.setField(name, value);
  return r;
}

struct CompareCase {
  const char* name;
  Value a, b;
  bool equal;
};

// Test names in listings.
void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.name; }

const double nan = std::nan("");

const CompareCase kCases[] = {
    {"recordWithItself", initialParameters(), initialParameters(), true},
    {"fieldsInOtherOrder", record({{"a", Value::scalar(1)}, {"b", Value::scalar(2)}}),
     record({{"b", Value::scalar(2)}, {"a", Value::scalar(1)}}), false},
    {"namesDifferInOneLetter", record({{"dataRate", Value::scalar(1)}}), record({{"dataRata", Value::scalar(1)}}), false},
    {"nanInBoth", record({{"x", Value::scalar(nan)}, {"y", Value::scalar(1)}}),
     record({{"x", Value::scalar(nan)}, {"y", Value::scalar(1)}}), true},
    {"recordAndNumber", record({}), Value::scalar(1), false},
    {"numberAndNumber", Value::scalar(1), Value::scalar(1), false},
    {"noFields", record({}), record({}), true},
    {"moreFields", record({{"a", Value::scalar(1)}}), record({{"a", Value::scalar(1)}, {"b", Value::scalar(1)}}), false},
    {"differentNumberBesideNan", record({{"x", Value::row({1, nan})}}), record({{"x", Value::row({2, nan})}}), false},
    {"nanAtOtherPlace", record({{"x", Value::row({nan, 1})}}), record({{"x", Value::row({1, nan})}}), false},
    {"differentSize", record({{"x", Value::row({1, 2})}}), record({{"x", Value::column({1, 2})}}), false},
    {"complexPartDiffers", record({{"x", Value::complexScalar({1, 2})}}), record({{"x", Value::complexScalar({1, 3})}}), false},
    {"bothEmptyOfOtherKinds", record({{"x", Value()}}), record({{"x", Value::text("")}}), true},
    {"sameText", record({{"t", Value::text("GPIB")}}), record({{"t", Value::text("GPIB")}}), true},
    {"otherText", record({{"t", Value::text("GPIB")}}), record({{"t", Value::text("TCPIP")}}), false},
    {"textAndNumber", record({{"t", Value::text("1")}}), record({{"t", Value::scalar(1)}}), false},
    {"nestedDiffers", record({{"r", record({{"x", Value::scalar(1)}})}}), record({{"r", record({{"x", Value::scalar(2)}})}}), false},
    {"equalCells", record({{"c", Value::cell(1, 1)}}), record({{"c", Value::cell(1, 1)}}), true},
};

class CompareStructCases : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareStructCases, GivesTheExpectedAnswer) {
  EXPECT_EQ(compareStruct(GetParam().a, GetParam().b), GetParam().equal);
  EXPECT_EQ(compareStruct(GetParam().b, GetParam().a), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareStructCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CompareCase>& info) { return std::string(info.param.name); });

TEST(CompareStruct, SeesAChangedParameter) {
  Value changed = initialParameters();
  changed.field("MACheader").field("Contents").field("Address1").setField("Contents", Value::scalar(5));
  EXPECT_FALSE(compareStruct(initialParameters(), changed));
}

}  // namespace
}  // namespace dot11b::settings
