// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/file_steps_with_messages.h"

#include "files/iq16_file.h"
#include "files/parameter_files.h"

namespace dot11b::windows {

namespace {

constexpr const char* kLoadErrorTitle = "Error Loading File";

std::string savingTitle(const std::string& filename) { return "Error Saving " + filename; }

}  // namespace

bool saveParameters(const std::string& filename, const rt::Value& parameters, toolkit::Dialogs& dialogs) {
  try {
    files::saveParameterFile(filename, parameters);
    return true;
  } catch (const std::exception& e) {
    dialogs.error(e.what(), savingTitle(filename));
    return false;
  }
}

std::optional<std::vector<std::string>> loadParameters(const std::string& filename, rt::Value& parameters,
                                                       toolkit::Dialogs& dialogs) {
  const rt::Value* id = parameters.isRecord() ? parameters.findField("ParameterFileFormat_ID") : nullptr;
  const std::string expectedId = id && id->isText() ? id->toUtf8() : std::string();
  files::ParameterFileContents contents = files::readParameterFile(filename, expectedId);
  if (contents.problem != files::ParameterFileProblem::None) {
    dialogs.error(contents.message, kLoadErrorTitle);
    return std::nullopt;
  }
  parameters = std::move(contents.parameters);
  return std::move(contents.adjustments);
}

void showAdjustments(const std::string& filename, const std::vector<std::string>& adjustments,
                     toolkit::Dialogs& dialogs) {
  if (adjustments.empty()) return;
  dialogs.message(files::adjustmentsText(filename, adjustments), "Parameters Adjusted");
}

void saveWaveform(const std::string& filename, const files::Samples& waveform, toolkit::Dialogs& dialogs) {
  const std::string format =
      dialogs.question("Select file format.", "Special Save", {"ASCII", "Flarevane", "MAT"}, "ASCII");
  try {
    if (format == "ASCII") {
      files::saveIqColumns(filename, waveform);
    } else if (format == "MAT") {
      files::saveComplexColumn(filename, waveform);
    } else if (format == "Flarevane") {
      const files::Iq16SaveResult result = files::saveIq16File(filename, waveform);
      if (!result.success) dialogs.error(result.error, savingTitle(filename));
    }
  } catch (const std::exception& e) {
    dialogs.error(e.what(), savingTitle(filename));
  }
}

}  // namespace dot11b::windows
