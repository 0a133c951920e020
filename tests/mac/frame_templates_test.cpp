// SPDX-License-Identifier: GPL-3.0-or-later
#include "mac/frame_templates.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace dot11b::test {
namespace {

using namespace mac;

// "80 00 ff ...": the octets of a bit stream, each sent least significant bit first.
std::string hexOctets(const Bits& bits) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < bits.size(); i += 8) {
    unsigned octet = 0;
    for (std::size_t b = 0; b < 8 && i + b < bits.size(); ++b) octet |= static_cast<unsigned>(bits[i + b]) << b;
    text += {digits[octet >> 4], digits[octet & 0xF], ' '};
  }
  if (!text.empty()) text.pop_back();
  return text;
}

const MacAddress kBssid = parseMacAddress("00:11:22:33:44:55");
const MacAddress kRa = parseMacAddress("66:77:88:99:aa:bb");
const MacAddress kTa = parseMacAddress("02:0a:1b:2c:3d:4e");

// Sequence number 18, fragment 0: "20 01" on the air.
MacHeader baseHeader() {
  MacHeader base = defaultMacHeader();
  base.fields[SeqCntrl].contents = 0x0120;
  base.fields[Address4].contents = 0xEEEEEEEEEEEE;
  return base;
}

TemplateSettings settingsFor(TemplateKind kind) {
  TemplateSettings s;
  s.kind = kind;
  s.bssid = kBssid;
  s.ra = kRa;
  s.ta = kTa;
  return s;
}

std::string header(const TemplateSettings& s, const AirTime& air) {
  return hexOctets(templateHeader(s, baseHeader(), air).bitStream);
}

TEST(FrameTemplates, NamesAndBodies) {
  EXPECT_EQ(templateKindNamed("probe-response"), TemplateKind::ProbeResponse);
  EXPECT_EQ(templateKindNamed("rts"), TemplateKind::Rts);
  EXPECT_EQ(templateKindNamed("Beacon"), std::nullopt);
  EXPECT_EQ(templateKindNamed(""), std::nullopt);
  EXPECT_EQ(templateBody(TemplateKind::Data), TemplateBody::Payload);
  EXPECT_EQ(templateBody(TemplateKind::Null), TemplateBody::None);
  EXPECT_EQ(templateBody(TemplateKind::ProbeResponse), TemplateBody::Management);
}

TEST(MacAddressText, ParsesEitherSeparatorAndCase) {
  EXPECT_EQ(addressContents(parseMacAddress("00:11:22:33:44:55")), 0x554433221100U);
  EXPECT_EQ(parseMacAddress("aB-cD-eF-01-23-45"), (MacAddress{0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45}));
  for (const char* bad : {"", "00:11:22:33:44", "00:11:22:33:44:5g", "00:11-22:33:44:55", "001122334455",
                          "00:11:22:33:44:55:", "0:11:22:33:44:555"}) {
    EXPECT_THROW(parseMacAddress(bad), std::invalid_argument) << bad;
  }
  try {
    parseMacAddress("router");
    FAIL();
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "'router' is not a MAC address such as 00:11:22:33:44:55");
  }
}

TEST(FrameTemplates, BeaconToBroadcast) {
  TemplateSettings s = settingsFor(TemplateKind::Beacon);
  s.ra.reset();
  s.ta.reset();
  s.ssid = "lab";
  s.channel = 6;
  // Broadcast: Duration 0; Address2 and Address3 the BSSID.
  EXPECT_EQ(header(s, {}), "80 00 00 00 ff ff ff ff ff ff 00 11 22 33 44 55 00 11 22 33 44 55 20 01");
  EXPECT_EQ(hexOctets(managementBody(s, {}, false, 0x0102030405060708)),
            "08 07 06 05 04 03 02 01 "  // Timestamp
            "64 00 01 00 "              // Beacon Interval 100 TU, Capability ESS
            "00 03 6c 61 62 "           // SSID "lab"
            "01 04 82 84 8b 96 "        // Supported Rates
            "03 01 06 "                 // DS Parameter Set, channel 6
            "05 04 00 01 00 00");       // TIM
}

TEST(FrameTemplates, ProbeResponse) {
  TemplateSettings s = settingsFor(TemplateKind::ProbeResponse);
  s.ta.reset();
  s.beaconIntervalTu = 1024;
  s.channel = 14;
  const AirTime air{11, true, 0};
  // SIFS + ACK = 10 + 96 + ceil(112 / 11) = 117 = 0x75.
  EXPECT_EQ(header(s, air), "50 00 75 00 66 77 88 99 aa bb 00 11 22 33 44 55 00 11 22 33 44 55 20 01");
  EXPECT_EQ(hexOctets(managementBody(s, air, true, 0)),
            "00 00 00 00 00 00 00 00 00 04 61 00 "  // Capability ESS, Short Preamble, PBCC
            "00 00 01 04 82 84 8b 96 03 01 0e");
}

