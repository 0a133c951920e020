// SPDX-License-Identifier: GPL-3.0-or-later
// Interoperability with an independent reader and writer of MAT-files: SciPy, run by the system's Python.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "files/parameter_files.h"
#include "files/waveform_files.h"
#include "runtime/matfile/matfile.h"
#include "settings/calculate.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "test_support.h"

namespace dot11b::test {
namespace {

using rt::Value;

constexpr const char* kPython = "/usr/bin/python3";

class SciPy : public ::testing::Test {
 protected:
  void SetUp() override {
    if (runCommand(std::string(kPython) + " -c 'import scipy.io'").status != 0)
      GTEST_SKIP() << kPython << " has no scipy (Debian package python3-scipy)";
  }
  CommandResult script(const std::string& mode, const std::string& file) {
    std::string line = kPython;
    line.append(" ").append(shellQuoted(std::string(DOT11B_FILES_TEST_DIR) + "/scipy_interop.py"));
    line.append(" ").append(mode).append(" ").append(shellQuoted(file));
    return runCommand(line);
  }
  ScratchDir dir;
};

std::vector<std::string> fieldNames(const Value& record) { return record.fieldNames(); }

TEST_F(SciPy, ReadsAParameterFileWithItsFieldsInOrder) {
  Value p = settings::initialParameters();
  for (const char* a : {"dataRate=5.5", "MACheader.Active=1", "MACheader.Contents.Address1.Contents=0x0123456789AB",
                        "dataSourceName=s\xC3\xA9rie \xE2\x82\xAC"})
    settings::applyAssignment(p, a);
  settings::deriveParameters(p);
  const std::string path = dir / "set1.mat";
  files::saveParameterFile(path, p);

  const CommandResult r = script("read-parameters", path);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto seen = nlohmann::json::parse(r.output);
  const Value& header = p.field("MACheader");
  EXPECT_EQ(seen["variables"], (std::vector<std::string>{"fileParameters", "filename"}));
  EXPECT_EQ(seen["fields"], fieldNames(p));
  EXPECT_EQ(seen["macHeaderFields"], fieldNames(header));
  EXPECT_EQ(seen["contentsFields"], fieldNames(header.field("Contents")));
  EXPECT_EQ(seen["address1Fields"], fieldNames(header.field("Contents").field("Address1")));
  EXPECT_EQ(seen["formatId"], "dot11b - Format 1.0");
  EXPECT_EQ(seen["dataRate"], 5.5);
  EXPECT_EQ(seen["address1Contents"], 0x0123456789AB);
  EXPECT_EQ(seen["bitStreamLength"], 240);
  EXPECT_EQ(seen["dataSourceName"], "s\xC3\xA9rie \xE2\x82\xAC");
  EXPECT_EQ(seen["filename"], path);
}

TEST_F(SciPy, WritesAParameterFileThatOpensAndGenerates) {
  const std::string path = dir / "scipy.mat";
  const CommandResult r = script("write-parameters", path);
  ASSERT_EQ(r.status, 0) << r.output;

  const files::ParameterFileContents contents = files::readParameterFile(path, "dot11b - Format 1.0");
  ASSERT_EQ(contents.problem, files::ParameterFileProblem::None) << contents.message;
  const Value& p = contents.parameters;
  EXPECT_EQ(fieldNames(p), fieldNames(settings::initialParameters()));
  EXPECT_EQ(p.field("dataRate").scalarValue(), 2);
  EXPECT_EQ(p.field("MACheader").field("Contents").field("Address1").field("Contents").scalarValue(), 0x1234);
  EXPECT_EQ(p.field("dataSourceName"), Value::text("s\xC3\xA9rie"));
  EXPECT_EQ(p.field("totalLength").scalarValue(), 94);

  const phy::Frame frame = settings::calculate(p);
  EXPECT_GT(frame.waveform.size(), 0u);
  EXPECT_EQ(static_cast<double>(frame.waveform.size()), p.field("ProjectedLength").scalarValue());
}

TEST_F(SciPy, ReadsTheSaveWaveDataFile) {
  const std::string path = dir / "wave.mat";
  files::saveWaveData(path, {{0.25, -0.5}, {1, 0}, {0, 0}}, 33e6);
  const CommandResult r = script("read-wave", path);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto seen = nlohmann::json::parse(r.output);
  EXPECT_EQ(seen["samplePoints"], 3);
  EXPECT_EQ(seen["sampleRate"], 33e6);
  EXPECT_EQ(seen["rows"], 3);
  EXPECT_EQ(seen["cols"], 2);
  EXPECT_EQ(seen["first"], (std::vector<double>{0.25, -0.5}));
}

}  // namespace
}  // namespace dot11b::test
