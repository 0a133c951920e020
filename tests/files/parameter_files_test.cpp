// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "files/parameter_files.h"
#include "files/waveform_files.h"
#include "runtime/matfile/matfile.h"
#include "settings/compare_struct.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "test_support.h"
#include "toolkit/scripted_dialogs.h"
#include "windows/file_steps_with_messages.h"

namespace dot11b::files {
namespace {

using rt::Value;

constexpr const char* kId = "dot11b - Format 1.0";

struct ExtensionCase {
  const char* name;
  const char* ext;
  const char* full;
};

// Test names in listings.
void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << c.name; }

class AddFileExtention : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(AddFileExtention, AddsTheExtensionOnlyWhenMissing) {
  EXPECT_EQ(addFileExtention(GetParam().name, GetParam().ext), GetParam().full);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddFileExtention,
                         ::testing::Values(ExtensionCase{"set1", ".mat", "set1.mat"},
                                           ExtensionCase{"set1.mat", ".mat", "set1.mat"},
                                           ExtensionCase{"set1.MAT", ".mat", "set1.MAT.mat"},
                                           ExtensionCase{"ab", ".mat", "ab.mat"},
                                           ExtensionCase{".mat", ".mat", ".mat"},
                                           ExtensionCase{"", ".mat", ".mat"},
                                           ExtensionCase{"/dir/x.mat", ".mat", "/dir/x.mat"}));

// A record that differs from the start values almost everywhere, MAC header contents included.
Value changedParameters() {
  Value p = settings::initialParameters();
  for (const char* assignment :
       {"dataRate=5.5", "highRateMod=1", "preambleType=1", "clkLocked=1", "scramblerActive=2", "encoderActive=0",
        "Channel=11", "MirrorSpectrum=1", "MACheader.Active=1", "MACheader.Contents.Address1.Contents=0x0123456789AB",
        "MACheader.Contents.FrameCntrl.Contents=0x0208", "MACheader.Contents.Address4.Active=0", "MACfcs.Active=1",
        "dataSourceType=6", "dataLength=100", "dataSourceName=payload.bin", "OverSampling=6", "rampType=2",
        "rampLength=100", "idleSamples=600", "FilterType=2", "FilterFactor=0.35", "FilterTaps=8"})
    settings::applyAssignment(p, assignment);
  settings::validateParameters(p);
  settings::deriveParameters(p);
  return p;
}

TEST(ParameterFile, SaveThenOpenRestoresEveryField) {
  test::ScratchDir dir;
  const std::string path = dir / "set1.mat";
  const Value saved = changedParameters();
  saveParameterFile(path, saved);
  const ParameterFileContents back = readParameterFile(path, kId);
  ASSERT_EQ(back.problem, ParameterFileProblem::None) << back.message;
  EXPECT_EQ(back.parameters, saved);
  EXPECT_TRUE(settings::compareStruct(back.parameters, saved));
  const Value& contents = back.parameters.field("MACheader").field("Contents");
  EXPECT_EQ(contents.field("Address1").field("Contents"), Value::scalar(0x0123456789AB));
  EXPECT_EQ(contents.field("BitStream").numel(), 192u);  // Address4 is off
  EXPECT_EQ(back.parameters.field("totalLength"), Value::scalar(100 + 24 + 4));
}

TEST(ParameterFile, HoldsTheParametersAndTheFilesName) {
  test::ScratchDir dir;
  const std::string path = dir / "set1.mat";
  saveParameterFile(path, settings::initialParameters());
  const rt::MatVariables vars = rt::readMatFile(path);
  ASSERT_EQ(vars.size(), 2u);
  EXPECT_EQ(vars[0].first, "fileParameters");
  EXPECT_EQ(vars[0].second, settings::initialParameters());
  EXPECT_EQ(vars[1].first, "filename");
  EXPECT_EQ(vars[1].second, Value::text(path));
}

void writeFile(const std::string& path, const rt::MatVariables& variables) { rt::writeMatFile(path, variables); }

Value without(const Value& record, std::string_view name) {
  Value r = Value::record();
  for (const auto& [field, value] : record.fields())
    if (field != name) r.setField(field, value);
  return r;
}

struct ProblemCase {
  const char* name;
  std::function<void(const std::string& path)> make;
  ParameterFileProblem problem;
  const char* message;  // after the file name and a line break; "" for the reader's own text
};

// Test names in listings.
void PrintTo(const ProblemCase& c, std::ostream* os) { *os << c.name; }

const ProblemCase kProblems[] = {
    {"saveWaveDataFile", [](const std::string& p) { saveWaveData(p, {{1, 0}, {0, 1}}, 44e6); },
     ParameterFileProblem::InvalidFormat, "has an Invalid File Format."},
    {"noIdentity", [](const std::string& p) { writeFile(p, {{"fileParameters", without(settings::initialParameters(), "ParameterFileFormat_ID")}}); },
     ParameterFileProblem::InvalidStructure, "has an Invalid File Structure."},
    {"notARecord", [](const std::string& p) { writeFile(p, {{"fileParameters", Value::scalar(3)}}); },
     ParameterFileProblem::InvalidStructure, "has an Invalid File Structure."},
    {"otherIdentity", [](const std::string& p) {
       Value v = settings::initialParameters();
       v.setField("ParameterFileFormat_ID", Value::text("dot11a - Format 1.0"));
       writeFile(p, {{"fileParameters", v}});
     }, ParameterFileProblem::InvalidParameterId, "has an Invalid File Parameter ID."},
    {"numericIdentity", [](const std::string& p) {
       Value v = settings::initialParameters();
       v.setField("ParameterFileFormat_ID", Value::scalar(1));
       writeFile(p, {{"fileParameters", v}});
     }, ParameterFileProblem::InvalidParameterId, "has an Invalid File Parameter ID."},
    {"notAMatFile", [](const std::string& p) { test::writeBytes(p, "plain text, not a MAT-file"); },
     ParameterFileProblem::Unreadable, ""},
    // Beyond the size limit of a parameter file: a MAT-file is still told by its variables.
    {"largeSaveWaveDataFile", [](const std::string& p) {
       files::Samples wave(150000);
       for (std::size_t k = 0; k < wave.size(); ++k) wave[k] = {std::sin(0.37 * k * k), std::cos(0.11 * k)};
       saveWaveData(p, wave, 44e6);
     }, ParameterFileProblem::InvalidFormat, "has an Invalid File Format."},
    {"largeFileThatIsNoMatFile", [](const std::string& p) { test::writeBytes(p, std::string(3 << 20, 'x')); },
     ParameterFileProblem::Unreadable, ""},
};

class ParameterFileProblems : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(ParameterFileProblems, AreReportedWithTheirMessage) {
  test::ScratchDir dir;
  const std::string path = dir / "f.mat";
  GetParam().make(path);
  const ParameterFileContents back = readParameterFile(path, kId);
  EXPECT_EQ(back.problem, GetParam().problem);
  if (*GetParam().message) EXPECT_EQ(back.message, path + "\n" + GetParam().message);
  else EXPECT_FALSE(back.message.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ParameterFileProblems, ::testing::ValuesIn(kProblems),
                         [](const ::testing::TestParamInfo<ProblemCase>& info) { return std::string(info.param.name); });

TEST(ParameterFile, MissingFileGivesTheReadersText) {
  const ParameterFileContents back = readParameterFile("/nonexistent/set.mat", kId);
  EXPECT_EQ(back.problem, ParameterFileProblem::Unreadable);
  EXPECT_NE(back.message.find("Unable to read file '/nonexistent/set.mat'"), std::string::npos);
}

// Files with the right identity whose contents the generator cannot use.
struct DamagedCase {
  const char* name;
  std::function<void(Value& p)> damage;
};

// Test names in listings.
void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.name; }

Value& macContents(Value& p) { return p.field("MACheader").field("Contents"); }

const DamagedCase kDamaged[] = {
    {"textForNumber", [](Value& p) { p.setField("dataRate", Value::text("eleven")); }},
    {"missingOverSampling", [](Value& p) { p = without(p, "OverSampling"); }},
    {"missingBitStream", [](Value& p) { macContents(p) = without(macContents(p), "BitStream"); }},
    {"bitStreamNotBits", [](Value& p) { macContents(p).setField("BitStream", Value::row(std::vector<double>(240, 2))); }},
    {"headerNotARecord", [](Value& p) { p.setField("MACheader", Value::scalar(0)); }},
    {"vectorDataRate", [](Value& p) { p.setField("dataRate", Value::row({11, 11})); }},
    {"complexDataLength", [](Value& p) { p.setField("dataLength", Value::complexScalar({10, 1})); }},
    {"numberForSourceName", [](Value& p) { p.setField("dataSourceName", Value::scalar(5)); }},
};

class DamagedParameterFile : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedParameterFile, IsRefusedAndChangesNothing) {
  test::ScratchDir dir;
  const std::string path = dir / "damaged.mat";
  Value damaged = settings::initialParameters();
  GetParam().damage(damaged);
  writeFile(path, {{"fileParameters", damaged}, {"filename", Value::text(path)}});