TEST(FrameTemplates, DataAndNull) {
  // SIFS + ACK = 10 + 192 + ceil(112 / 11) = 213 = 0xd5.
  EXPECT_EQ(header(settingsFor(TemplateKind::Data), {}),
            "08 00 d5 00 66 77 88 99 aa bb 02 0a 1b 2c 3d 4e 00 11 22 33 44 55 20 01");
  // To DS, to the BSSID. At 2 Mbit/s: 10 + 192 + 112 / 2 = 258 = 0x0102.
  EXPECT_EQ(header(settingsFor(TemplateKind::Null), {2, false, 0}),
            "48 01 02 01 00 11 22 33 44 55 02 0a 1b 2c 3d 4e 00 11 22 33 44 55 20 01");
}

TEST(FrameTemplates, ControlFrames) {
  EXPECT_EQ(header(settingsFor(TemplateKind::Ack), {1, false, 0}), "d4 00 00 00 66 77 88 99 aa bb");
  // 5.5 Mbit/s, 100 payload octets: data frame 192 + ceil(8 * 128 / 5.5) = 379, ACK 192 + ceil(112 / 5.5)
  // = 213; 2 * 10 + 379 + 213 = 612 = 0x0264.
  EXPECT_EQ(header(settingsFor(TemplateKind::Cts), {5.5, false, 100}), "c4 00 64 02 66 77 88 99 aa bb");
  // 1 Mbit/s, no payload: 3 * 10 + CTS 304 + data frame 192 + 8 * 28 + ACK 304 = 1054 = 0x041e.
  EXPECT_EQ(header(settingsFor(TemplateKind::Rts), {1, false, 0}),
            "b4 00 1e 04 66 77 88 99 aa bb 02 0a 1b 2c 3d 4e");
}

TEST(FrameTemplates, GroupAddressedAndNotGiven) {
  TemplateSettings s = settingsFor(TemplateKind::Data);
  s.ra = parseMacAddress("01:00:5e:00:00:01");
  EXPECT_EQ(templateHeader(s, baseHeader(), {}).fields[DurationID].contents, 0U);

  MacHeader base = baseHeader();
  base.fields[Address1].contents = 0x0000000000AA;
  base.fields[Address2].contents = 0x0000000000BB;
  base.fields[Address3].contents = 0x0000000000CC;
  s = TemplateSettings{};
  EXPECT_EQ(hexOctets(templateHeader(s, base, {}).bitStream),
            "08 00 d5 00 aa 00 00 00 00 00 bb 00 00 00 00 00 cc 00 00 00 00 00 20 01");
  s.kind = TemplateKind::Beacon;  // the base's Address3 is the BSSID
  EXPECT_EQ(hexOctets(templateHeader(s, base, {}).bitStream),
            "80 00 00 00 ff ff ff ff ff ff cc 00 00 00 00 00 cc 00 00 00 00 00 20 01");
}

TEST(FrameTemplates, RejectsBadSettings) {
  TemplateSettings s = settingsFor(TemplateKind::Beacon);
  s.ssid = std::string(32, 'x');
  EXPECT_NO_THROW(templateHeader(s, baseHeader(), {}));
  EXPECT_EQ(managementBody(s, {}, false, 0).size(), 8U * (12 + 34 + 6 + 3 + 6));
  s.ssid += 'x';
  EXPECT_THROW(templateHeader(s, baseHeader(), {}), std::invalid_argument);
  EXPECT_THROW(managementBody(s, {}, false, 0), std::invalid_argument);

  for (int channel : {0, 15}) {
    TemplateSettings t = settingsFor(TemplateKind::Beacon);
    t.channel = channel;
    EXPECT_THROW(managementBody(t, {}, false, 0), std::invalid_argument) << channel;
  }
  for (double interval : {0.0, 99.5, 65536.0}) {
    TemplateSettings t = settingsFor(TemplateKind::Beacon);
    t.beaconIntervalTu = interval;
    EXPECT_THROW(templateHeader(t, baseHeader(), {}), std::invalid_argument) << interval;
  }
  EXPECT_THROW(templateHeader(settingsFor(TemplateKind::Data), baseHeader(), {3, false, 0}),
               std::invalid_argument);
  EXPECT_THROW(templateHeader(settingsFor(TemplateKind::Rts), baseHeader(), {11, false, 2313}),
               std::invalid_argument);
  EXPECT_THROW(managementBody(settingsFor(TemplateKind::Data), {}, false, 0), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::test
