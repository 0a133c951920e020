// SPDX-License-Identifier: GPL-3.0-or-later
// Library-wide state: the routine table and the nine global records, from initialization to termination.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/registry.h"
#include "runtime/shared_api.h"

namespace dot11b::rt {

// Registers every routine and creates the globals empty. Calling it again starts afresh.
void initializeLibrary();
void terminateLibrary();
bool libraryInitialized();

Registry& registry();

// One of the nine globals: parameters, SigGenSettings, configuration, appInfo, figureList, waveform,
// markers, MACheader, newSettings. Throws for any other name or before initialization.
Value& global(std::string_view name);
bool isGlobalName(std::string_view name);

// A routine by name (exact, then ignoring letter case). A name not in the table opens the routine modules
// not open yet, whose routines then join the table; nullptr when the name is still unknown.
const Routine* findRoutine(std::string_view name);
// Every routine's name, those of the routine modules included.
std::vector<std::string> routineNames();
// "Undefined function 'name'.", with the reason when a routine module could not be opened.
std::string undefinedMessage(std::string_view name);

// A module (a shared object beside the library, see openModule) whose routines join the table when a
// name not in it is first asked for: one of `routines`, the names it holds, or any name when there are none.
// Its routines register themselves with DOT11B_REGISTER_ROUTINES.
void addRoutineModule(const std::string& fileName, std::vector<std::string> routines = {});
// Opens the routine modules not open yet and registers their routines; throws when one cannot be opened.
void openRoutineModules();

// Calls a registered routine by name (exact, then ignoring letter case), checking its declared counts.
DOT11B_SHARED Values callByName(std::string_view name, const Values& in, int nargout);

// Runs a sub-routine of a window module by their names, like the module's dispatching entry, except
// that an error is passed on to the caller instead of being printed, so that the caller can tell a
// failure from success.
Values callSubroutine(std::string_view module, std::string_view subroutine, const Values& in, int nargout);

// A subsystem's registration function; the library runs every one at initialization.
using RegistrationFn = void (*)(Registry&);
struct DOT11B_SHARED RoutineRegistration {
  explicit RoutineRegistration(RegistrationFn fn);
};

}  // namespace dot11b::rt

// Placed once in a binding source file compiled into the shared library.
#define DOT11B_REGISTER_ROUTINES(fn) \
  static const ::dot11b::rt::RoutineRegistration dot11b_registration_##fn{&fn};
