// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/dispatch.h"

#include <exception>
#include <iostream>
#include <stdexcept>

#include "runtime/error_text.h"

namespace dot11b::rt {

void WindowModule::add(std::string name, int line, int maxInputs, int maxOutputs, RoutineFn fn) {
  Routine r;
  r.messageName = messageName_ + "/" + name;
  r.name = std::move(name);
  r.line = line;
  r.maxInputs = maxInputs;
  r.maxOutputs = maxOutputs;
  r.fn = std::move(fn);
  subroutines_.add(std::move(r));
}

Values WindowModule::dispatch(const Values& in, int nargout, const RoutineFn& noInputs) const {
  if (in.empty()) return noInputs ? noInputs(in, nargout) : Values{};
  if (!in.front().isText()) return {};
  try {
    const std::string name = in.front().toUtf8();
    const Routine* sub = subroutines_.find(name);
    if (!sub) throw std::runtime_error("Undefined function '" + name + "' in " + messageName_ + ".");
    return invoke(*sub, Values(in.begin() + 1, in.end()), nargout);
  } catch (const std::exception& e) {
    std::cerr << userMessage(e) << std::endl;
    return {};
  }
}

Routine moduleRoutine(std::string name, const WindowModule& module, RoutineFn run) {
  Routine r;
  r.name = std::move(name);
  r.messageName = module.messageName();
  r.maxInputs = kVariable;
  r.maxOutputs = kVariable;
  r.module = &module;
  r.fn = [&module, run = std::move(run)](const Values& in, int nargout) {
    if (!in.empty() && in.front().isText()) return module.dispatch(in, nargout);
    return run ? run(in, nargout) : Values{};
  };
  return r;
}

}  // namespace dot11b::rt
