// SPDX-License-Identifier: GPL-3.0-or-later
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "dot11b/Dot11b_c_lib.h"

namespace {

class CInterface : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Dot11b_c_libInitialize(), 1); }
  void TearDown() override { Dot11b_c_libTerminate(); }

  static double number(const dot11b_array* record, const char* field) {
    const dot11b_array* f = dot11b_field(record, field);
    EXPECT_NE(f, nullptr) << field;
    return f ? dot11b_real(f)[0] : NAN;
  }
};

dot11b_array* text(const char* s) { return dot11b_create_text(s); }

}  // namespace

TEST_F(CInterface, EveryRegisteredRoutineIsExportedInBothForms) {
  std::size_t count = 0;
  for (std::size_t i = 0; const char* name = dot11b_routine_name(i); ++i, ++count) {
    for (const char* prefix : {"mlf", "mlx"})
      EXPECT_NE(dlsym(RTLD_DEFAULT, (std::string(prefix) + name).c_str()), nullptr) << prefix << name;
  }
  EXPECT_GE(count, 3u);
  // Names handed out earlier stay valid while the list is walked.
  const char* first = dot11b_routine_name(0);
  const std::string firstName = first;
  ASSERT_NE(dot11b_routine_name(1), nullptr);
  EXPECT_EQ(std::string(first), firstName);
  EXPECT_EQ(dot11b_routine_name(0), first);
  EXPECT_NE(dlsym(RTLD_DEFAULT, "mlfNDot11b_GUI_c"), nullptr);
  EXPECT_NE(dlsym(RTLD_DEFAULT, "mlfVDot11b_GUI_c"), nullptr);
}

TEST_F(CInterface, TopEntryArityErrors) {
  dot11b_array* one = dot11b_create_scalar(1);
  dot11b_array* out[1] = {nullptr};
  EXPECT_EQ(mlxDot11b_c(0, out, 1, &one), -1);
  EXPECT_STREQ(dot11b_last_error(),
               "Run-time Error: File: Dot11b_c Line: 1 Column: 1 The function \"Dot11b_c\" was called with more "
               "than the declared number of inputs (0).");
  EXPECT_EQ(mlxDot11b_c(1, out, 0, nullptr), -1);
  EXPECT_NE(std::string(dot11b_last_error()).find("declared number of outputs (0)"), std::string::npos);
  EXPECT_EQ(out[0], nullptr);
  dot11b_free(one);
}

TEST_F(CInterface, TopEntryWithoutADisplayFailsWithAMessage) {
  unsetenv("DISPLAY");
  unsetenv("QT_QPA_PLATFORM");
  EXPECT_EQ(mlfDot11b_c(), -1);
  const std::string message = dot11b_last_error();
  EXPECT_NE(message.find("dot11b --help"), std::string::npos) << message;
  EXPECT_NE(message.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << message;
  EXPECT_EQ(dot11b_run_event_loop(), 0);
}

// Whether a shared object whose file name contains `part` is mapped into this process.
bool loaded(const std::string& part) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);)
    if (line.find(part) != std::string::npos) return true;
  return false;
}

TEST_F(CInterface, TheWindowModuleIsOpenedByTheFirstWindowRoutineOnly) {
  // ctest runs every test in a process of its own; a run of the whole program has opened it before.
  if (loaded("libDot11b_windows.so")) GTEST_SKIP() << "an earlier test of this process opened the window module";
  dot11b_array* name = text("InitializeParameters");
  EXPECT_EQ(mlfVDot11b_GUI_c(name, nullptr), 0);
  dot11b_free(name);
  EXPECT_FALSE(loaded("libDot11b_windows.so"));
  EXPECT_FALSE(loaded("libQt6Widgets"));

  int inputs = -1, outputs = -1;
  ASSERT_EQ(dot11b_routine_counts("Get", &inputs, &outputs), 0);
  EXPECT_EQ(inputs, 2);
  EXPECT_TRUE(loaded("libDot11b_windows.so"));
  EXPECT_TRUE(loaded("libQt6Widgets"));
  // Its routines stay registered across a new start of the library.
  Dot11b_c_libTerminate();
  ASSERT_EQ(Dot11b_c_libInitialize(), 1);
  EXPECT_EQ(dot11b_routine_counts("Get", nullptr, nullptr), 0);
  EXPECT_EQ(dot11b_routine_counts("NoSuchRoutine", nullptr, nullptr), -1);
}

