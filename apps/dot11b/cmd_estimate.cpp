#include <iostream>

#include "command.h"
#include "parameter_options.h"
#include "runtime/number_text.h"
#include "shell/settings.h"

namespace dot11b::cli {

int runEstimate(const Args& args) {
  rt::Value parameters = shell::initialParameters();
  Args rest;
  try {
    applySetOptions(parameters, args, rest);
  } catch (const std::exception& e) {
    std::cerr << "dot11b estimate: " << e.what() << "\n";
    return kUsage;
  }
  if (!rest.empty()) {
    std::cerr << "dot11b estimate: unexpected argument '" << rest.front() << "'\n";
    return kUsage;
  }
  std::cout << rt::numberToText(parameters.field("ProjectedLength").scalarValue()) << "\n";
  return kOk;
}

}  // namespace dot11b::cli
