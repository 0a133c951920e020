// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_driver.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "c_host.h"

namespace dot11b::gui_test {

namespace {

using cli::fromHandle;
using cli::toHandle;

}  // namespace

void AppTest::SetUp() {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("DOT11B_SPLASH_MS", "0", 1);
  setenv("DOT11B_INSTRIO_TIMEOUT_MS", "2000", 1);
  char folder[] = "/tmp/dot11b-gui-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  workFolder = folder;
  ASSERT_EQ(chdir(folder), 0);
  ASSERT_EQ(Dot11b_c_libInitialize(), 1);
  dot11b_set_dialog_hook(&AppTest::answer, this);
  dot11b_set_wait_hook(&AppTest::waiting, this);
  ASSERT_EQ(mlfDot11b_c(), 0) << dot11b_last_error();
  ASSERT_EQ(call1("Findobj", {Value::text("main")}).numel(), 1u) << "the main window did not open";
}

void AppTest::TearDown() {
  if (call1("Findobj", {Value::text("main")}).numel() == 1) click("menuFileExit");
  // Plot windows that a test opened by name, outside the application's list, are closed as a user would.
  const std::vector<double> plotCloseItems = call1("Findobj", {Value::text("VX_Close")}).real();
  for (double h : plotCloseItems) call("Invoke", {Value::scalar(h)}, 0);
  dot11b_run_event_loop();
  dot11b_set_dialog_hook(nullptr, nullptr);
  dot11b_set_wait_hook(nullptr, nullptr);
  Dot11b_c_libTerminate();
  std::error_code ignored;
  std::filesystem::remove_all(workFolder, ignored);
}

Values AppTest::call(const std::string& routine, const Values& in, int nargout) {
  try {
    return cli::callRoutine(routine.c_str(), in, nargout);
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(routine + ": " + e.what());
  }
}

double AppTest::handle(const std::string& tag) {
  if (!waitingWindows_.empty()) {
    const Value controls = call1("Guihandles", {Value::scalar(waitingWindows_.back())});
    if (const Value* h = controls.findField(tag)) return h->re(0);
  }
  const Value found = call1("Findobj", {Value::text(tag)});
  if (found.numel() == 0) throw std::runtime_error("no open control is tagged " + tag);
  for (double h : found.real()) {
    const double window = call1("Guihandles", {Value::scalar(h)}).fields().front().second.re(0);
    if (call1("Get", {Value::scalar(window), Value::text("Visible")}).toUtf8() == "on") return h;
  }
  return found.re(0);
}

Value AppTest::get(const std::string& tag, const std::string& property) {
  return call1("Get", {Value::scalar(handle(tag)), Value::text(property)});
}

void AppTest::set(const std::string& tag, const std::string& property, const Value& v) {
  call("Set", {Value::scalar(handle(tag)), Value::text(property), v}, 0);
}

void AppTest::type(const std::string& tag, const std::string& text) {
  set(tag, "String", Value::text(text));
  click(tag);
}

void AppTest::choose(const std::string& tag, double entry) {
  set(tag, "Value", Value::scalar(entry));
  click(tag);
}

void AppTest::check(const std::string& tag, bool on) {
  set(tag, "Value", Value::scalar(on ? 1 : 0));
  click(tag);
}

void AppTest::click(const std::string& tag) { call("Invoke", {Value::scalar(handle(tag))}, 0); }

Value AppTest::global(const std::string& name) {
  dot11b_array* a = dot11b_get_global(name.c_str());
  Value v = fromHandle(a);
  dot11b_free(a);
  return v;
}

void AppTest::setGlobal(const std::string& name, const Value& v) {
  dot11b_array* a = toHandle(v);
  dot11b_set_global(name.c_str(), a);
  dot11b_free(a);
}

dot11b_array* AppTest::answer(void* self, const dot11b_dialog* d) {
  auto* test = static_cast<AppTest*>(self);
  ShownDialog s{d->kind, d->title, d->text, {}, d->default_button};
  for (std::size_t i = 0; i < d->item_count; ++i) s.items.emplace_back(d->items[i]);
  test->shown.push_back(s);
  const auto next = [](auto& queue) {
    auto front = std::move(queue.front());
    queue.pop_front();
    return front;
  };
  switch (d->kind) {
    case DOT11B_DIALOG_QUESTION:
      return test->questionAnswers.empty() ? nullptr : dot11b_create_text(next(test->questionAnswers).c_str());
    case DOT11B_DIALOG_INPUTS: {
      if (test->inputAnswers.empty()) return nullptr;
      const std::vector<std::string> texts = next(test->inputAnswers);
      Value cell = Value::cell(1, texts.size());
      for (std::size_t i = 0; i < texts.size(); ++i) cell.cells()[i] = Value::text(texts[i]);
      return toHandle(cell);
    }
    case DOT11B_DIALOG_OPEN_FILE:
    case DOT11B_DIALOG_SAVE_FILE:
      return test->fileAnswers.empty() ? nullptr : dot11b_create_text(next(test->fileAnswers).c_str());
    default:
      return nullptr;
  }
}

void AppTest::waiting(void* self, double window) {
  auto* test = static_cast<AppTest*>(self);
  test->waitingWindows_.push_back(window);
  if (test->onWait) test->onWait(window);
  test->waitingWindows_.pop_back();
}

}  // namespace dot11b::gui_test
