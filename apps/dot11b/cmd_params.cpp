// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <iostream>

#include "command.h"
#include "files/parameter_files.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/display.h"
#include "settings/start_values.h"

namespace dot11b::cli {

namespace {

// params save FILE [--set FIELD=VALUE]...: the start values with the fields changed, as a parameter file.
int saveParams(const Args& args) {
  rt::Value parameters = settings::initialParameters();
  Args rest;
  try {
    applySetOptions(parameters, args, rest);
  } catch (const std::exception& e) {
    std::cerr << "dot11b params save: " << e.what() << "\n";
    return kUsage;
  }
  if (rest.size() != 1) {
    std::cerr << "dot11b params save: name one FILE\n";
    return kUsage;
  }
  // The file records its own full name, as the window's File Save does.
  const std::string name = std::filesystem::absolute(files::addFileExtention(rest.front(), ".mat")).string();
  try {
    files::saveParameterFile(name, parameters);
  } catch (const std::exception& e) {
    std::cerr << "dot11b params save: Error Saving " << name << ": " << e.what() << "\n";
    return kFailed;
  }
  return kOk;
}

// params show FILE: one line per field of the file's parameters record.
int showParams(const Args& args) {
  if (args.size() != 1) {
    std::cerr << "dot11b params show: name one FILE\n";
    return kUsage;
  }
  try {
    std::cout << rt::display(startingParameters(args.front())) << "\n";
  } catch (const std::exception& e) {
    std::cerr << "dot11b params show: Error Loading File: " << e.what() << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace

int runParams(const Args& args) {
  if (!args.empty() && args.front() == "save") return saveParams(Args(args.begin() + 1, args.end()));
  if (!args.empty() && args.front() == "show") return showParams(Args(args.begin() + 1, args.end()));
  std::cerr << "dot11b params: expected 'save FILE [--set FIELD=VALUE]...' or 'show FILE'\n";
  return kUsage;
}

}  // namespace dot11b::cli
