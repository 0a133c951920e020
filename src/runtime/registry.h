// SPDX-License-Identifier: GPL-3.0-or-later
// The table of routines by name, with their declared numbers of inputs and results.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/shared_api.h"
#include "runtime/value.h"

namespace dot11b::rt {

using Values = std::vector<Value>;

// A routine receives its inputs and the number of results its caller asked for (0 when called for its
// effects; it may still return its first result) and returns at most that many results, or more, which
// the caller drops.
using RoutineFn = std::function<Values(const Values& in, int nargout)>;

constexpr int kVariable = -1;

class WindowModule;

struct Routine {
  std::string name;         // exported name, e.g. "Dot11b_SizeEst"
  std::string messageName;  // as its module spells it in messages, e.g. "dot11b_SizeEst"
  int line = 1;             // line at which it begins in its module
  int maxInputs = 0;        // kVariable: any number
  int maxOutputs = 0;       // kVariable: any number
  RoutineFn fn;
  // For the dispatching entry of a window module: the module, so that its sub-routines can also be run
  // with their errors passed on to the caller.
  const WindowModule* module = nullptr;
};

// The message of a call with more inputs (or results) than the routine declares.
std::string arityMessage(const Routine& routine, bool inputs);

class DOT11B_SHARED Registry {
 public:
  void add(Routine routine);
  // Exact name first, then ignoring letter case (modules are also reached by their lower-case names).
  const Routine* find(std::string_view name) const;
  std::vector<std::string> names() const;
  void clear() { routines_.clear(); }

 private:
  std::map<std::string, Routine, std::less<>> routines_;
};

// Checks the counts against the declaration, then runs the routine. Throws the arity message, or
// whatever the routine throws.
Values invoke(const Routine& routine, const Values& in, int nargout);

}  // namespace dot11b::rt
