// SPDX-License-Identifier: GPL-3.0-or-later
// The dispatching entry of a window module: a text first input names the sub-routine to run.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "runtime/shared_api.h"
#include "runtime/registry.h"

namespace dot11b::rt {

class WindowModule {
 public:
  // messageName is the module's own spelling, e.g. "dot11b_GUI_c"; sub-routines are named
  // "<messageName>/<sub-routine>" in messages.
  explicit WindowModule(std::string messageName) : messageName_(std::move(messageName)) {}

  // Adds a sub-routine; its messageName is derived from the module's.
  void add(std::string name, int line, int maxInputs, int maxOutputs, RoutineFn fn);
  const Routine* find(std::string_view name) const { return subroutines_.find(name); }
  const std::string& messageName() const { return messageName_; }

  // With a text first input: runs that sub-routine with the remaining inputs. Any error inside is caught,
  // its text printed on the console (stderr) and no result returned. A first input that is not text does
  // nothing. Without inputs: runs noInputs (the module's own start behaviour), if given.
  Values dispatch(const Values& in, int nargout, const RoutineFn& noInputs = {}) const;

 private:
  std::string messageName_;
  Registry subroutines_;
};

// The registry entry of a window module, exported under `name`: a text first input runs the sub-routine of
// that name (errors printed, as dispatch does); any other call, with no inputs or a first input that is
// not text, runs `run` when given (its errors reach the caller) and otherwise does nothing.
DOT11B_SHARED Routine moduleRoutine(std::string name, const WindowModule& module, RoutineFn run = {});

}  // namespace dot11b::rt
