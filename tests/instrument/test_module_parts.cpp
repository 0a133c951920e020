// SPDX-License-Identifier: GPL-3.0-or-later
// The module's parts on their own: encoding, framing, texts, addresses.
#include <gtest/gtest.h>

#include <cmath>

#include "instrument/io/bus_error.h"
#include "instrument/io/download_payload.h"
#include "instrument/io/sample_encoding.h"
#include "instrument/io/scpi_text.h"
#include "instrument/io/transports/gpib_driver.h"
#include "instrument/io/transports/gpib_transport.h"
#include "instrument/io/transports/serial_settings.h"
#include "instrument/io/transports/tcp_address.h"
#include "module_client.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using namespace dot11b::instrio;

struct EncodingCase {
  std::vector<double> i, q;
  double scale;
  const char* bytes;
};

TEST(SampleEncoding, KnownVectors) {
  const std::vector<EncodingCase> cases = {
      {{1, -1}, {1, -0.5}, 1.0, "7F FE 7F FE 80 02 C0 01"},
      // Components of equal magnitude are scaled to full scale as well (see sample_encoding.cpp).
      {{0.5, -0.5}, {0.5, -0.5}, 1.0, "7F FE 7F FE 80 02 80 02"},
      {{1, 0.25}, {0, -1}, 0.5, "3F FF 00 00 10 00 C0 01"},
      {{1, 0.25}, {0, -1}, 2.0, "7F FE 00 00 20 00 80 02"},   // scale above 1 counts as 1
      {{1}, {0}, -1.0, "00 00 00 00"},                         // lowest scale 0.00001: 0.33 rounds to 0
      {{0, 0}, {0, 0}, 1.0, "00 00 00 00 00 00 00 00"},
      {{3, 1}, {0, 0}, 1.0, "7F FE 00 00 2A AA 00 00"},         // 10922 = 32766 / 3
      // Largest 32766 makes the factor exactly 1: halves round away from zero.
      {{32766, 0.5, -0.5, 1.5}, {0, -2.5, 2.5, 0}, 1.0, "7F FE 00 00 00 01 FF FD FF FF 00 03 00 02 00 00"},
      // Divided by the largest first, as the 16-bit waveform file: 10449 / 13932 x 32766 = 24574.5.
      {{13932, 10449}, {0, 0}, 1.0, "7F FE 00 00 5F FF 00 00"},
      // A subnormal largest magnitude still gives full scale (its reciprocal would overflow).
      {{1e-310, 0}, {0, -5e-311}, 1.0, "7F FE 00 00 00 00 C0 01"},
  };
  for (const EncodingCase& c : cases) {
    std::string out;
    appendSamplesInt16Be(c.i.data(), c.q.data(), c.i.size(), c.scale, out);
    EXPECT_EQ(hex(out), c.bytes);
  }
}

TEST(SampleEncoding, LargestComponentIsFullScaleForAnyWaveform) {
  const TestWaveform w = pseudoRandomWaveform(2000);
  std::string out;
  appendSamplesInt16Be(w.i.data(), w.q.data(), w.i.size(), 1.0, out);
  ASSERT_EQ(out.size(), 4 * w.i.size());
  int largest = 0;
  for (std::size_t k = 0; k < out.size(); k += 2) {
    const auto value = static_cast<int16_t>((static_cast<uint8_t>(out[k]) << 8) | static_cast<uint8_t>(out[k + 1]));
    largest = std::max(largest, std::abs(static_cast<int>(value)));
  }
  EXPECT_EQ(largest, 32766);
  EXPECT_TRUE(out == expectedSampleBytes(w));
}

TEST(MarkerEncoding, RowsBecomeBitsAndNullRowsAreClear) {
  const uint8_t row1[] = {0, 1, 0, 1, 7};
  const uint8_t row2[] = {0, 0, 1, 1, 0};
  std::string both, onlySecond;
  appendMarkerBytes(row1, row2, 5, both);
  appendMarkerBytes(nullptr, row2, 5, onlySecond);
  EXPECT_EQ(hex(both), "00 01 02 03 01");
  EXPECT_EQ(hex(onlySecond), "00 00 02 02 00");
}

TEST(DownloadPayload, CommandsCarryDefiniteLengthBlocks) {
  for (const auto& [length, header] : std::vector<std::pair<std::size_t, std::string>>{
           {8, "#18"}, {160, "#3160"}, {160000, "#6160000"}, {999999999, "#9999999999"}}) {
    std::string out;
    appendBlockHeader(length, out);
    EXPECT_EQ(out, header);
  }
  const double i[] = {1, -1}, q[] = {1, -0.5};
  const uint8_t m1[] = {1, 0};
  DownloadRequest request;
  request.i = i;
  request.q = q;
  request.sampleCount = 2;
  request.marker1 = m1;
  request.title = "my wave#1";
  const DownloadPayload payload = buildDownloadPayload(request);
  EXPECT_EQ(payload.waveformCommand,
            ":MMEMory:DATA \"ARBI:my wave#1\",#18" + std::string("\x7F\xFE\x7F\xFE\x80\x02\xC0\x01", 8) + "\n");
  EXPECT_EQ(payload.markerCommand, ":MMEMory:DATA \"MKRI:my wave#1\",#12" + std::string("\x01\x00", 2) + "\n");
}