  const ParameterFileContents back = readParameterFile(path, kId);
  EXPECT_EQ(back.problem, ParameterFileProblem::InvalidStructure);
  EXPECT_EQ(back.message, path + "\nhas an Invalid File Structure.");

  Value current = changedParameters();
  toolkit::ScriptedDialogs boxes;
  EXPECT_FALSE(windows::loadParameters(path, current, boxes));
  EXPECT_EQ(current, changedParameters());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].kind, "error");
  EXPECT_EQ(boxes.shown()[0].title, "Error Loading File");
  EXPECT_EQ(boxes.shown()[0].text, path + "\nhas an Invalid File Structure.");
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedParameterFile, ::testing::ValuesIn(kDamaged),
                         [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

// Files of other writers with values outside their allowed ranges: opened, with the values brought in as
// the panel brings in typed entries.
struct OutOfRangeCase {
  const char* name;
  std::function<void(Value& p)> change;
  const char* path;
  double after;
  const char* adjustment;
};

// Test names in listings.
void PrintTo(const OutOfRangeCase& c, std::ostream* os) { *os << c.name; }

const OutOfRangeCase kOutOfRange[] = {
    {"gaussianFactorOfRootCosine", [](Value& p) {
       p.setField("FilterType", Value::scalar(1));
       p.setField("FilterFactor", Value::scalar(0.05));
     }, "FilterFactor", 0.1, "FilterFactor: 0.05 changed to 0.1"},
    {"hugeDataLength", [](Value& p) { p.setField("dataLength", Value::scalar(1e12)); },
     "dataLength", 2312, "dataLength: 1000000000000 changed to 2312"},
    {"nanDataLength", [](Value& p) { p.setField("dataLength", Value::scalar(std::nan(""))); },
     "dataLength", 0, "dataLength: NaN changed to 0"},
    {"zeroFilterTaps", [](Value& p) { p.setField("FilterTaps", Value::scalar(0)); }, "FilterTaps", 1,
     "FilterTaps: 0 changed to 1"},
    {"channel15", [](Value& p) { p.setField("Channel", Value::scalar(15)); }, "Channel", 14, "Channel: 15 changed to 14"},
    {"rampBeyondLimit", [](Value& p) { p.setField("rampLength", Value::scalar(44001)); }, "rampLength", 44000,
     "rampLength: 44001 changed to 44000"},
    {"fractionalOverSampling", [](Value& p) { p.setField("OverSampling", Value::scalar(4.5)); }, "OverSampling", 5,
     "OverSampling: 4.5 changed to 5"},
    {"sourceType8", [](Value& p) { p.setField("dataSourceType", Value::scalar(8)); }, "dataSourceType", 7,
     "dataSourceType: 8 changed to 7"},
    {"dataRateOffTheList", [](Value& p) { p.setField("dataRate", Value::scalar(3)); }, "dataRate", 2,
     "dataRate: 3 changed to 2"},
    {"headerLengthDisagrees", [](Value& p) { p.field("MACheader").setField("Length", Value::scalar(29)); },
     "MACheader.Length", 30, "MACheader.Length: 29 changed to 30"},
};

class OutOfRangeParameterFile : public ::testing::TestWithParam<OutOfRangeCase> {};

TEST_P(OutOfRangeParameterFile, IsOpenedWithTheValueBroughtInAndSaysSo) {
  test::ScratchDir dir;
  const std::string path = dir / "other.mat";
  Value stored = settings::initialParameters();
  GetParam().change(stored);
  writeFile(path, {{"fileParameters", stored}, {"filename", Value::text(path)}});

  const ParameterFileContents back = readParameterFile(path, kId);
  ASSERT_EQ(back.problem, ParameterFileProblem::None) << back.message;
  EXPECT_EQ(back.adjustments, std::vector<std::string>{GetParam().adjustment});
  const std::string field = GetParam().path;
  const Value& value = field == "MACheader.Length" ? back.parameters.field("MACheader").field("Length")
                                                   : back.parameters.field(field);
  EXPECT_EQ(value, Value::scalar(GetParam().after));

  Value current = changedParameters();
  toolkit::ScriptedDialogs boxes;
  const auto adjustments = windows::loadParameters(path, current, boxes);
  ASSERT_TRUE(adjustments);
  EXPECT_EQ(current, back.parameters);
  windows::showAdjustments(path, *adjustments, boxes);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].kind, "message");
  EXPECT_EQ(boxes.shown()[0].title, "Parameters Adjusted");
  EXPECT_EQ(boxes.shown()[0].text,
            path + "\nheld values outside their allowed ranges. These fields were changed:\n" + GetParam().adjustment);
}

