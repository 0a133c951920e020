// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/mac_header.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>

#include "mac/payload.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

using namespace mac;

TEST(MacHeader, DefaultRecord) {
  const MacHeader header = defaultMacHeader();
  EXPECT_EQ(header.bitStream, Bits(240, 0));
  const std::size_t sizes[] = {2, 2, 2, 6, 6, 6, 6};  // FrameCntrl, DurationID, SeqCntrl, Address1..4
  for (int id = 0; id < MacFieldCount; ++id) {
    EXPECT_EQ(header.fields[id].contents, 0U);
    EXPECT_EQ(header.fields[id].size, sizes[id]) << macFieldName(static_cast<MacFieldId>(id));
    EXPECT_TRUE(header.fields[id].active);
  }
  EXPECT_EQ(recalcBitStream(header), header.bitStream);
}

TEST(MacHeader, FieldNamesAndStreamOrder) {
  std::string names;
  for (MacFieldId id : macBitStreamOrder()) names += std::string(macFieldName(id)) + " ";
  EXPECT_EQ(names, "FrameCntrl DurationID Address1 Address2 Address3 SeqCntrl Address4 ");
}

struct FieldCase {
  MacFieldId id;
  std::uint64_t contents;
  std::size_t firstBit;  // position of the field in the default stream
  const char* bits;
};

std::ostream& operator<<(std::ostream& out, const FieldCase& c) {
  return out << macFieldName(c.id) << " = " << c.contents;
}

class MacFieldBits : public ::testing::TestWithParam<FieldCase> {};

TEST_P(MacFieldBits, LeastSignificantBitFirst) {
  const FieldCase& c = GetParam();
  MacHeader header = defaultMacHeader();
  header.fields[c.id].contents = c.contents;
  const Bits stream = recalcBitStream(header);
  ASSERT_EQ(stream.size(), 240U);
  const Bits expected = bitsFromText(c.bits);
  EXPECT_EQ(textFromBits(Bits(stream.begin() + static_cast<std::ptrdiff_t>(c.firstBit),
                              stream.begin() + static_cast<std::ptrdiff_t>(c.firstBit + expected.size()))),
            textFromBits(expected));
  EXPECT_EQ(std::count(stream.begin(), stream.end(), 1), std::count(expected.begin(), expected.end(), 1));
}

INSTANTIATE_TEST_SUITE_P(Mac, MacFieldBits,
                         ::testing::Values(FieldCase{DurationID, 0x1A, 16, "0101100000000000"},
                                           FieldCase{FrameCntrl, 0x0208, 0, "0001000001000000"},
                                           FieldCase{SeqCntrl, 0xFFFF, 176, "1111111111111111"},
                                           FieldCase{Address4, 0x800000000001, 192,
                                                     "10000000 00000000 00000000 00000000 00000000 00000001"}));

TEST(MacHeader, InactiveFieldContributesNothing) {
  MacHeader header = defaultMacHeader();
  header.fields[Address4].active = false;
  EXPECT_EQ(recalcBitStream(header).size(), 192U);
  EXPECT_TRUE(recalcBitField(header.fields[Address4]).empty());
}

TEST(MacHeader, RejectsValuesThatDoNotFitTheField) {
  EXPECT_THROW(recalcBitField(MacField{65536, 2, true}), std::invalid_argument);
  EXPECT_THROW(recalcBitField(MacField{0, 7, true}), std::invalid_argument);
  EXPECT_EQ(recalcBitField(MacField{0xFFFFFFFFFFFF, 6, true}), Bits(48, 1));
  EXPECT_TRUE(recalcBitField(MacField{65536, 2, false}).empty());  // inactive: nothing to check
}

TEST(MacFcs, CheckValueOf123456789) {
  const std::string text = "123456789";
  Bits bits;
  for (char c : text) {
    for (int b = 0; b < 8; ++b) bits.push_back(static_cast<uint8_t>((c >> b) & 1));
  }
  EXPECT_EQ(valueFromBits(calcMacFcs(bits)), 0xCBF43926U);
}

TEST(MacFcs, EqualsTheStandardCrc32OfTheOctets) {
  for (std::size_t octets : {0, 1, 30, 257}) {
    const Bits bits = randomBits(8 * octets, static_cast<std::uint32_t>(octets + 1));
    EXPECT_EQ(valueFromBits(calcMacFcs(bits)), referenceCrc32(octetsFromBits(bits))) << octets << " octets";
  }
  EXPECT_EQ(calcMacFcs({}), Bits(32, 0));
}

}  // namespace
}  // namespace dot11b::test
