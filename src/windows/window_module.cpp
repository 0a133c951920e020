// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/window_module.h"

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

void callModule(std::string_view module, std::string_view subroutine, Values rest) {
  rest.insert(rest.begin(), Value::text(subroutine));
  rt::callByName(module, rest, 0);
}

}  // namespace dot11b::windows