TEST(ScpiText, QueriesAndErrorNumbers) {
  EXPECT_TRUE(isQuery("*IDN?"));
  EXPECT_TRUE(isQuery(":freq?;:pow?"));
  EXPECT_FALSE(isQuery(" :source:rad:arb:wav \"arbi:what?\" "));
  EXPECT_FALSE(isQuery(":outp on"));
  const std::vector<std::pair<std::string, std::optional<long>>> replies = {{"0,\"No error\"", 0},
                                                                            {"+0,\"No error\"", 0},
                                                                            {"-113,\"Undefined header\"", -113},
                                                                            {"+221,\"Settings conflict\"", 221},
                                                                            {"0", 0},
                                                                            {"No error", std::nullopt},
                                                                            {"", std::nullopt},
                                                                            {"-1x,\"\"", std::nullopt}};
  for (const auto& [reply, number] : replies) EXPECT_EQ(errorNumber(reply), number) << reply;
}

TEST(ScpiText, AcceptedCommandsAndTitles) {
  for (const char* text : {" :source:rad:arb:wav \"arbi:dot11b\" ", ":a \"say \"\"hi\"\"\"", ":a 'x\"y'", "*RST"}) {
    EXPECT_NO_THROW(checkCommandText(text)) << text;
  }
  for (const char* title : {"dot11b", "frame 11 Mbit/s", "a'b", "x#1"})
    EXPECT_NO_THROW(checkWaveformTitle(title)) << title;
  EXPECT_EQ(printable("a\nb\x7f"), "a\\x0Ab\\x7F");
}

TEST(TcpAddress, Forms) {
  struct Case {
    const char* text;
    const char* host;
    uint16_t port;
  };
  for (const Case& c : std::vector<Case>{{"192.168.0.5", "192.168.0.5", 5025},
                                         {" 10.0.0.1:5000 ", "10.0.0.1", 5000},
                                         {"siggen.lab", "siggen.lab", 5025},
                                         {"siggen.lab:1", "siggen.lab", 1},
                                         {"fe80::1", "fe80::1", 5025},
                                         {"[::1]:6000", "::1", 6000},
                                         {"[2001:db8::7]", "2001:db8::7", 5025}}) {
    const TcpEndpoint endpoint = parseTcpAddress(c.text);
    EXPECT_EQ(endpoint.host, c.host) << c.text;
    EXPECT_EQ(endpoint.port, c.port) << c.text;
  }
  for (const char* bad : {"", "   ", "0.0.0.0", "::", "[::]:5025", "host:0", "host:65536", "host:50a", "[::1", "[::1]x",
                          ":5025", "a b"}) {
    EXPECT_THROW(parseTcpAddress(bad), BusError) << bad;
  }
}

TEST(SerialSettings, DevicePathHandshakeAndBaud) {
  EXPECT_EQ(serialDevicePath(1), "/dev/ttyS0");
  {
    ScopedEnv device("DOT11B_SERIAL_PORT3", "/dev/ttyUSB0");
    EXPECT_EQ(serialDevicePath(3), "/dev/ttyUSB0");
  }
  EXPECT_EQ(serialDevicePath(3), "/dev/ttyS2");
  EXPECT_EQ(parseHandshake("none"), Handshake::None);
  EXPECT_EQ(parseHandshake("XON/XOFF"), Handshake::XonXoff);
  EXPECT_EQ(parseHandshake("rts/cts"), Handshake::RtsCts);
  EXPECT_THROW(parseHandshake("Xon"), BusError);
  EXPECT_EQ(checkedBaudRate(9600), 9600);
  EXPECT_THROW(checkedBaudRate(-9600), BusError);
}

TEST(Gpib, AddressTextsAndTimeoutCodes) {
  EXPECT_EQ(gpibAddress({0, 19, -1}), "GPIB0::19::INSTR");
  EXPECT_EQ(gpibAddress({1, 5, 0}), "GPIB1::5::0::INSTR");
  const std::vector<std::pair<int, int>> codes = {{0, 1}, {1, 5}, {2, 6}, {300, 10}, {301, 11}, {1000, 11},
                                                  {10000, 13}, {10001, 14}, {5000000, 17}};
  for (const auto& [ms, code] : codes) EXPECT_EQ(gpibTimeoutCode(ms), code) << ms;
  EXPECT_NE(gpibErrorText(2, 0).find("ENOL"), std::string::npos);
}

}  // namespace
}  // namespace instrument_test
