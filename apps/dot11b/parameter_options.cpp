// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameter_options.h"

#include <stdexcept>

#include "parameter_source.h"
#include "settings/parameter_rules.h"

namespace dot11b::cli {

void applySetOptions(rt::Value& parameters, const Args& args, Args& rest) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--set") {
      if (i + 1 >= args.size()) throw std::invalid_argument("--set needs FIELD=VALUE");
      settings::applyAssignment(parameters, args[++i]);
    } else if (args[i].rfind("--set=", 0) == 0) {
      settings::applyAssignment(parameters, args[i].substr(6));
    } else {
      rest.push_back(args[i]);
    }
  }
  settings::validateParameters(parameters);
  settings::deriveParameters(parameters);
}

std::string takeOption(Args& args, const std::string& name) {
  for (auto at = args.begin(); at != args.end(); ++at) {
    if (at->size() >= name.size() + 1 && at->compare(0, name.size(), name) == 0 && (*at)[name.size()] == '=') {
      std::string value = at->substr(name.size() + 1);  // "--name=VALUE"
      if (value.empty()) throw std::invalid_argument(name + " needs a value");
      args.erase(at);
      return value;
    }
    if (*at != name) continue;
    // An empty value ('') is refused as a missing one, never taken for the option's absence.
    if (at + 1 == args.end() || (at + 1)->empty()) throw std::invalid_argument(name + " needs a value");
    std::string value = *(at + 1);
    args.erase(at, at + 2);
    return value;
  }
  return "";
}

rt::Value parametersFromOptions(Args& args) {
  rt::Value parameters = startingParameters(takeOption(args, "--params"));
  Args rest;
  applySetOptions(parameters, args, rest);
  args = rest;
  return parameters;
}

}  // namespace dot11b::cli
