// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/library.h"

#include "runtime/dispatch.h"
#include "runtime/modules.h"

#include <algorithm>
#include <array>
#include <cctype>
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

struct RoutineModule {
  std::string fileName;
  std::vector<std::string> routines;  // the names it holds; none: any name may be its
  bool open = false;
  bool failed = false;  // it could not be opened when one of its routines was asked for

  bool names(std::string_view name) const {
    return std::any_of(routines.begin(), routines.end(), [&](const std::string& held) {
      return held.size() == name.size() && std::equal(held.begin(), held.end(), name.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
             });
    });
  }
};

struct RoutineModules {
  std::vector<RoutineModule> modules;
  std::string failure;  // why the last attempt to open one failed
};

RoutineModules& routineModules() {
  static RoutineModules m;
  return m;
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

void addRoutineModule(const std::string& fileName, std::vector<std::string> routines) {
  for (const RoutineModule& m : routineModules().modules)
    if (m.fileName == fileName) return;
  routineModules().modules.push_back({fileName, std::move(routines)});
}

namespace {

// Opens one module and registers its routines; throws when it cannot be opened, keeping the reason.
void openRoutineModule(RoutineModule& m) {
  // The module's registrations are recorded while it loads and run once it has loaded, when every object
  // of the module has been constructed.
  const std::size_t before = registrations().size();
  try {
    openModule(m.fileName);
  } catch (const std::exception& e) {
    m.failed = true;
    routineModules().failure = e.what();
    throw;
  }
  m.open = true;
  if (state().initialized) {
    for (std::size_t i = before; i < registrations().size(); ++i) registrations()[i](state().routines);
  }
}

}  // namespace

void openRoutineModules() {
  for (RoutineModule& m : routineModules().modules)
    if (!m.open) openRoutineModule(m);
  routineModules().failure.clear();
}

namespace {

// Opens the routine modules not open yet that can be opened (the reason of a failure is kept for
// undefinedMessage).
void openEveryModule() {
  for (RoutineModule& m : routineModules().modules) {
    if (m.open) continue;
    try {
      openRoutineModule(m);
    } catch (const std::exception&) {
    }
  }
}

}  // namespace

const Routine* findRoutine(std::string_view name) {
  if (const Routine* routine = registry().find(name)) return routine;
  // Only the modules that may hold the name are opened, one at a time, those that name it first: a call of
  // a radio routine loads no windows, and a module that cannot be opened leaves the others to be tried.
  for (const bool named : {true, false}) {
    for (RoutineModule& m : routineModules().modules) {
      if (m.open || m.failed || (named ? !m.names(name) : !m.routines.empty())) continue;
      try {
        openRoutineModule(m);
      } catch (const std::exception&) {
        continue;
      }
      if (const Routine* routine = registry().find(name)) return routine;
    }
  }
  return nullptr;
}

std::vector<std::string> routineNames() {
  openEveryModule();
  return registry().names();
}

std::string undefinedMessage(std::string_view name) {
  std::string message = "Undefined function '" + std::string(name) + "'.";
  if (!routineModules().failure.empty()) message += " (" + routineModules().failure + ")";
  return message;
}

Values callByName(std::string_view name, const Values& in, int nargout) {
  if (!libraryInitialized()) throw std::logic_error("the library is not initialized");
  const Routine* routine = findRoutine(name);
  if (!routine) throw std::runtime_error(undefinedMessage(name));
  return invoke(*routine, in, nargout);
}

Values callSubroutine(std::string_view module, std::string_view subroutine, const Values& in, int nargout) {
  if (!libraryInitialized()) throw std::logic_error("the library is not initialized");
  const Routine* entry = findRoutine(module);
  if (!entry || !entry->module) throw std::runtime_error("Undefined window module '" + std::string(module) + "'.");
  const Routine* sub = entry->module->find(subroutine);
  if (!sub) throw std::runtime_error("Undefined function '" + std::string(subroutine) + "' in " + entry->messageName + ".");
  return invoke(*sub, in, nargout);
}

}  // namespace dot11b::rt