TEST_F(CInterface, CallsForTheEffectsMayPassNoRoomForResults) {
  dot11b_array* name = text("InitializeParameters");
  EXPECT_EQ(dot11b_call("Dot11b_GUI_c", 0, nullptr, 1, &name), 0);
  dot11b_free(name);
  dot11b_array* p = dot11b_get_global("parameters");
  EXPECT_EQ(number(p, "idleSamples"), 4400);
  dot11b_free(p);
  EXPECT_EQ(dot11b_call("Dot11b_SizeEst", 1, nullptr, 0, nullptr), -1);
  EXPECT_NE(std::string(dot11b_last_error()).find("plhs is NULL"), std::string::npos) << dot11b_last_error();
  dot11b_array* out[1] = {nullptr};
  EXPECT_EQ(dot11b_call("Dot11b_SizeEst", 1, out, 3, nullptr), -1);
  EXPECT_NE(std::string(dot11b_last_error()).find("prhs is NULL"), std::string::npos) << dot11b_last_error();
}

TEST_F(CInterface, InitializersThroughTheDispatchingEntry) {
  dot11b_array* name = text("InitializeParameters");
  EXPECT_EQ(mlfVDot11b_GUI_c(name, nullptr), 0);
  dot11b_array* p = dot11b_get_global("parameters");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(number(p, "rampLength"), 88);
  EXPECT_EQ(number(p, "idleSamples"), 4400);
  EXPECT_EQ(number(p, "totalLength"), 1024);
  EXPECT_EQ(number(p, "ProjectedLength"), 45792);

  // InitializeSigGenSettings reads the oversampling of parameters.
  dot11b_array* nine = dot11b_create_scalar(9);
  ASSERT_EQ(dot11b_set_field(p, "OverSampling", nine), 0);
  ASSERT_EQ(dot11b_set_global("parameters", p), 0);
  dot11b_array* sg = text("InitializeSigGenSettings");
  EXPECT_EQ(mlfVDot11b_GUI_c(sg, nullptr), 0);
  dot11b_array* settings = dot11b_get_global("SigGenSettings");
  EXPECT_EQ(number(settings, "SamplingRate"), 99000000);
  EXPECT_EQ(number(settings, "Frequency"), 2412000000);

  for (dot11b_array* a : {name, p, nine, sg, settings}) dot11b_free(a);
}

TEST_F(CInterface, DispatchCatchesAndContinues) {
  dot11b_array* bad = text("NoSuchSubroutine");
  dot11b_array* extra = dot11b_create_scalar(1);
  testing::internal::CaptureStderr();
  dot11b_array* result = mlfDot11b_GUI_c(1, bad, nullptr);
  const std::string failure = dot11b_last_error();
  dot11b_array* tooMany[] = {text("InitializeAppInfo"), extra};
  dot11b_array* out[1] = {nullptr};
  EXPECT_EQ(mlxDot11b_GUI_c(0, out, 2, tooMany), 0);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("NoSuchSubroutine"), std::string::npos);
  EXPECT_NE(printed.find("dot11b_GUI_c/InitializeAppInfo"), std::string::npos);
  EXPECT_EQ(result, nullptr);  // the call returned normally, with no result
  EXPECT_EQ(failure, "");
  // Through the mlx form the failed sub-routine leaves no result: the slot is NULL, not what it held.
  dot11b_array* failing[] = {bad};
  dot11b_array* stale[1] = {extra};
  testing::internal::CaptureStderr();
  EXPECT_EQ(mlxDot11b_GUI_c(1, stale, 1, failing), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(stale[0], nullptr);

  dot11b_array* ok = text("InitializeAppInfo");
  EXPECT_EQ(mlfVDot11b_GUI_c(ok, nullptr), 0);
  dot11b_array* app = dot11b_get_global("appInfo");
  char buf[64];
  dot11b_text(dot11b_field(app, "ApplicationFunction"), buf, sizeof buf);
  EXPECT_STREQ(buf, "dot11b_GUI_c");

  // A first input that is not text does nothing.
  dot11b_array* before = dot11b_get_global("configuration");
  EXPECT_EQ(mlfVDot11b_GUI_c(extra, nullptr), 0);
  for (dot11b_array* a : {bad, extra, tooMany[0], ok, app, before}) dot11b_free(a);
}

