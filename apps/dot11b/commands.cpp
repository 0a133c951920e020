#include "command.h"

#include <algorithm>

namespace dot11b::cli {

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"estimate", "print the projected number of samples of a frame",
       "Usage: dot11b estimate [--set FIELD=VALUE]...\n\n"
       "Prints the projected number of samples (ProjectedLength) of the start-value parameters with the\n"
       "given fields changed. FIELD is a field of the parameters record, dotted for sub-records\n"
       "(MACheader.Active). totalLength and ProjectedLength are derived and cannot be set.\n"
       "Exit status 2 for an unknown field or a value outside its allowed values.\n",
       runEstimate},
      {"call", "call any routine of the library by name",
       "Usage: dot11b call ROUTINE [ARG]...\n\n"
       "Calls a registered routine with literal arguments and prints each result on its own line.\n"
       "ARG: a number (-3.5, 1e-3, Inf, NaN), a complex number (1+2i, 0.5j), a matrix ([1 0 1],\n"
       "[1 2; 3 4], []) or a text in single quotes ('left-msb').\n"
       "Options: --nargout N  number of results to ask for (default: as many as the routine declares).\n"
       "Exit status 1 when the call fails (message on stderr), 2 for a malformed literal.\n",
       runCall},
  };
  return table;
}

bool wantsHelp(const Args& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace dot11b::cli
