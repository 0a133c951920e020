// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameter_source.h"

#include <iostream>

#include "files/parameter_files.h"
#include "runtime/error_text.h"
#include "runtime/value_range.h"
#include "settings/parameter_rules.h"
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

int runReporting(std::string_view command, const std::function<int()>& work) {
  try {
    return work();
  } catch (const settings::ParameterError& e) {
    std::cerr << "dot11b " << command << ": " << e.what() << "\n";
    return kUsage;
  } catch (const std::exception& e) {
    std::cerr << "dot11b " << command << ": " << rt::userMessage(e) << "\n";
    return kFailed;
  }
}

void expectNoMore(const Args& rest) {
  if (!rest.empty()) throw std::invalid_argument("unexpected argument '" + rt::echoed(rest.front()) + "'");
}

}  // namespace dot11b::cli
