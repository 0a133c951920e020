#include "runtime/library.h"

#include "runtime/dispatch.h"

#include <array>
#include <map>
#include <stdexcept>
#include <string>

namespace dot11b::rt {

namespace {

constexpr std::array<std::string_view, 9> kGlobalNames = {
    "parameters", "SigGenSettings", "configuration", "appInfo", "figureList",
    "waveform",   "markers",        "MACheader",     "newSettings"};

struct LibraryState {
  bool initialized = false;
  Registry routines;
  std::map<std::string, Value, std::less<>> globals;
};

LibraryState& state() {
  static LibraryState s;
  return s;
}

std::vector<RegistrationFn>& registrations() {
  static std::vector<RegistrationFn> fns;
  return fns;
}

}  // namespace

RoutineRegistration::RoutineRegistration(RegistrationFn fn) { registrations().push_back(fn); }

void initializeLibrary() {
  LibraryState& s = state();
  s.routines.clear();
  s.globals.clear();
  for (std::string_view name : kGlobalNames) s.globals.emplace(std::string(name), Value());
  for (RegistrationFn fn : registrations()) fn(s.routines);
  s.initialized = true;
}

void terminateLibrary() {
  LibraryState& s = state();
  s.routines.clear();
  s.globals.clear();
  s.initialized = false;
}

bool libraryInitialized() { return state().initialized; }

Registry& registry() { return state().routines; }

bool isGlobalName(std::string_view name) {
  for (std::string_view g : kGlobalNames)
    if (g == name) return true;
  return false;
}

Value& global(std::string_view name) {
  LibraryState& s = state();
  if (!s.initialized) throw std::logic_error("the library is not initialized");
  auto it = s.globals.find(name);
  if (it == s.globals.end()) throw std::invalid_argument("'" + std::string(name) + "' is not a global of the library");
  return it->second;
}

Values callByName(std::string_view name, const Values& in, int nargout) {
  if (!libraryInitialized()) throw std::logic_error("the library is not initialized");
  const Routine* routine = registry().find(name);
  if (!routine) throw std::runtime_error("Undefined function '" + std::string(name) + "'.");
  return invoke(*routine, in, nargout);
}

Values callSubroutine(std::string_view module, std::string_view subroutine, const Values& in, int nargout) {
  if (!libraryInitialized()) throw std::logic_error("the library is not initialized");
  const Routine* entry = registry().find(module);
  if (!entry || !entry->module) throw std::runtime_error("Undefined window module '" + std::string(module) + "'.");
  const Routine* sub = entry->module->find(subroutine);
  if (!sub) throw std::runtime_error("Undefined function '" + std::string(subroutine) + "' in " + entry->messageName + ".");
  return invoke(*sub, in, nargout);
}

}  // namespace dot11b::rt