TEST_F(CInterface, VariableResultFormsTakeTheCountFirstAndReturnTheFirstResult) {
  // InstrIO refuses operation code 9 with status 1 and a description, without reaching an instrument.
  dot11b_array* name = text("InitializeConfiguration");
  ASSERT_EQ(mlfVDot11b_GUI_c(name, nullptr), 0);
  dot11b_array* config = dot11b_get_global("configuration");
  dot11b_array* nine = dot11b_create_scalar(9);
  dot11b_array* image = text("no-such-image.png");
  struct Case {
    const char* what;
    std::function<dot11b_array*()> call;
    double first;         // NaN: no result
    std::string failure;  // the message kept after the call
  };
  const Case cases[] = {
      {"two results asked for, the first given", [&] { return mlfInstrIO(2, nine, config, nullptr); }, 1, ""},
      {"one result", [&] { return mlfInstrIO(1, nine, config, nullptr); }, 1, ""},
      {"more results than declared", [&] { return mlfImread(4, image, nullptr); }, NAN,
       "Run-time Error: File: imread Line: 1 Column: 1 The function \"imread\" was called with more than the "
       "declared number of outputs (3)."},
      {"a negative count", [&] { return mlfInstrIO(-1, nine, config, nullptr); }, NAN, "negative result count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dot11b_array* result = c.call();
    EXPECT_EQ(dot11b_last_error(), c.failure);
    if (std::isnan(c.first)) {
      EXPECT_EQ(result, nullptr);
    } else {
      ASSERT_NE(result, nullptr);
      EXPECT_EQ(dot11b_real(result)[0], c.first);
    }
    dot11b_free(result);
  }
  for (dot11b_array* a : {name, config, nine, image}) dot11b_free(a);
}

TEST_F(CInterface, SizeEstimateInBothForms) {
  const double v[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 2};
  std::vector<dot11b_array*> in;
  for (double x : v) in.push_back(dot11b_create_scalar(x));
  dot11b_array* r = mlfDot11b_SizeEst(in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7], in[8], in[9]);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(dot11b_real(r)[0], 4224);
  dot11b_free(r);

  in.push_back(dot11b_create_scalar(0));
  dot11b_array* out[1] = {nullptr};
  EXPECT_EQ(mlxDot11b_SizeEst(1, out, 11, in.data()), -1);
  EXPECT_NE(std::string(dot11b_last_error())
                .find("\"dot11b_SizeEst\" was called with more than the declared number of inputs (10)"),
            std::string::npos);
  dot11b_free(in[2]);
  in[2] = text("x");  // a text rate is refused with a message naming the input
  EXPECT_EQ(mlxDot11b_SizeEst(1, out, 10, in.data()), -1);
  EXPECT_NE(std::string(dot11b_last_error()).find("DATArate"), std::string::npos);
  for (dot11b_array* a : in) dot11b_free(a);
}

