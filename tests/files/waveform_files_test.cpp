// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstring>
#include <functional>

#include "files/connection_settings.h"
#include "files/sigmf_file.h"
#include "files/waveform_files.h"
#include "runtime/matfile/matfile.h"
#include "settings/start_values.h"
#include "test_support.h"

namespace dot11b::files {
namespace {

using rt::Value;

const Samples kWave = {{0.5, -0.25}, {-1, 0}, {0, 1}};

TEST(WaveformFiles, SaveWaveDataHoldsCountRateAndIQColumns) {
  test::ScratchDir dir;
  saveWaveData(dir / "w.txt", kWave, 44e6);
  const rt::MatVariables vars = rt::readMatFile(dir / "w.txt");
  ASSERT_EQ(vars.size(), 3u);
  EXPECT_EQ(vars[0], (std::pair<std::string, Value>{"samplePoints", Value::scalar(3)}));
  EXPECT_EQ(vars[1], (std::pair<std::string, Value>{"sampleRate", Value::scalar(44e6)}));
  EXPECT_EQ(vars[2], (std::pair<std::string, Value>{"wave", Value::matrix(3, 2, {0.5, -1, 0, -0.25, 0, 1})}));
}

TEST(WaveformFiles, EmptyWaveformWritesEmptyData) {
  test::ScratchDir dir;
  saveWaveData(dir / "w", {}, 44e6);
  const rt::MatVariables vars = rt::readMatFile(dir / "w");
  EXPECT_EQ(vars[0].second, Value::scalar(0));
  EXPECT_TRUE(vars[2].second.isEmpty());
}

TEST(Sigmf, WritesFloatSamplesAndTheirDescription) {
  test::ScratchDir dir;
  SigmfDescription d;
  d.sampleRate = 44e6;
  d.centerFrequency = 2437e6;
  d.bandwidth = 22e6;
  d.frameStart = 1;
  d.frameLength = 2;
  d.label = "11 Mbit/s CCK, long preamble";
  d.description = "test";
  saveSigmf(sigmfBaseName(dir / "rec.sigmf-data"), kWave, d);
  const std::string data = test::readBytes(dir / "rec.sigmf-data");
  ASSERT_EQ(data.size(), 8 * kWave.size());
  float first[2];
  std::memcpy(first, data.data(), 8);
  EXPECT_EQ(first[0], 0.5f);
  EXPECT_EQ(first[1], -0.25f);

  const auto meta = nlohmann::json::parse(test::readBytes(dir / "rec.sigmf-meta"));
  EXPECT_EQ(meta["global"]["core:datatype"], "cf32_le");
  EXPECT_EQ(meta["global"]["core:sample_rate"], 44e6);
  EXPECT_EQ(meta["global"]["core:version"], "1.2.0");
  EXPECT_EQ(meta["captures"][0]["core:sample_start"], 0);
  EXPECT_EQ(meta["captures"][0]["core:frequency"], 2437e6);
  EXPECT_EQ(meta["annotations"][0]["core:sample_start"], 1);
  EXPECT_EQ(meta["annotations"][0]["core:sample_count"], 2);
  EXPECT_EQ(meta["annotations"][0]["core:freq_lower_edge"], 2426e6);
  EXPECT_EQ(meta["annotations"][0]["core:freq_upper_edge"], 2448e6);
  EXPECT_EQ(meta["annotations"][0]["core:label"], d.label);
}

struct ConfigurationCase {
  const char* name;
  std::function<void(Value&)> damage;
};

// Test names in listings.
void PrintTo(const ConfigurationCase& c, std::ostream* os) { *os << c.name; }

const ConfigurationCase kBadConfigurations[] = {
    {"unknownType", [](Value& c) { c.setField("type", Value::text("USB")); }},
    {"numberForAddress", [](Value& c) { c.field("TCPIP").setField("address", Value::scalar(10)); }},
    {"missingGpib", [](Value& c) { c.setField("GPIB", Value()); }},
    {"textForBaudRate", [](Value& c) { c.field("RS232").setField("baudrate", Value::text("fast")); }},
    {"unknownOption", [](Value& c) { c.setField("BBGtype", Value::text("003")); }},
    {"notARecord", [](Value& c) { c = Value::scalar(1); }},
};

class DamagedConnectionSettings : public ::testing::TestWithParam<ConfigurationCase> {};

TEST_P(DamagedConnectionSettings, LeaveTheStartValues) {
  test::ScratchDir dir;
  Value c = settings::initialConfiguration();
  GetParam().damage(c);
  rt::writeMatFile(dir / "defaults.mat", {{"fileParameters", c}});
  EXPECT_TRUE(loadConnectionSettings(dir / "defaults.mat").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedConnectionSettings, ::testing::ValuesIn(kBadConfigurations),
                         [](const ::testing::TestParamInfo<ConfigurationCase>& info) { return std::string(info.param.name); });

TEST(ConnectionSettings, RoundTripKeepsTheWholeRecord) {
  test::ScratchDir dir;
  Value c = settings::initialConfiguration();
  c.setField("type", Value::text("RS232"));
  c.setField("LastParameterFilename", Value::text("/home/u/set1.mat"));
  c.setField("extra", Value::scalar(5));
  ASSERT_TRUE(saveConnectionSettings(c, dir / "defaults.mat"));
  EXPECT_EQ(loadConnectionSettings(dir / "defaults.mat"), c);
}

TEST(ConnectionSettings, MissingOrForeignFileGivesNothing) {
  test::ScratchDir dir;
  EXPECT_TRUE(loadConnectionSettings(dir / "defaults.mat").isEmpty());
  test::writeBytes(dir / "defaults.mat", "garbage");
  EXPECT_TRUE(loadConnectionSettings(dir / "defaults.mat").isEmpty());
  rt::writeMatFile(dir / "defaults.mat", {{"other", Value::scalar(1)}});
  EXPECT_TRUE(loadConnectionSettings(dir / "defaults.mat").isEmpty());
}

TEST(ConnectionSettings, SaveErrorsAreNotThrown) {
  EXPECT_FALSE(saveConnectionSettings(settings::initialConfiguration(), "/nonexistent-folder/defaults.mat"));
}

}  // namespace
}  // namespace dot11b::files