INSTANTIATE_TEST_SUITE_P(Cases, OutOfRangeParameterFile, ::testing::ValuesIn(kOutOfRange),
                         [](const ::testing::TestParamInfo<OutOfRangeCase>& info) { return std::string(info.param.name); });

TEST(ParameterFile, ExtraFieldsAreKeptAndDerivedFieldsRecomputed) {
  test::ScratchDir dir;
  const std::string path = dir / "extra.mat";
  Value stored = without(without(settings::initialParameters(), "totalLength"), "ProjectedLength");
  stored.setField("userNote", Value::text("kept"));
  writeFile(path, {{"fileParameters", stored}});
  const ParameterFileContents back = readParameterFile(path, kId);
  ASSERT_EQ(back.problem, ParameterFileProblem::None) << back.message;
  EXPECT_EQ(back.parameters.field("userNote"), Value::text("kept"));
  EXPECT_EQ(back.parameters.field("totalLength"), Value::scalar(1024));
  EXPECT_EQ(back.parameters.field("ProjectedLength"), settings::initialParameters().field("ProjectedLength"));
}

TEST(ParameterFile, LoadReplacesTheWholeRecord) {
  test::ScratchDir dir;
  const std::string path = dir / "set.mat";
  saveParameterFile(path, changedParameters());
  Value current = settings::initialParameters();
  toolkit::ScriptedDialogs boxes;
  EXPECT_TRUE(windows::loadParameters(path, current, boxes));
  EXPECT_EQ(current, changedParameters());
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(ParameterFile, SaveFailureShowsTheErrorTitledWithTheName) {
  toolkit::ScriptedDialogs boxes;
  EXPECT_FALSE(windows::saveParameters("/nonexistent-folder/set.mat", settings::initialParameters(), boxes));
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].kind, "error");
  EXPECT_EQ(boxes.shown()[0].title, "Error Saving /nonexistent-folder/set.mat");
  EXPECT_NE(boxes.shown()[0].text.find("/nonexistent-folder/set.mat"), std::string::npos);
}

}  // namespace
}  // namespace dot11b::files
