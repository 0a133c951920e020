// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>

#include "files/iq16_file.h"
#include "test_support.h"

namespace dot11b::files {
namespace {

using Samples = std::vector<std::complex<double>>;

std::vector<std::uint8_t> bytes(std::initializer_list<int> list) { return std::vector<std::uint8_t>(list.begin(), list.end()); }

struct KnownFile {
  const char* name;
  Samples samples;
  double scale;
  std::vector<std::uint8_t> expected;
};

// Test names in listings.
void PrintTo(const KnownFile& c, std::ostream* os) { *os << c.name; }

const KnownFile kKnown[] = {
    {"scaledToFullScale", {{1, 1}, {-1, -0.5}}, 1, bytes({0x7F, 0xFE, 0x7F, 0xFE, 0x80, 0x02, 0xC0, 0x01})},
    {"equalMagnitudesUnscaled", {{0.5, 0.5}, {-0.5, -0.5}}, 1, bytes({0x00, 0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF})},
    {"halfScale", {{1, 0}, {0.25, -1}}, 0.5, bytes({0x3F, 0xFF, 0x00, 0x00, 0x10, 0x00, 0xC0, 0x01})},
    {"scaleAboveOneIsOne", {{1, 1}, {-1, -0.5}}, 2, bytes({0x7F, 0xFE, 0x7F, 0xFE, 0x80, 0x02, 0xC0, 0x01})},
    {"nanScaleIsOne", {{1, 1}, {-1, -0.5}}, std::nan(""), bytes({0x7F, 0xFE, 0x7F, 0xFE, 0x80, 0x02, 0xC0, 0x01})},
    {"allZero", {{0, 0}, {0, 0}, {0, 0}}, 1, std::vector<std::uint8_t>(12, 0)},
    {"empty", {}, 1, {}},
    {"lowestRepresentableUnscaled", {{-32768, -32768}}, 1, bytes({0x80, 0x00, 0x80, 0x00})},
};

class Iq16KnownFiles : public ::testing::TestWithParam<KnownFile> {};

TEST_P(Iq16KnownFiles, EncodeAndWriteTheExpectedBytes) {
  EXPECT_EQ(encodeIq16(GetParam().samples, GetParam().scale), GetParam().expected);
  test::ScratchDir dir;
  const Iq16SaveResult result = saveIq16File(dir / "w", GetParam().samples, GetParam().scale);
  ASSERT_TRUE(result.success) << result.error;
  const std::string file = test::readBytes(dir / "w");
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.end()), GetParam().expected);
  EXPECT_EQ(file.size(), 4 * GetParam().samples.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, Iq16KnownFiles, ::testing::ValuesIn(kKnown),
                         [](const ::testing::TestParamInfo<KnownFile>& info) { return std::string(info.param.name); });

TEST(Iq16File, ScaleAtOrBelowZeroWritesAtTheLowestScale) {
  const Samples v = {{1, 0.5}, {-0.25, 1}};
  const auto lowest = encodeIq16(v, kIq16LowestScale);
  EXPECT_EQ(encodeIq16(v, 0), lowest);
  EXPECT_EQ(encodeIq16(v, -3), lowest);
  EXPECT_NE(encodeIq16(v, 1), lowest);
}

TEST(Iq16File, LargestComponentGetsFullScaleWhateverItsSign) {
  const auto b = encodeIq16({{0.1, -4}, {2, 0.3}}, 1);
  ASSERT_EQ(b.size(), 8u);
  EXPECT_EQ(b[2] << 8 | b[3], 0x8002);  // -32766
}

struct RefusedCase {
  const char* name;
  Samples samples;
};

// Test names in listings.
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

const RefusedCase kRefused[] = {
    {"notANumber", {{1, 0}, {std::nan(""), 0}}},
    {"infinite", {{INFINITY, 0}}},
    // Equal magnitudes are written unscaled; beyond 16 bits they would wrap round to the other sign.
    {"unscaledBeyondSixteenBits", {{40000, 40000}, {-40000, 40000}}},
    {"unscaledJustBeyond", {{32767.5, 32767.5}}},
};

class Iq16Refused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(Iq16Refused, WritesNothingAndKeepsTheOldFile) {
  test::ScratchDir dir;
  const std::string path = dir / "old.iq16";
  test::writeBytes(path, "previous contents");
  const Iq16SaveResult result = saveIq16File(path, GetParam().samples);
  EXPECT_FALSE(result.success);
  EXPECT_EQ(result.error.rfind("the 16-bit file cannot hold ", 0), 0u) << "naming no routine: " << result.error;
  EXPECT_EQ(test::readBytes(path), "previous contents");
  EXPECT_EQ(dir.entryCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, Iq16Refused, ::testing::ValuesIn(kRefused),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(Iq16File, UnwritableFolderIsAFailureNotASuccess) {
  const Iq16SaveResult result = saveIq16File("/nonexistent-folder/w.iq16", {{1, 1}});
  EXPECT_FALSE(result.success);
  EXPECT_NE(result.error.find("/nonexistent-folder/w.iq16"), std::string::npos);
}

TEST(Iq16File, ShortWriteIsAFailure) {
  // A file size limit makes the system take only part of the data: that must not count as written.
  test::ScratchDir dir;
  const std::string path = dir / "w.iq16";
  test::writeBytes(path, "previous contents");
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Iq16SaveResult result = saveIq16File(path, Samples(2000, {0.5, -1}));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  EXPECT_FALSE(result.success);
  EXPECT_EQ(test::readBytes(path), "previous contents");
  EXPECT_EQ(dir.entryCount(), 1u);
}

}  // namespace
}  // namespace dot11b::files
