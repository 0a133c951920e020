// SPDX-License-Identifier: GPL-3.0-or-later
// Frame sequences: frames one after another, the sequence number counting, the payload carried on or
// repeated, every frame's FCS, and the size limit.
#include <gtest/gtest.h>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "settings/calculate.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "settings/template_parameters.h"
#include "testbench/frame_sequence.h"

namespace dot11b::testbench {
namespace {

rt::Value withMac(const char* source) {
  rt::Value p = settings::initialParameters();
  for (const char* setting : {"MACheader.Active=1", "MACfcs.Active=1", "dataLength=100", "dataRate=2"})
    settings::applyAssignment(p, setting);
  settings::applyAssignment(p, std::string("dataSourceType=") + source);
  settings::applyAssignment(p, "MACheader.Contents.SeqCntrl.Contents=0xFFF3");  // sequence number 4095, fragment 3
  settings::validateParameters(p);
  settings::deriveParameters(p);
  return p;
}

unsigned sixteenBitsAt(const Bits& bits, std::size_t first) {
  unsigned v = 0;
  for (unsigned b = 0; b < 16; ++b) v |= static_cast<unsigned>(bits[first + b]) << b;
  return v;
}

TEST(FrameSequence, FramesFollowWithTheSequenceNumberCountingAndTheirOwnFcs) {
  const rt::Value p = withMac("5");
  const phy::Frame single = settings::calculate(p);
  std::vector<Bits> psdus;
  const phy::Frame three = calculateSequence(p, {3, PayloadRun::kContinue, std::nullopt}, &psdus);
  ASSERT_EQ(three.waveform.size(), 3 * single.waveform.size());
  ASSERT_EQ(three.marker2.size(), three.waveform.size());
  EXPECT_TRUE(std::equal(single.waveform.begin(), single.waveform.end(), three.waveform.begin()));
  EXPECT_EQ(sequenceLength(p, 3), static_cast<double>(three.waveform.size()));
  ASSERT_EQ(psdus.size(), 3u);
  // Sequence Control follows Frame Control, Duration and three addresses: 4095, then 0 and 1, fragment 3 kept.
  EXPECT_EQ(sixteenBitsAt(psdus[0], 22 * 8), 0xFFF3u);
  EXPECT_EQ(sixteenBitsAt(psdus[1], 22 * 8), 0x0003u);
  EXPECT_EQ(sixteenBitsAt(psdus[2], 22 * 8), 0x0013u);
  const mac::PayloadSettings payload = settings::payloadSettings(p);
  for (std::size_t k = 0; k < 3; ++k) {
    const Bits body(psdus[k].begin(), psdus[k].end() - 32);
    EXPECT_EQ(Bits(psdus[k].end() - 32, psdus[k].end()), mac::calcMacFcs(body)) << k;
    EXPECT_EQ(Bits(body.begin() + 240, body.end()), mac::payloadData(payload, 100 * k)) << k;  // PN9 goes on
  }
}

TEST(FrameSequence, RepeatedPayloadAndUnchangingFramesAreTheSameSamples) {
  std::vector<Bits> psdus;
  calculateSequence(withMac("6"), {2, PayloadRun::kRepeat, std::nullopt}, &psdus);
  EXPECT_TRUE(std::equal(psdus[0].begin() + 240, psdus[0].end() - 32, psdus[1].begin() + 240));
  // Without a MAC header, frames of a repeated payload are copies.
  rt::Value plain = settings::initialParameters();
  const phy::Frame frames = calculateSequence(plain, {2, PayloadRun::kRepeat, std::nullopt});
  const std::size_t half = frames.waveform.size() / 2;
  EXPECT_TRUE(std::equal(frames.waveform.begin(), frames.waveform.begin() + static_cast<std::ptrdiff_t>(half),
                         frames.waveform.begin() + static_cast<std::ptrdiff_t>(half)));
}

TEST(FrameSequence, BeaconsCarryTheirTimestampsAndTheSizeLimitHolds) {
  rt::Value p = settings::initialParameters();
  mac::TemplateSettings beacon;
  beacon.kind = mac::TemplateKind::Beacon;
  beacon.ssid = "lab";
  settings::applyTemplate(p, beacon);
  std::vector<Bits> psdus;
  const phy::Frame two = calculateSequence(p, {2, PayloadRun::kContinue, beacon}, &psdus);
  // The timestamp (the body's first 8 octets, after the 24-octet header) moves on by a frame's duration.
  const auto timestamp = [](const Bits& psdu) {
    std::uint64_t t = 0;
    for (unsigned b = 0; b < 64; ++b) t |= static_cast<std::uint64_t>(psdu[24 * 8 + b]) << b;
    return t;
  };
  const double frameUs = static_cast<double>(two.waveform.size() / 2) / 44.0;
  EXPECT_NEAR(static_cast<double>(timestamp(psdus[1]) - timestamp(psdus[0])), frameUs, 0.5);
  // 2 us of ramp, 192 us of PLCP and the 24-octet header at 11 Mbit/s before the first timestamp bit.
  EXPECT_NEAR(static_cast<double>(timestamp(psdus[0])), 2 + 192 + 24 * 8 / 11.0, 0.5);

  EXPECT_THROW(sequenceLength(p, 0), settings::ParameterError);
  rt::Value longest = settings::initialParameters();
  for (const char* setting : {"dataRate=1", "dataLength=2312"}) settings::applyAssignment(longest, setting);
  settings::deriveParameters(longest);
  try {
    calculateSequence(longest, {50, PayloadRun::kContinue, std::nullopt});
    ADD_FAILURE() << "a sequence over 32 Msamples was made";
  } catch (const settings::ParameterError& e) {
    EXPECT_NE(std::string(e.what()).find("33554432"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace dot11b::testbench
