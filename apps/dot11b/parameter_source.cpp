// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameter_source.h"

#include <iostream>

#include "files/parameter_files.h"
#include "settings/start_values.h"

namespace dot11b::cli {

rt::Value startingParameters(const std::string& file) {
  if (file.empty()) return settings::initialParameters();
  std::vector<std::string> adjustments;
  rt::Value parameters = files::loadParameterFile(file, &adjustments);
  const std::string adjusted = files::adjustmentsText(files::addFileExtention(file, ".mat"), adjustments);
  if (!adjusted.empty()) std::cerr << "dot11b: " << adjusted << "\n";
  return parameters;
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
