// The library's top entry and the format module's dispatching entry with its settings initializers.
#include "runtime/binding.h"
#include "runtime/dispatch.h"
#include "runtime/export_macros.h"
#include "shell/settings.h"

namespace dot11b::rt {

namespace {

Values initializeAppInfo(const Values&, int) {
  global("appInfo") = shell::initialAppInfo();
  return {};
}

Values initializeConfiguration(const Values&, int) {
  global("configuration") = shell::initialConfiguration();
  return {};
}

Values initializeParameters(const Values&, int) {
  global("parameters") = shell::initialParameters();
  return {};
}

Values initializeSigGenSettings(const Values&, int) {
  const double overSampling = global("parameters").field("OverSampling").scalarValue();
  global("SigGenSettings") = shell::initialSigGenSettings(overSampling);
  return {};
}

// Start-up: the settings records in their order. The window is built on top of this once the
// toolkit layer exists.
Values startApplication(const Values&, int) {
  initializeAppInfo({}, 0);
  initializeConfiguration({}, 0);
  initializeParameters({}, 0);
  initializeSigGenSettings({}, 0);
  return {};
}

const WindowModule& formatModule() {
  static const WindowModule module = [] {
    WindowModule m("dot11b_GUI_c");
    m.add("InitializeAppInfo", 120, 0, 0, initializeAppInfo);
    m.add("InitializeConfiguration", 146, 0, 0, initializeConfiguration);
    m.add("InitializeParameters", 165, 0, 0, initializeParameters);
    m.add("InitializeSigGenSettings", 226, 0, 0, initializeSigGenSettings);
    return m;
  }();
  return module;
}

void registerFormatModule(Registry& r) {
  r.add({"Dot11b_GUI_c", "dot11b_GUI_c", 1, kVariable, kVariable,
         [](const Values& in, int nargout) { return formatModule().dispatch(in, nargout, startApplication); }});
  r.add({"Dot11b_c", "Dot11b_c", 1, 0, 0, [](const Values&, int) {
           callByName("Dot11b_GUI_c", {}, 0);
           return Values{};
         }});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerFormatModule)

}  // namespace dot11b::rt

DOT11B_EXPORT_VOID(Dot11b_c)
DOT11B_EXPORT_VARIABLE(Dot11b_GUI_c)
