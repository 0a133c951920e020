// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/window_module.h"

#include "toolkit/controls.h"

namespace dot11b::windows {

using rt::Value;
using rt::Values;

namespace {
const Value& emptyValue() {
  static const Value empty;
  return empty;
}
}  // namespace

toolkit::Handle handleInput(const Values& in, std::size_t i) {
  if (i >= in.size() || !in[i].isNumeric() || in[i].isEmpty()) return toolkit::kScreen;
  return in[i].re(0);
}

const Value& recordInput(const Values& in, std::size_t i) { return i < in.size() ? in[i] : emptyValue(); }

rt::RoutineFn callbackRoutine(ControlCallback fn) {
  return [fn](const Values& in, int) {
    fn(handleInput(in, 0), recordInput(in, 2));
    return Values{};
  };
}

rt::RoutineFn handlesRoutine(HandlesRoutine fn) {
  return [fn](const Values& in, int) {
    fn(recordInput(in, 0));
    return Values{};
  };
}

void addCallbacks(rt::WindowModule& module, std::initializer_list<NamedCallback> callbacks, int line, int lineStep) {
  for (const NamedCallback& c : callbacks) {
    module.add(c.name, line, 3, 0, callbackRoutine(c.fn));
    line += lineStep;
  }
}

double globalNumber(std::string_view record, std::string_view field) {
  return rt::global(record).field(field).scalarValue();
}

std::string globalText(std::string_view record, std::string_view field) {
  const Value& v = rt::global(record).field(field);
  return v.isText() ? v.toUtf8() : std::string();
}

void setGlobalNumber(std::string_view record, std::string_view field, double value) {
  rt::global(record).setField(field, Value::scalar(value));
}

namespace {
// The window's data, or its control record while it has none.
Value dialogData(toolkit::Handle figure) {
  Value data = toolkit::current().appData(figure);
  return data.isRecord() ? data : toolkit::current().controlRecord(figure);
}
}  // namespace

void answerDialog(toolkit::Handle figure, std::string_view answer) {
  Value data = dialogData(figure);
  data.setField("answer", Value::text(answer));
  toolkit::current().setAppData(figure, data);
  toolkit::current().resume(figure);
}

std::string waitForAnswer(toolkit::Handle figure) {
  Value start = dialogData(figure);
  start.setField("answer", Value());
  toolkit::current().setAppData(figure, start);
  toolkit::current().show(figure);
  toolkit::current().waitFor(figure);
  if (!toolkit::current().isValid(figure)) return "Cancel";
  const Value data = toolkit::current().appData(figure);
  const Value* answer = data.isRecord() ? data.findField("answer") : nullptr;
  toolkit::current().set(figure, "Visible", toolkit::onOff(false));
  return answer != nullptr && answer->isText() ? answer->toUtf8() : "Cancel";
}

void callModule(std::string_view module, std::string_view subroutine, Values rest) {
  rest.insert(rest.begin(), Value::text(subroutine));
  rt::callByName(module, rest, 0);
}

}  // namespace dot11b::windows
