// Library-wide state: the routine table and the nine global records, from initialization to termination.
#pragma once

#include <string_view>

#include "runtime/registry.h"

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

// Calls a registered routine by name (exact, then ignoring letter case), checking its declared counts.
Values callByName(std::string_view name, const Values& in, int nargout);

// Runs a sub-routine of a window module by their names, like the module's dispatching entry, except
// that an error is passed on to the caller instead of being printed, so that the caller can tell a
// failure from success.
Values callSubroutine(std::string_view module, std::string_view subroutine, const Values& in, int nargout);

// A subsystem's registration function; the library runs every one at initialization.
using RegistrationFn = void (*)(Registry&);
struct RoutineRegistration {
  explicit RoutineRegistration(RegistrationFn fn);
};

}  // namespace dot11b::rt

// Placed once in a binding source file compiled into the shared library.
#define DOT11B_REGISTER_ROUTINES(fn) \
  static const ::dot11b::rt::RoutineRegistration dot11b_registration_##fn{&fn};
