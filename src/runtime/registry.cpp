// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/registry.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace dot11b::rt {

std::string arityMessage(const Routine& r, bool inputs) {
  const int count = inputs ? r.maxInputs : r.maxOutputs;
  return "Run-time Error: File: " + r.messageName + " Line: " + std::to_string(r.line) +
         " Column: 1 The function \"" + r.messageName + "\" was called with more than the declared number of " +
         (inputs ? "inputs" : "outputs") + " (" + std::to_string(count) + ").";
}

void Registry::add(Routine routine) {
  if (!routine.fn) throw std::logic_error("routine " + routine.name + " has no body");
  const std::string key = routine.name;
  routines_.insert_or_assign(key, std::move(routine));
}

const Routine* Registry::find(std::string_view name) const {
  if (auto it = routines_.find(name); it != routines_.end()) return &it->second;
  const auto sameIgnoringCase = [name](const auto& entry) {
    return std::equal(entry.first.begin(), entry.first.end(), name.begin(), name.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
  };
  auto it = std::find_if(routines_.begin(), routines_.end(), sameIgnoringCase);
  return it == routines_.end() ? nullptr : &it->second;
}

std::vector<std::string> Registry::names() const {
  std::vector<std::string> out;
  for (const auto& entry : routines_) out.push_back(entry.first);
  return out;
}

Values invoke(const Routine& r, const Values& in, int nargout) {
  if (r.maxInputs != kVariable && static_cast<int>(in.size()) > r.maxInputs)
    throw std::runtime_error(arityMessage(r, true));
  if (r.maxOutputs != kVariable && nargout > r.maxOutputs) throw std::runtime_error(arityMessage(r, false));
  Values out = r.fn(in, nargout);
  if (nargout > 1 && static_cast<int>(out.size()) < nargout)
    throw std::runtime_error("One or more output arguments not assigned during call to \"" + r.messageName +
                             "\".");
  return out;
}

}  // namespace dot11b::rt
