// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "c_host.h"
#include "command.h"
#include "runtime/display.h"
#include "runtime/literal.h"
#include "runtime/number_text.h"
#include "runtime/value_range.h"

namespace dot11b::cli {

namespace {

// More results than any routine could hand back.
constexpr int kMaxResults = 1000;

// Without --nargout, as many results as the routine declares (none for a variable result list).
int declaredResults(const std::string& routine) {
  int maxInputs = 0, maxOutputs = 1;
  if (dot11b_routine_counts(routine.c_str(), &maxInputs, &maxOutputs) != 0 || maxOutputs < 0) return 0;
  return maxOutputs;
}

}  // namespace

int runCall(const Args& args) {
  std::string routine;
  int nargout = -1;
  std::vector<rt::Value> inputs;
  try {
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--nargout") {
        if (i + 1 == args.size()) throw std::invalid_argument("--nargout needs a value");
        const auto n = rt::parseReal(args[++i]);
        // Checked before the cast: a value outside int (or NaN) would make the conversion undefined, and a
        // huge count would size the result array beyond memory.
        if (!n || !(*n >= 0 && *n <= kMaxResults) || *n != std::trunc(*n))
          throw std::invalid_argument("--nargout needs a whole number from 0 to " + std::to_string(kMaxResults));
        nargout = static_cast<int>(*n);
      } else if (args[i].rfind("--", 0) == 0) {
        // No literal and no routine name starts so.
        throw std::invalid_argument("unknown option '" + rt::echoed(args[i]) + "'");
      } else if (routine.empty()) {
        routine = args[i];
      } else {
        inputs.push_back(rt::parseLiteral(args[i]));
      }
    }
  } catch (const std::invalid_argument& e) {  // a bad option or a malformed literal
    std::cerr << "dot11b call: " << e.what() << "\n";
    return kUsage;
  }
  if (routine.empty()) {
    std::cerr << "dot11b call: name the routine to call\n";
    return kUsage;
  }

  LibrarySession session;
  std::vector<dot11b_array*> in;
  for (const auto& v : inputs) in.push_back(toHandle(v));
  const int asked = nargout >= 0 ? nargout : declaredResults(routine);
  std::vector<dot11b_array*> out(static_cast<std::size_t>(std::max(asked, 1)), nullptr);
  const int status = dot11b_call(routine.c_str(), asked, out.data(), static_cast<int>(in.size()), in.data());
  for (dot11b_array* a : in) dot11b_free(a);
  if (status != 0) {
    std::cerr << dot11b_last_error() << "\n";
    return kFailed;
  }
  for (dot11b_array* a : out) {
    if (!a) continue;
    std::cout << rt::display(fromHandle(a)) << "\n";
    dot11b_free(a);
  }
  return kOk;
}

}  // namespace dot11b::cli
