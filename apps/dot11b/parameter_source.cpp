#include "parameter_source.h"

#include <algorithm>

#include "shell/parameter_files.h"
#include "shell/settings.h"

namespace dot11b::cli {

rt::Value startingParameters(const std::string& file) {
  rt::Value start = shell::initialParameters();
  if (file.empty()) return start;
  const std::string name = shell::addFileExtention(file, ".mat");
  shell::ParameterFileContents contents =
      shell::readParameterFile(name, start.field("ParameterFileFormat_ID").toUtf8());
  if (contents.problem != shell::ParameterFileProblem::None) {
    std::replace(contents.message.begin(), contents.message.end(), '\n', ' ');
    throw ParameterFileUnusable(contents.message);
  }
  return std::move(contents.parameters);
}

}  // namespace dot11b::cli
