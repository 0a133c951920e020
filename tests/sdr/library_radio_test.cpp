// SPDX-License-Identifier: GPL-3.0-or-later
// The radio routines as a C host calls them, against the loopback radio: the radios found, a waveform sent
// (what the radio stored) and samples received (what it played back), and a radio not found.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "../support/c_array.h"
#include "dot11b/Dot11b_c_lib.h"
#include "loopback_support.h"

namespace {

using dot11b::testing::Array;

class LibraryRadio : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Dot11b_c_libInitialize(), 1); }
  void TearDown() override { Dot11b_c_libTerminate(); }
};

double number(const dot11b_array* record, const char* field) {
  const dot11b_array* f = dot11b_field(record, field);
  return f ? dot11b_real(f)[0] : NAN;
}

std::string text(const dot11b_array* record, const char* field) {
  const dot11b_array* f = dot11b_field(record, field);
  if (!f) return "";
  std::string buf(dot11b_text(f, nullptr, 0) + 1, '\0');
  dot11b_text(f, buf.data(), buf.size());
  buf.pop_back();
  return buf;
}

Array radioRecord(const std::string& device, std::vector<std::pair<const char*, double>> numbers) {
  Array radio(dot11b_create_record());
  dot11b_set_field(radio.get(), "device", Array(dot11b_create_text(device.c_str())).get());
  for (const auto& [field, value] : numbers) dot11b_set_field(radio.get(), field, Array(dot11b_create_scalar(value)).get());
  return radio;
}

TEST_F(LibraryRadio, AHostListsSendsAndReceives) {
  Array found(mlfDot11b_Devices(nullptr));
  ASSERT_NE(found.get(), nullptr) << dot11b_last_error();
  ASSERT_EQ(found.cols(), 1u);
  EXPECT_EQ(text(dot11b_get_cell(found.get(), 0), "driver"), "loopback");
  EXPECT_EQ(text(dot11b_get_cell(found.get(), 0), "serial"), "LB0001");

  // 2000 samples of a slow turn at 20 Msample/s, a rate the radio runs at: sent as they are, twice.
  const sdr_test::Folder folder;
  std::vector<double> re, im;
  for (int n = 0; n < 2000; ++n) {
    re.push_back(0.5 * std::cos(0.01 * n));
    im.push_back(0.5 * std::sin(0.01 * n));
  }
  Array waveform(dot11b_create_matrix(1, re.size(), re.data(), im.data()));
  const std::string store = folder / "sent.cf32";
  Array radio = radioRecord("driver=loopback,format=CF32,store=" + store, {{"frequency", 2412e6}, {"repeat", 2}});
  Array report(mlfDot11b_Transmit(waveform.get(), Array(dot11b_create_scalar(20e6)).get(), radio.get()));
  ASSERT_NE(report.get(), nullptr) << dot11b_last_error();
  EXPECT_EQ(number(report.get(), "rate"), 20e6);
  EXPECT_EQ(number(report.get(), "samples"), 4000);
  EXPECT_EQ(number(report.get(), "sends"), 2);
  EXPECT_EQ(number(report.get(), "underflows"), 0);
  const dot11b::ComplexRow stored = sdr_test::readComplex(store, false);
  ASSERT_EQ(stored.size(), 4000u);
  // The peak of I or Q 1 dB below full scale.
  EXPECT_NEAR(stored[0].real(), std::pow(10.0, -1.0 / 20), 1e-6);

  Array receive = radioRecord("driver=loopback,format=CF32,play=" + store,
                              {{"frequency", 2412e6}, {"rate", 20e6}, {"duration", 4000 / 20e6}});
  dot11b_array* overflows = nullptr;
  dot11b_array* segments = nullptr;
  Array samples(mlfDot11b_Capture(&overflows, &segments, receive.get()));
  Array overflowCount(overflows), segmentStarts(segments);
  ASSERT_NE(samples.get(), nullptr) << dot11b_last_error();
  ASSERT_EQ(samples.cols(), 4000u);
  EXPECT_EQ(samples.real()[1999], stored[1999].real());
  EXPECT_EQ(samples.imag()[3999], stored[3999].imag());
  EXPECT_EQ(overflowCount.real(), std::vector<double>{0});
  EXPECT_EQ(segmentStarts.real(), std::vector<double>{0});

  // The radio loses 1000 samples after 2000: a second segment starts there, with the file's sample 3000.
  Array losing = radioRecord("driver=loopback,format=CF32,mtu=1000,fault=overflow,fault_after=2000,play=" + store,
                             {{"frequency", 2412e6}, {"rate", 20e6}, {"duration", 4000 / 20e6}});
  Array lost(mlfDot11b_Capture(&overflows, &segments, losing.get()));
  Array lostCount(overflows), lostStarts(segments);
  ASSERT_NE(lost.get(), nullptr) << dot11b_last_error();
  EXPECT_EQ(lostCount.real(), std::vector<double>{1});
  EXPECT_EQ(lostStarts.real(), (std::vector<double>{0, 2000}));
  EXPECT_EQ(lost.real()[2000], stored[3000].real());
}

TEST_F(LibraryRadio, ARadioNotFoundIsAnErrorNamingThoseFound) {
  Array waveform(dot11b_create_scalar(0.5));
  Array radio = radioRecord("driver=hackrf", {{"frequency", 2412e6}});
  EXPECT_EQ(mlfDot11b_Transmit(waveform.get(), Array(dot11b_create_scalar(20e6)).get(), radio.get()), nullptr);
  const std::string message = dot11b_last_error();
  EXPECT_NE(message.find("driver=hackrf"), std::string::npos) << message;
  EXPECT_NE(message.find("LB0001"), std::string::npos) << message;
  Array noDevice = radioRecord("", {{"frequency", 2412e6}});
  EXPECT_EQ(mlfDot11b_Capture(nullptr, nullptr, noDevice.get()), nullptr);
  EXPECT_NE(std::string(dot11b_last_error()).find("radio.device"), std::string::npos) << dot11b_last_error();
}

}  // namespace
