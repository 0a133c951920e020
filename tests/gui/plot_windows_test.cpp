// SPDX-License-Identifier: GPL-3.0-or-later
// The Plot commands of the application window and the plot windows they open: names, axes, menus, the
// eye and scatter questions, failures, zoom, export and Exit.
#include <filesystem>
#include <fstream>

#include "app_driver.h"

namespace dot11b::gui_test {
namespace {

class PlotWindows : public AppTest {
 protected:
  std::vector<double> clientWindows() { return global("appInfo").field("ClientWindows").real(); }
  // The property of the axes tagged `tag` (in the newest window that has them).
  Value axes(const std::string& tag, const std::string& property) {
    const Value found = call1("Findobj", {Value::text(tag)});
    if (found.numel() == 0) throw std::runtime_error("no axes tagged " + tag);
    return call1("Get", {Value::scalar(found.re(found.numel() - 1)), Value::text(property)});
  }
  std::string windowName(double h) { return call1("Get", {Value::scalar(h), Value::text("Name")}).toUtf8(); }
  bool open(double h) {
    try {
      call1("Get", {Value::scalar(h), Value::text("Name")});
      return true;
    } catch (const std::runtime_error&) {
      return false;
    }
  }
  const ShownDialog* lastOf(dot11b_dialog_kind kind) {
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
      if (it->kind == kind) return &*it;
    return nullptr;
  }
};

TEST_F(PlotWindows, VerifyFrameDecodesTheLastWaveformAndShowsTheChecks) {
  questionAnswers = {"Calculate & Plot"};
  click("menuPlotVerify");
  const ShownDialog* summary = lastOf(DOT11B_DIALOG_QUESTION);
  ASSERT_NE(summary, nullptr);
  EXPECT_EQ(summary->title, "Verify Frame");
  EXPECT_EQ(summary->items, (std::vector<std::string>{"OK", "Open in Wireshark"}));
  for (const char* part : {"11 Mbit/s CCK, long preamble", "header CRC ok", "PSDU 1024 octets", "power-on ramp",
                           "centre frequency: ", "spectrum mask of frame 1"}) {
    EXPECT_NE(summary->text.find(part), std::string::npos) << part << "\n" << summary->text;
  }
  // The mask plot opens beside the main window, one of its client windows.
  ASSERT_EQ(clientWindows().size(), 1u);
  EXPECT_EQ(windowName(clientWindows()[0]).rfind("Spectrum Mask IEEE 802.11b-1999 (DSSS) (", 0), 0u);
  EXPECT_EQ(axes("VX_Mask", "Title").toUtf8(), "Spectrum Mask: passed");
  EXPECT_EQ(axes("VX_Mask", "XLabel").toUtf8(), "Frequency off the carrier (MHz)");
  const std::vector<double> xlim = axes("VX_Mask", "XLim").real();
  EXPECT_NEAR(xlim.at(0), -22, 0.1);  // the start values: 44 Msample/s
  EXPECT_NEAR(xlim.at(1), 22, 0.1);
  EXPECT_EQ(axes("VX_Mask", "YLim").re(1), 10);
}

TEST_F(PlotWindows, EachCommandAsksToCalculateFirstThenOpensItsView) {
  questionAnswers = {"Calculate & Plot"};
  click("menuPlotCCDF");
  ASSERT_EQ(lastOf(DOT11B_DIALOG_QUESTION)->title, "Waveform Not Calculated");
  ASSERT_EQ(clientWindows().size(), 1u);
  EXPECT_EQ(windowName(clientWindows()[0]).rfind("CCDF IEEE 802.11b-1999 (DSSS) (", 0), 0u)
      << windowName(clientWindows()[0]);
  EXPECT_EQ(axes("VX_CCDF", "Title").toUtf8(), "CCDF");
  EXPECT_EQ(axes("VX_CCDF", "YScale").toUtf8(), "log");
  EXPECT_EQ(axes("VX_CCDF", "XLabel").toUtf8(), "dB above Average");
  EXPECT_EQ(axes("VX_CCDF", "YLabel").toUtf8(), "Frequency of occurence (%)");
  EXPECT_EQ(axes("VX_CCDF", "XLim").re(0), 0);
  EXPECT_GE(axes("VX_CCDF", "XLim").re(1), 20);
  EXPECT_EQ(axes("VX_CCDF", "YLim").re(1), 100);

  click("menuPlotSpectrum");
  // The start values: oversampling 4, 44 MHz.
  EXPECT_EQ(axes("VX_Spectrum", "XLim").real(), (std::vector<double>{-22, 22}));
  EXPECT_EQ(axes("VX_Spectrum", "XLabel").toUtf8(), "Frequency (MHz)");
  EXPECT_EQ(axes("VX_Spectrum", "YLim").re(1), 0);
  click("menuPlotIQTime");
  EXPECT_EQ(axes("VX_Iwave", "Title").toUtf8(), "I(t)");
  EXPECT_EQ(axes("VX_Qwave", "Title").toUtf8(), "Q(t)");
  EXPECT_EQ(axes("VX_Qwave", "YLabel").toUtf8(), "Amplitude (V)");
  click("menuPlotIQTimeSameAxes");
  EXPECT_EQ(axes("VX_IQwave", "Title").toUtf8(), "I(t) Q(t)");
  click("menuPlotWaterfall");  // hidden, but invoked by name
  EXPECT_EQ(axes("VX_Waterfall", "Title").toUtf8(), "Spectrum Waterfall");
  const std::vector<double> windows = clientWindows();
  ASSERT_EQ(windows.size(), 5u);
  EXPECT_EQ(windowName(windows[1]).rfind("Magnitude Spectrum ", 0), 0u);
  EXPECT_EQ(windowName(windows[4]).rfind("Spectrum Waterfall ", 0), 0u);
  // Only the first command asked: the others found the waveform ready.
  std::size_t questions = 0;
  for (const auto& s : shown) questions += s.kind == DOT11B_DIALOG_QUESTION;
  EXPECT_EQ(questions, 1u);

  // Plot windows are not modal: the main window still works, and Exit closes all of them.
  click("pbCalculate");
  click("menuFileExit");
  for (double w : windows) EXPECT_FALSE(open(w));
}

TEST_F(PlotWindows, EyeAndScatterAskForTheirSettings) {
  click("pbCalculate");
  click("menuPlotEyeDiagram");  // no answer: cancelled
  const ShownDialog* asked = lastOf(DOT11B_DIALOG_INPUTS);
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(asked->title, "Eye Diagram Configuration");
  EXPECT_EQ(asked->items, (std::vector<std::string>{"Enter number of symbols:", "Enter symbol delay (0-1):"}));
  EXPECT_TRUE(clientWindows().empty());

  inputAnswers = {{"2", "0.5"}};
  click("menuPlotEyeDiagram");
  ASSERT_EQ(clientWindows().size(), 1u);
  EXPECT_EQ(windowName(clientWindows()[0]).rfind("Eye Diagram IEEE 802.11b-1999 (DSSS) (", 0), 0u);
  // Two symbols of four samples at 44 MHz: a trace spans 181.8 ns.
  EXPECT_NEAR(axes("VX_EyeI", "XLim").re(1), 181.818, 1e-3);
  EXPECT_EQ(axes("VX_EyeQ", "XLabel").toUtf8(), "Time (nS)");

  click("menuPlotScatterDiagram");
  EXPECT_EQ(lastOf(DOT11B_DIALOG_INPUTS)->title, "Scatter Diagram Configuration");
  EXPECT_EQ(clientWindows().size(), 1u);
  inputAnswers = {{"0", "0"}};
  click("menuPlotScatterDiagram");
  ASSERT_EQ(clientWindows().size(), 2u);
  EXPECT_EQ(windowName(clientWindows()[1]).rfind("Scatter Diagram IEEE 802.11b-1999 (DSSS) (", 0), 0u);

  // Settings that are not numbers stop the command; the pointer is restored all the same.
  inputAnswers = {{"two", "0"}};
  click("menuPlotEyeDiagram");
  EXPECT_EQ(clientWindows().size(), 2u);
  EXPECT_EQ(get("main", "Pointer").toUtf8(), "arrow");
}

TEST_F(PlotWindows, DrawingFailureIsReportedAndLeavesNoWindowBehind) {
  click("pbCalculate");
  // Six samples, four a symbol: a delay of one symbol leaves less than one trace.
  setGlobal("waveform", Value::matrix(1, 6, {1, 2, 3, 4, 5, 6}, {0, 0, 0, 0, 0, 0}));
  inputAnswers = {{"1", "1"}};
  click("menuPlotEyeDiagram");
  EXPECT_TRUE(clientWindows().empty());
  const ShownDialog* error = lastOf(DOT11B_DIALOG_ERROR);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->title, "Plot Error");
  EXPECT_EQ(error->text.rfind("Unable to Plot Eye Diagram\n", 0), 0u) << error->text;
  EXPECT_EQ(call1("Findobj", {Value::text("VX_EyeI")}).numel(), 0u);

