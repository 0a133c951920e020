#include "parameter_source.h"

#include <algorithm>
#include <iostream>

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

std::optional<int> takeOptions(std::string_view command, const std::function<void()>& take) {
  try {
    take();
    return std::nullopt;
  } catch (const ParameterFileUnusable& e) {
    std::cerr << "dot11b " << command << ": " << e.what() << "\n";
    return kFailed;
  } catch (const std::exception& e) {
    std::cerr << "dot11b " << command << ": " << e.what() << "\n";
    return kUsage;
  }
}

void expectNoMore(const Args& rest) {
  if (!rest.empty()) throw std::invalid_argument("unexpected argument '" + rest.front() + "'");
}

}  // namespace dot11b::cli
