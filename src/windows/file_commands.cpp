#include "shell/file_commands.h"

#include "shell/iq16_file.h"
#include "shell/parameter_files.h"

namespace dot11b::shell {

namespace {

constexpr const char* kLoadErrorTitle = "Error Loading File";

std::string savingTitle(const std::string& filename) { return "Error Saving " + filename; }

}  // namespace

bool saveParameters(const std::string& filename, const rt::Value& parameters, Dialogs& dialogs) {
  try {
    saveParameterFile(filename, parameters);
    return true;
  } catch (const std::exception& e) {
    dialogs.error(e.what(), savingTitle(filename));
    return false;
  }
}

bool loadParameters(const std::string& filename, rt::Value& parameters, Dialogs& dialogs) {
  const rt::Value* id = parameters.isRecord() ? parameters.findField("ParameterFileFormat_ID") : nullptr;
  const std::string expectedId = id && id->isText() ? id->toUtf8() : std::string();
  ParameterFileContents contents = readParameterFile(filename, expectedId);
  if (contents.problem != ParameterFileProblem::None) {
    dialogs.error(contents.message, kLoadErrorTitle);
    return false;
  }
  parameters = std::move(contents.parameters);
  return true;
}

void saveWaveform(const std::string& filename, const Samples& waveform, Dialogs& dialogs) {
  const std::string format =
      dialogs.question("Select file format.", "Special Save", {"ASCII", "Flarevane", "MAT"}, "ASCII");
  try {
    if (format == "ASCII") {
      saveIqColumns(filename, waveform);
    } else if (format == "MAT") {
      saveComplexColumn(filename, waveform);
    } else if (format == "Flarevane") {
      const Iq16SaveResult result = saveIq16File(filename, waveform);
      if (!result.success) dialogs.error(result.error, savingTitle(filename));
    }
  } catch (const std::exception& e) {
    dialogs.error(e.what(), savingTitle(filename));
  }
}

}  // namespace dot11b::shell