  // The routine by name gives an empty result.
  EXPECT_TRUE(call1("VX_PlotScatterDiagram", {Value::scalar(0), Value::text("t"), Value()}).isEmpty());
  EXPECT_EQ(lastOf(DOT11B_DIALOG_ERROR)->text.rfind("Unable to Plot Scatter Diagram\n", 0), 0u);
}

TEST_F(PlotWindows, ToolsZoomRotateResetAndExport) {
  const double h = call1("VX_PlotSpectrum", {Value::scalar(0), Value::text("t"), Value::scalar(1e6),
                                             Value::matrix(1, 4, {1, 0, -1, 0}, {0, 1, 0, -1})}).re(0);
  EXPECT_EQ(windowName(h), "Magnitude Spectrum t");
  EXPECT_EQ(get("VX_Rotate", "Enable").toUtf8(), "off");
  call("VX_Zoom", {Value::scalar(h)}, 0);
  EXPECT_EQ(get("VX_Zoom", "Checked").toUtf8(), "on");
  call("VX_Rotate", {Value::scalar(h)}, 0);
  EXPECT_EQ(get("VX_Zoom", "Checked").toUtf8(), "off");
  EXPECT_EQ(get("VX_Rotate", "Checked").toUtf8(), "on");
  click("VX_Zoom");
  EXPECT_EQ(get("VX_Zoom", "Checked").toUtf8(), "on");
  EXPECT_EQ(get("VX_Rotate", "Checked").toUtf8(), "off");
  click("VX_Zoom");
  EXPECT_EQ(get("VX_Zoom", "Checked").toUtf8(), "off");

  const Value full = axes("VX_Spectrum", "XLim");
  EXPECT_EQ(full.real(), (std::vector<double>{-0.5, 0.5}));  // MHz
  call("Set", {call1("Findobj", {Value::text("VX_Spectrum")}), Value::text("XLim"), Value::row({-0.1, 0.1})}, 0);
  EXPECT_EQ(axes("VX_Spectrum", "XLim").real(), (std::vector<double>{-0.1, 0.1}));
  click("VX_ZoomReset");
  EXPECT_EQ(axes("VX_Spectrum", "XLim").real(), full.real());

  fileAnswers = {workFolder + "/spectrum.csv"};
  click("VX_Export");
  std::ifstream csv(workFolder + "/spectrum.csv");
  std::string header, first;
  std::getline(csv, header);
  std::getline(csv, first);
  EXPECT_EQ(header, "\"Frequency (MHz)\",\"LogMag (dB)\"");
  EXPECT_EQ(first.rfind("-0.5,", 0), 0u) << first;
  fileAnswers = {workFolder + "/spectrum"};  // no extension: PNG
  click("VX_Export");
  EXPECT_GT(std::filesystem::file_size(workFolder + "/spectrum.png"), 1000u);

  click("VX_Close");
  EXPECT_FALSE(open(h));
}

TEST_F(PlotWindows, DrawingRoutinesActOnTheCurrentWindow) {
  const Value samples = Value::matrix(1, 8, {1, 0, -1, 0, 1, 0, -1, 0}, {0, 1, 0, -1, 0, 1, 0, -1});
  const double eye = call1("Eyediagram", {samples, Value::scalar(4)}).re(0);
  EXPECT_EQ(windowName(eye), "Eye Diagram");
  const double lower = call1("Subplot", {Value::scalar(2), Value::scalar(1), Value::scalar(2)}).re(0);
  call("Title", {Value::text("lower")}, 0);
  call("Xlabel", {Value::scalar(lower), Value::text("x (s)")}, 0);
  call("Ylabel", {Value::text("y")}, 0);
  EXPECT_EQ(call1("Get", {Value::scalar(lower), Value::text("Title")}).toUtf8(), "lower");
  EXPECT_EQ(call1("Get", {Value::scalar(lower), Value::text("XLabel")}).toUtf8(), "x (s)");
  EXPECT_EQ(call1("Get", {Value::scalar(lower), Value::text("YLabel")}).toUtf8(), "y");
  EXPECT_THROW(call("Subplot", {Value::scalar(2), Value::scalar(1), Value::scalar(3)}), std::runtime_error);
  call("Clf", {}, 0);
  EXPECT_FALSE(open(lower));
  const double scatter = call1("Scatterplot", {samples, Value::scalar(2), Value::scalar(1), Value::text("r.")}).re(0);
  EXPECT_NE(scatter, eye);
  EXPECT_EQ(
      call1("Scatterplot", {samples, Value::scalar(1), Value::scalar(0), Value::text("c-"), Value::scalar(scatter)})
          .re(0),
      scatter);
  EXPECT_THROW(call("VX_Zoom", {Value::scalar(lower)}), std::runtime_error);
}

}  // namespace
}  // namespace dot11b::gui_test
