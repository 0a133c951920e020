// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "runtime/dispatch.h"
#include "runtime/registry.h"

using namespace dot11b::rt;

namespace {

Routine routine(std::string messageName, int line, int maxIn, int maxOut) {
  return {"R", std::move(messageName), line, maxIn, maxOut, [](const Values& in, int) { return in; }};
}

}  // namespace

TEST(Arity, MessagesNameTheRoutineLineAndCount) {
  EXPECT_EQ(arityMessage(routine("dot11b_SizeEst", 1, 10, 1), true),
            "Run-time Error: File: dot11b_SizeEst Line: 1 Column: 1 The function \"dot11b_SizeEst\" was called "
            "with more than the declared number of inputs (10).");
  EXPECT_EQ(arityMessage(routine("extendvector", 17, 2, 1), false),
            "Run-time Error: File: extendvector Line: 17 Column: 1 The function \"extendvector\" was called "
            "with more than the declared number of outputs (1).");
}

TEST(Arity, InvokeChecksBothCounts) {
  const Routine r = routine("dot11b_c", 1, 0, 0);
  EXPECT_NO_THROW(invoke(r, {}, 0));
  EXPECT_THROW(invoke(r, {Value::scalar(1)}, 0), std::runtime_error);
  try {
    invoke(r, {}, 1);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("declared number of outputs (0)"), std::string::npos);
  }
  EXPECT_NO_THROW(invoke(routine("v", 1, kVariable, kVariable), Values(20), 5));
}

TEST(Registry, FindsExactThenIgnoringCase) {
  Registry reg;
  Routine r = routine("dot11b_GUI_c", 1, kVariable, kVariable);
  r.name = "Dot11b_GUI_c";
  reg.add(r);
  ASSERT_NE(reg.find("Dot11b_GUI_c"), nullptr);
  ASSERT_NE(reg.find("dot11b_GUI_c"), nullptr);
  EXPECT_EQ(reg.find("Dot11b_GUI"), nullptr);
}

TEST(Dispatch, ErrorsArePrintedAndTheNextCallWorks) {
  WindowModule m("dot11b_GUI_c");
  int calls = 0;
  m.add("fails", 10, 0, 0, [](const Values&, int) -> Values { throw std::runtime_error("inner failure"); });
  m.add("works", 20, 1, 1, [&](const Values& in, int) { ++calls; return in; });

  testing::internal::CaptureStderr();
  const Values failed = m.dispatch({Value::text("fails")}, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "inner failure\n");
  EXPECT_TRUE(failed.empty());

  const Values ok = m.dispatch({Value::text("works"), Value::scalar(7)}, 1);
  ASSERT_EQ(ok.size(), 1u);
  EXPECT_EQ(ok[0].scalarValue(), 7);
  EXPECT_EQ(calls, 1);

  // Too many inputs for the sub-routine: its arity message, printed, no results.
  testing::internal::CaptureStderr();
  EXPECT_TRUE(m.dispatch({Value::text("works"), Value::scalar(1), Value::scalar(2)}, 0).empty());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("File: dot11b_GUI_c/works Line: 20"), std::string::npos);
}

TEST(Dispatch, NonTextFirstInputDoesNothing) {
  WindowModule m("rfCommonUI");
  bool ran = false;
  m.add("x", 1, kVariable, kVariable, [&](const Values&, int) { ran = true; return Values{}; });
  testing::internal::CaptureStderr();
  EXPECT_TRUE(m.dispatch({Value::scalar(3), Value::text("x")}, 1).empty());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(ran);
  bool started = false;
  m.dispatch({}, 0, [&](const Values&, int) { started = true; return Values{}; });
  EXPECT_TRUE(started);
}