TEST_F(CInterface, ValuesRoundTripThroughTheInterface) {
  const double re[] = {1, 2, 3, 4}, im[] = {0, -1, 0, 1};
  dot11b_array* m = dot11b_create_matrix(2, 2, re, im);
  EXPECT_EQ(dot11b_is_complex(m), 1);
  EXPECT_EQ(dot11b_imag(m)[1], -1);
  dot11b_array* r = dot11b_create_record();
  dot11b_set_field(r, "b", m);
  dot11b_set_field(r, "a", m);
  EXPECT_STREQ(dot11b_field_name(r, 0), "b");
  EXPECT_EQ(dot11b_field(r, "missing"), nullptr);
  dot11b_array* t = dot11b_create_text("Grüße");
  char buf[16];
  EXPECT_EQ(dot11b_text(t, buf, sizeof buf), 7u);
  EXPECT_STREQ(buf, "Grüße");
  EXPECT_EQ(dot11b_cols(t), 5u);
  EXPECT_EQ(dot11b_create_text("\xff"), nullptr);
  const size_t half = size_t{1} << (sizeof(size_t) * 8 - 1);  // half x 2 wraps to 0 elements
  EXPECT_EQ(dot11b_create_matrix(half, 2, nullptr, nullptr), nullptr);
  EXPECT_EQ(dot11b_create_cell(half, 2), nullptr);
  EXPECT_NE(std::string(dot11b_last_error()).find("too large"), std::string::npos);
  EXPECT_EQ(dot11b_get_global("nonsense"), nullptr);
  for (dot11b_array* a : {m, r, t}) dot11b_free(a);
}

TEST_F(CInterface, SequenceAndImpairmentStageThroughTheCForms) {
  dot11b_array* name = text("InitializeParameters");
  ASSERT_EQ(mlfVDot11b_GUI_c(name, nullptr), 0);
  dot11b_array* parameters = dot11b_get_global("parameters");
  dot11b_array* sequence = dot11b_create_record();
  dot11b_array* two = dot11b_create_scalar(2);
  dot11b_array* ack = text("ack");
  dot11b_array* ra = text("00:11:22:33:44:55");
  dot11b_set_field(sequence, "frames", two);
  dot11b_set_field(sequence, "template", ack);
  dot11b_set_field(sequence, "ra", ra);
  dot11b_array* events = nullptr;
  dot11b_array* templated = nullptr;
  dot11b_array* waveform = mlfDot11b_Sequence(&events, &templated, parameters, sequence);
  ASSERT_NE(waveform, nullptr) << dot11b_last_error();
  // An ACK: 10 octets of header and the FCS, no body.
  EXPECT_EQ(number(templated, "dataLength"), 0);
  EXPECT_EQ(number(templated, "totalLength"), 14);
  EXPECT_EQ(dot11b_cols(waveform), 2 * static_cast<std::size_t>(number(templated, "ProjectedLength")));
  EXPECT_EQ(dot11b_rows(events), 2u);

  dot11b_array* impairments = dot11b_create_record();
  dot11b_array* snr = dot11b_create_scalar(20);
  dot11b_set_field(impairments, "snrDb", snr);
  dot11b_array* rate = dot11b_create_scalar(44e6);
  dot11b_array* noisy = mlfDot11b_Impair(waveform, rate, impairments, nullptr);
  ASSERT_NE(noisy, nullptr) << dot11b_last_error();
  EXPECT_EQ(dot11b_cols(noisy), dot11b_cols(waveform));
  EXPECT_NE(dot11b_real(noisy)[0], dot11b_real(waveform)[0]);
  // A misspelt field is refused, not ignored.
  dot11b_set_field(impairments, "snr", snr);
  EXPECT_EQ(mlfDot11b_Impair(waveform, rate, impairments, nullptr), nullptr);
  EXPECT_NE(std::string(dot11b_last_error()).find("has no field 'snr'"), std::string::npos) << dot11b_last_error();
  for (dot11b_array* a :
       {name, parameters, sequence, two, ack, ra, events, templated, waveform, impairments, snr, rate, noisy})
    dot11b_free(a);
}
