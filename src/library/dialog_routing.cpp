// SPDX-License-Identifier: GPL-3.0-or-later
// Which dialogs the commands show: the host's, through its dialog hook; the window's, once the window
// system runs; otherwise the console's. The host's hook answers questions and file dialogs itself.
#include <vector>

#include "runtime/c_calls.h"
#include "runtime/library.h"
#include "toolkit/dialogs.h"
#include "toolkit/window_system.h"

namespace dot11b::rt {

namespace {

dot11b_dialog_hook hostHook = nullptr;
void* hostContext = nullptr;

class HookDialogs : public toolkit::Dialogs {
 public:
  void message(std::string_view text, std::string_view title) override {
    ask(DOT11B_DIALOG_MESSAGE, title, text, {}, {}, "");
  }
  void error(std::string_view text, std::string_view title) override {
    ask(DOT11B_DIALOG_ERROR, title, text, {}, {}, "");
  }
  std::string question(std::string_view text, std::string_view title, const std::vector<std::string>& buttons,
                       std::string_view defaultButton) override {
    const Value answer = ask(DOT11B_DIALOG_QUESTION, title, text, buttons, {}, defaultButton);
    return answer.isText() ? answer.toUtf8() : std::string();
  }
  std::optional<std::vector<std::string>> inputs(std::string_view title, const std::vector<std::string>& prompts,
                                                 const std::vector<std::string>& defaults) override {
    const Value answer = ask(DOT11B_DIALOG_INPUTS, title, "", prompts, defaults, "");
    if (!answer.isCell()) return std::nullopt;
    std::vector<std::string> texts;
    for (const Value& v : answer.cells()) texts.push_back(v.isText() ? v.toUtf8() : std::string());
    return texts;
  }
  std::optional<toolkit::FileChoice> openFile(std::string_view filter) override {
    return file(DOT11B_DIALOG_OPEN_FILE, filter);
  }
  std::optional<toolkit::FileChoice> saveFile(std::string_view filter) override {
    return file(DOT11B_DIALOG_SAVE_FILE, filter);
  }

 private:
  std::optional<toolkit::FileChoice> file(dot11b_dialog_kind kind, std::string_view filter) {
    const Value answer = ask(kind, filter, "", {}, {}, "");
    if (!answer.isText() || answer.isEmpty()) return std::nullopt;
    return toolkit::splitFileName(answer.toUtf8());
  }

  // The host's answer (empty when it gave none); the array it returned is released here.
  static Value ask(dot11b_dialog_kind kind, std::string_view title, std::string_view text,
                   const std::vector<std::string>& items, const std::vector<std::string>& defaults,
                   std::string_view defaultButton) {
    const std::string t(title), x(text), d(defaultButton);
    std::vector<const char*> itemPtrs, defaultPtrs;
    for (const auto& s : items) itemPtrs.push_back(s.c_str());
    for (const auto& s : defaults) defaultPtrs.push_back(s.c_str());
    const dot11b_dialog dialog{kind,         t.c_str(), x.c_str(), itemPtrs.data(), defaultPtrs.data(),
                               items.size(), d.c_str()};
    dot11b_array* answer = hostHook(hostContext, &dialog);
    if (answer == nullptr) return Value();
    Value v = *valueOf(answer);
    dot11b_free(answer);
    return v;
  }
};

// Chooses at each use, so that a window system started later is used from then on.
class RoutedDialogs : public toolkit::Dialogs {
 public:
  void message(std::string_view text, std::string_view title) override { current().message(text, title); }
  void error(std::string_view text, std::string_view title) override { current().error(text, title); }
  std::string question(std::string_view text, std::string_view title, const std::vector<std::string>& buttons,
                       std::string_view defaultButton) override {
    return current().question(text, title, buttons, defaultButton);
  }
  std::optional<std::vector<std::string>> inputs(std::string_view title, const std::vector<std::string>& prompts,
                                                 const std::vector<std::string>& defaults) override {
    return current().inputs(title, prompts, defaults);
  }
  std::optional<toolkit::FileChoice> openFile(std::string_view filter) override { return current().openFile(filter); }
  std::optional<toolkit::FileChoice> saveFile(std::string_view filter) override { return current().saveFile(filter); }
  bool print(double window) override { return current().print(window); }

 private:
  static toolkit::Dialogs& current() {
    static HookDialogs hook;
    static toolkit::ConsoleDialogs console;
    if (hostHook != nullptr) return hook;
    if (toolkit::WindowSystem* windows = toolkit::openWindowSystem()) {
      if (toolkit::Dialogs* running = windows->runningDialogs()) return *running;
    }
    return console;
  }
};

void registerDialogRouting(Registry&) {
  static RoutedDialogs routed;
  toolkit::setDialogs(&routed);
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerDialogRouting)

}  // namespace dot11b::rt

extern "C" void dot11b_set_dialog_hook(dot11b_dialog_hook hook, void* context) {
  dot11b::rt::hostHook = hook;
  dot11b::rt::hostContext = context;
}
