// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/payload.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "mac/mac_header.h"
#include "mac/pn_generator.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

using mac::generatePayload;
using mac::PayloadSettings;

PayloadSettings settingsFor(int source, double octets) {
  PayloadSettings settings;
  settings.dataSourceType = source;
  settings.dataLength = octets;
  return settings;
}

Bits pnBits(int order, double count) {
  mac::PnOptions options;
  options.order = RealRow{static_cast<double>(order)};
  options.length = RealRow{count};
  return mac::pnGenerator(options);
}

struct SourceCase {
  const char* name;
  int source;
  double octets;
  Bits expected;

  // Test names in listings.
  friend void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }
};

class PayloadSources : public ::testing::TestWithParam<SourceCase> {};

TEST_P(PayloadSources, GiveTheirBits) {
  const SourceCase& c = GetParam();
  EXPECT_EQ(textFromBits(generatePayload(settingsFor(c.source, c.octets))), textFromBits(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Payload, PayloadSources,
    ::testing::Values(SourceCase{"Zeros", 1, 2, Bits(16, 0)}, SourceCase{"Ones", 2, 2, Bits(16, 1)},
                      SourceCase{"Alternating01", 3, 3, bitsFromText("010101010101010101010101")},
                      SourceCase{"Alternating10", 4, 3, bitsFromText("101010101010101010101010")},
                      SourceCase{"Pn9", 5, 100, pnBits(9, 800)}, SourceCase{"Pn15", 6, 100, pnBits(15, 800)},
                      SourceCase{"ZerosEmpty", 1, 0, {}}, SourceCase{"AlternatingEmpty", 4, 0, {}},
                      SourceCase{"Pn9Empty", 5, 0, {}}, SourceCase{"Pn15Empty", 6, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Payload, MacHeaderInFrontAndFcsOverEverythingBefore) {
  PayloadSettings settings = settingsFor(5, 40);
  settings.macHeaderActive = true;
  settings.macHeaderBits = mac::defaultMacHeader().bitStream;
  settings.fcsActive = true;
  const Bits psdu = generatePayload(settings);
  ASSERT_EQ(psdu.size(), 240U + 320U + 32U);
  EXPECT_EQ(Bits(psdu.begin(), psdu.begin() + 240), Bits(240, 0));
  EXPECT_EQ(Bits(psdu.begin() + 240, psdu.end() - 32), pnBits(9, 320));
  const Bits covered(psdu.begin(), psdu.end() - 32);
  EXPECT_EQ(valueFromBits(Bits(psdu.end() - 32, psdu.end())), referenceCrc32(octetsFromBits(covered)));
}

TEST(Payload, FcsWithoutHeaderCoversThePayloadAlone) {
  PayloadSettings settings = settingsFor(2, 4);
  settings.fcsActive = true;
  settings.macHeaderBits = Bits(240, 1);  // ignored while the header is off
  const Bits psdu = generatePayload(settings);
  ASSERT_EQ(psdu.size(), 64U);
  EXPECT_EQ(valueFromBits(Bits(psdu.begin() + 32, psdu.end())), referenceCrc32({0xFF, 0xFF, 0xFF, 0xFF}));
}

class UserFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("frame_tests_payload_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin");
  }
  void TearDown() override { std::filesystem::remove(path_); }
  void write(const std::string& content) { std::ofstream(path_, std::ios::binary) << content; }
  PayloadSettings settings(double octets) const {
    PayloadSettings s = settingsFor(7, octets);
    s.dataSourceName = path_.string();
    return s;
  }
  std::filesystem::path path_;
};

TEST_F(UserFile, OctetsRepeatedCyclicallyLeastSignificantBitFirst) {
  write(std::string("\x01\xA5", 2));
  EXPECT_EQ(textFromBits(generatePayload(settings(5))),
            textFromBits(bitsFromText("10000000 10100101 10000000 10100101 10000000")));
}

TEST_F(UserFile, LongerFileIsCut) {
  write("abcdef");
  EXPECT_EQ(octetsFromBits(generatePayload(settings(3))), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
}

TEST_F(UserFile, ContinuesFromOctetToOctetAcrossFrames) {
  write("abcdefg");
  // A window that runs past the file's end goes on from its start; a frame longer than the file repeats it.
  EXPECT_EQ(octetsFromBits(payloadData(settings(3), 5)), (std::vector<std::uint8_t>{'f', 'g', 'a'}));
  EXPECT_EQ(octetsFromBits(payloadData(settings(3), 7 + 1)), (std::vector<std::uint8_t>{'b', 'c', 'd'}));
  EXPECT_EQ(octetsFromBits(payloadData(settings(9), 3)), (std::vector<std::uint8_t>{'d', 'e', 'f', 'g', 'a', 'b', 'c', 'd', 'e'}));
}

TEST(Payload, PnSourcesGoOnWhereTheFrameBeforeLeftOff) {
  for (const auto& [source, order] : {std::pair{5, 9}, std::pair{6, 15}}) {
    const Bits run = pnBits(order, 3 * 8 * 700.0 + 8);
    for (std::uint64_t frame : {1u, 2u}) {
      const Bits data = payloadData(settingsFor(source, 700), frame * 700);
      EXPECT_TRUE(std::equal(data.begin(), data.end(), run.begin() + static_cast<std::ptrdiff_t>(frame * 5600))) << source;
    }
  }
  // One period on, PN9 is where it started.
  EXPECT_EQ(payloadData(settingsFor(5, 511), 511), payloadData(settingsFor(5, 511), 0));
}

TEST_F(UserFile, MissingOrEmptyFileStopsWithItsName) {
  for (bool exists : {false, true}) {
    if (exists) write("");
    try {
      generatePayload(settings(4));
      ADD_FAILURE() << "no error for " << path_;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(path_.string()), std::string::npos) << error.what();
    }
  }
  EXPECT_TRUE(generatePayload(settings(0)).empty());  // the empty file is enough for no octets
}

TEST_F(UserFile, PipeIsRefusedInsteadOfWaitedFor) {
  std::filesystem::remove(path_);
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  EXPECT_THROW(generatePayload(settings(4)), std::runtime_error);
}

TEST(Payload, RejectsBadSettings) {
  for (int source : {0, 8, -1}) EXPECT_THROW(generatePayload(settingsFor(source, 1)), std::invalid_argument);
  for (double octets : {-1.0, 2313.0, 1.5}) {
    EXPECT_THROW(generatePayload(settingsFor(1, octets)), std::invalid_argument);
  }
  PayloadSettings badHeader = settingsFor(1, 1);
  badHeader.macHeaderActive = true;
  badHeader.macHeaderBits = {0, 2};
  EXPECT_THROW(generatePayload(badHeader), std::invalid_argument);
  EXPECT_EQ(generatePayload(settingsFor(1, 2312)).size(), 8U * 2312U);
}

}  // namespace
}  // namespace dot11b::test
