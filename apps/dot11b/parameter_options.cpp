#include "parameter_options.h"

#include <stdexcept>

#include "shell/parameter_rules.h"

namespace dot11b::cli {

void applySetOptions(rt::Value& parameters, const Args& args, Args& rest) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--set") {
      if (i + 1 >= args.size()) throw std::invalid_argument("--set needs FIELD=VALUE");
      shell::applyAssignment(parameters, args[++i]);
    } else if (args[i].rfind("--set=", 0) == 0) {
      shell::applyAssignment(parameters, args[i].substr(6));
    } else {
      rest.push_back(args[i]);
    }
  }
  shell::validateParameters(parameters);
  shell::deriveParameters(parameters);
}

}  // namespace dot11b::cli
