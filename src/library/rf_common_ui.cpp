// The application window module RfCommonUI: its dispatching entry with the File commands, the
// parameter-file and connection-settings routines and the special waveform save. The format module is
// reached by name through appInfo.ApplicationFunction.
#include "runtime/binding.h"
#include "runtime/dispatch.h"
#include "runtime/export_macros.h"
#include "shell/connection_settings.h"
#include "shell/dialogs.h"
#include "shell/file_commands.h"
#include "shell/parameter_files.h"

namespace dot11b::rt {

namespace {

constexpr std::string_view kModule = "rfCommonUI";
// Save As with a file name that starts with this prefix (and has more after it) saves the waveform.
constexpr std::string_view kSpecialSavePrefix = "velmira.";

// A text field of a global record, "" when it is empty.
std::string textField(std::string_view record, std::string_view name) {
  const Value& v = global(record).field(name);
  return v.isEmpty() ? std::string() : toText(v, {kModule, name});
}

void callFormatModule(const Values& in) { callByName(textField("appInfo", "ApplicationFunction"), in, 0); }

// The format module redraws the window's controls; without a window (no control record) there is nothing
// to redraw.
void redrawFormatModule(const Value& handles) {
  if (handles.isRecord()) callFormatModule({Value::text("redraw"), handles});
}

std::string applicationTitle() {
  std::string title = "Vantrel Wavendo - " + textField("appInfo", "Name");
  const std::string file = textField("configuration", "LastParameterFilename");
  if (!file.empty()) title += " : " + file;
  return title;
}

shell::Samples computedWaveform() {
  return toComplexVector(global("waveform"), {kModule, "waveform"});
}

Values saveConfig(const Values& in, int) {
  shell::saveConnectionSettings(input(in, 0, {"rfCommonUI/saveConfig", "fileParameters"}));
  return {};
}

Values loadConfig(const Values&, int) { return {shell::loadConnectionSettings()}; }

Values addFileExtention(const Values& in, int) {
  constexpr std::string_view r = "rfCommonUI/addFileExtention";
  return {Value::text(shell::addFileExtention(toText(input(in, 0, {r, "name"}), {r, "name"}),
                                              toText(input(in, 1, {r, "ext"}), {r, "ext"})))};
}

Values saveParameters(const Values& in, int) {
  constexpr std::string_view r = "rfCommonUI/saveParameters";
  shell::saveParameters(toText(input(in, 0, {r, "filename"}), {r, "filename"}), input(in, 1, {r, "fileParameters"}),
                        shell::dialogs());
  return {};
}

bool loadParametersInto(const std::string& filename, const Value& handles) {
  if (!shell::loadParameters(filename, global("parameters"), shell::dialogs())) return false;
  redrawFormatModule(handles);
  return true;
}

Values loadParameters(const Values& in, int) {
  constexpr std::string_view r = "rfCommonUI/loadParameters";
  const std::string filename = toText(input(in, 0, {r, "filename"}), {r, "filename"});
  const Value handles = given(in, 1) ? in[1] : Value();
  return {Value::scalar(loadParametersInto(filename, handles) ? 1 : 0)};
}

Values saveWaveform(const Values& in, int) {
  constexpr std::string_view r = "rfCommonUI/saveWaveform";
  shell::saveWaveform(toText(input(in, 0, {r, "filename"}), {r, "filename"}), computedWaveform(), shell::dialogs());
  return {};
}

// The window's title text: "Vantrel Wavendo - ", the application's name and " : " with the parameter file.
Values redrawAppTitle(const Values&, int) { return {Value::text(applicationTitle())}; }

Value callbackHandles(const Values& in) { return in.size() >= 3 ? in[2] : Value(); }

std::string parameterFilter() {
  std::string filter = "*";
  return filter.append(textField("appInfo", "ParameterFileExtension"));
}

// Saves the parameters under a new name; the name is remembered (and shown in the title) only once the
// file was written, so a failed save never leaves File Save pointing at a file that does not exist.
void saveParametersAs(const shell::FileChoice& choice) {
  const std::string name =
      shell::addFileExtention(choice.folder + choice.name, textField("appInfo", "ParameterFileExtension"));
  if (!shell::saveParameters(name, global("parameters"), shell::dialogs())) return;
  global("configuration").setField("LastParameterFilename", Value::text(name));
}

Values menuFileNew(const Values& in, int) {
  global("configuration").setField("LastParameterFilename", Value());
  callFormatModule({Value::text("InitializeParameters")});
  callFormatModule({Value::text("InitializeSigGenSettings")});
  redrawFormatModule(callbackHandles(in));
  return {};
}

Values menuFileOpen(const Values& in, int) {
  const auto choice = shell::dialogs().openFile(parameterFilter());
  if (!choice) return {};
  const std::string full = shell::addFileExtention(choice->folder + choice->name, ".mat");
  if (loadParametersInto(full, callbackHandles(in))) {
    global("configuration").setField("LastParameterFilename", Value::text(full));
  }
  return {};
}

Values menuFileSave(const Values&, int) {
  const std::string last = textField("configuration", "LastParameterFilename");
  if (!last.empty()) {
    shell::saveParameters(last, global("parameters"), shell::dialogs());
    return {};
  }
  if (const auto choice = shell::dialogs().saveFile(parameterFilter())) saveParametersAs(*choice);
  return {};
}

Values menuFileSaveAs(const Values&, int) {
  const auto choice = shell::dialogs().saveFile(parameterFilter());
  if (!choice) return {};
  if (choice->name.size() > kSpecialSavePrefix.size() && choice->name.starts_with(kSpecialSavePrefix)) {
    shell::saveWaveform(choice->folder + choice->name.substr(kSpecialSavePrefix.size()), computedWaveform(),
                        shell::dialogs());
    return {};
  }
  saveParametersAs(*choice);
  return {};
}

const WindowModule& rfCommonUIModule() {
  static const WindowModule module = [] {
    WindowModule m{std::string(kModule)};
    m.add("saveConfig", 1, 1, 0, saveConfig);
    m.add("loadConfig", 1, 0, 1, loadConfig);
    m.add("addFileExtention", 1, 2, 1, addFileExtention);
    m.add("saveParameters", 1, 2, 0, saveParameters);
    m.add("loadParameters", 1, 2, 1, loadParameters);
    m.add("saveWaveform", 1, 1, 0, saveWaveform);
    m.add("redrawAppTitle", 1, 1, 1, redrawAppTitle);
    m.add("menuFileNew_Callback", 1, 3, 0, menuFileNew);
    m.add("menuFileOpen_Callback", 1, 3, 0, menuFileOpen);
    m.add("menuFileSave_Callback", 1, 3, 0, menuFileSave);
    m.add("menuFileSaveAs_Callback", 1, 3, 0, menuFileSaveAs);
    return m;
  }();
  return module;
}

void registerRfCommonUI(Registry& r) {
  r.add({"RfCommonUI", std::string(kModule), 1, kVariable, kVariable,
         [](const Values& in, int nargout) { return rfCommonUIModule().dispatch(in, nargout); }});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerRfCommonUI)

}  // namespace dot11b::rt

DOT11B_EXPORT_VARIABLE(RfCommonUI)
