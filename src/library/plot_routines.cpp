// SPDX-License-Identifier: GPL-3.0-or-later
// The signal plots and the drawing routines for the calling forms, and the plot windows' own menu
// commands (the module VX_PlotWindow).
#include <memory>

#include "plots/views/figure_routines.h"
#include "plots/views/views.h"
#include "qt/qt_toolkit.h"
#include "runtime/binding.h"
#include "runtime/dispatch.h"
#include "toolkit/dialogs.h"
#include "toolkit/figures.h"
#include "windows/window_module.h"

namespace dot11b::rt {

namespace {

namespace pv = plots::views;
using toolkit::Handle;

// A window's handle as a result: empty when the view could not draw.
Value windowResult(Handle h) { return h == 0 ? Value() : Value::scalar(h); }

Handle parentArg(const Inputs& args) {
  return args.given(0) && !args.at(0, "hParent").isEmpty() ? args.scalar(0, "hParent") : toolkit::kScreen;
}

std::string titleArg(const Inputs& args, std::size_t i) {
  return args.given(i) && !args.at(i, "title").isEmpty() ? args.text(i, "title") : "Test Data";
}

pv::SharedSamples samplesArg(const Inputs& args, std::size_t i, std::string_view name) {
  if (!args.given(i) || args.at(i, name).isEmpty()) return std::make_shared<const plots::Samples>();
  return std::make_shared<const plots::Samples>(args.complexVector(i, name));
}

double numberOr(const Inputs& args, std::size_t i, std::string_view name, double otherwise) {
  return args.given(i) && !args.at(i, name).isEmpty() ? args.scalar(i, name) : otherwise;
}

Values plotCcdf(const Values& in, int) {
  const Inputs args(in, "VX_PlotCCDF");
  return {windowResult(pv::showCcdf(parentArg(args), titleArg(args, 1), samplesArg(args, 2, "iqWave")))};
}

Values plotSpectrum(const Values& in, int) {
  const Inputs args(in, "VX_PlotSpectrum");
  return {windowResult(pv::showSpectrum(parentArg(args), titleArg(args, 1), numberOr(args, 2, "sampleRate", 1),
                                        samplesArg(args, 3, "iqWave")))};
}

Values plotIqTime(const Values& in, int) {
  const Inputs args(in, "VX_PlotIQTime");
  return {windowResult(pv::showIqTime(parentArg(args), titleArg(args, 1), numberOr(args, 2, "sampleRate", 1),
                                      numberOr(args, 3, "overlay", 0) != 0, samplesArg(args, 4, "iqWave")))};
}

Values plotEyeDiagram(const Values& in, int) {
  const Inputs args(in, "VX_PlotEyeDiagram");
  const plots::EyeSettings settings{numberOr(args, 3, "n", 1), numberOr(args, 4, "period", 1),
                                    numberOr(args, 5, "offset", 0)};
  return {
      windowResult(pv::showEyeDiagram(parentArg(args), titleArg(args, 1), samplesArg(args, 2, "iqWave"), settings))};
}

Values plotScatterDiagram(const Values& in, int) {
  const Inputs args(in, "VX_PlotScatterDiagram");
  return {windowResult(pv::showScatterDiagram(parentArg(args), titleArg(args, 1), samplesArg(args, 2, "iqWave"),
                                              numberOr(args, 3, "n", 1), numberOr(args, 4, "offset", 0),
                                              numberOr(args, 5, "traceOn", 0) != 0))};
}

Values plotWaterfall(const Values& in, int) {
  const Inputs args(in, "VX_PlotWaterfall");
  const double rate = numberOr(args, 2, "sampleRate", 1);
  return {windowResult(pv::showWaterfall(parentArg(args), titleArg(args, 1), rate, numberOr(args, 3, "timeSlice", 0),
                                         samplesArg(args, 4, "iqWave")))};
}

// (hParent, title, frequency, dBr, limit [, regions]): a frame's spectrum against the transmit mask, the
// rows as the built-in receiver measures them (Hz off the carrier, dB relative to the peak, the limit at
// each frequency or NaN); the mask's regions from the carrier out as the columns of a 2-row matrix, each
// [limit; margin] (margin NaN: not measured).
Values plotMask(const Values& in, int) {
  const Inputs args(in, "VX_PlotMask");
  const auto row = [&args](std::size_t i, std::string_view name) {
    return args.given(i) ? args.realVector(i, name) : std::vector<double>{};
  };
  std::vector<plots::MaskMargin> regions;
  if (args.given(5) && !args.at(5, "regions").isEmpty()) {
    const Value& pairs = args.at(5, "regions");
    if (!pairs.isNumeric() || pairs.isComplex() || pairs.rows() != 2)
      throw std::invalid_argument(
          "VX_PlotMask: input 'regions' must be a real matrix of two rows, a limit and a margin");
    for (std::size_t k = 0; k < pairs.numel(); k += 2) regions.push_back({pairs.re(k), pairs.re(k + 1)});
  }
  auto mask = std::make_shared<const plots::MaskPlot>(
      plots::computeMaskPlot(row(2, "frequency"), row(3, "dbr"), row(4, "limit"), regions));
  return {windowResult(pv::showMask(parentArg(args), titleArg(args, 1), std::move(mask)))};
}

// (hParent, title, snr, per, names [, frames]): packet error rate curves, per holding one row per name.
Values plotPer(const Values& in, int) {
  const Inputs args(in, "VX_PlotPER");
  const Value& names = args.at(4, "names");
  if (!names.isCell()) throw std::invalid_argument("VX_PlotPER: input 'names' must be a cell list of texts");
  std::vector<std::string> texts;
  for (std::size_t k = 0; k < names.cells().size(); ++k)
    texts.push_back(toText(names.cells()[k], {"VX_PlotPER", "names"}));
  auto curves = std::make_shared<const plots::PerCurves>(plots::computePerCurves(
      args.realVector(2, "snr"), args.at(3, "per").real(), texts, numberOr(args, 5, "frames", 100)));
  return {windowResult(pv::showPerCurves(parentArg(args), titleArg(args, 1), std::move(curves)))};
}

// (x, n [, period [, offset]]): a new window; its handle.
Values eyediagram(const Values& in, int) {
  const Inputs args(in, "Eyediagram");
  const plots::EyeSettings settings{args.scalar(1, "n"), numberOr(args, 2, "period", 1),
                                    numberOr(args, 3, "offset", 0)};
  pv::PlotWindow& window = pv::drawEye(samplesArg(args, 0, "x"), plots::clampEye(settings));
  window.place(plots::ViewKind::kEye, toolkit::kScreen);
  return {Value::scalar(window.handle())};
}

// (x [, n [, offset [, plotstring [, h]]]]): into the window h (held), or a new one; the window's handle.
Values scatterplot(const Values& in, int) {
  const Inputs args(in, "Scatterplot");
  const plots::ClampedScatter settings = plots::clampScatter(numberOr(args, 1, "n", 1), numberOr(args, 2, "offset", 0));
  const std::string style = args.given(3) && !args.at(3, "plotstring").isEmpty() ? args.text(3, "plotstring") : "b.";
  const bool held = args.given(4) && !args.at(4, "h").isEmpty();
  pv::PlotWindow& window = held ? *pv::plotWindowOf(args.scalar(4, "h")) : *pv::PlotWindow::create("Scatter plot");
  pv::drawScatter(window, samplesArg(args, 0, "x"), settings, style);
  if (!held) window.place(plots::ViewKind::kScatter, toolkit::kScreen);
  return {Value::scalar(window.handle())};
}

// (x, sampleRate, timeSlice): a new window; its handle.
Values waterfall(const Values& in, int) {
  const Inputs args(in, "Waterfall");
  pv::PlotWindow& window =
      pv::drawWaterfall(samplesArg(args, 0, "x"), args.scalar(1, "sampleRate"), args.scalar(2, "timeSlice"));
  window.place(plots::ViewKind::kWaterfall, toolkit::kScreen);
  return {Value::scalar(window.handle())};
}

pv::PlotWindow& figureArg(const Inputs& args, std::size_t i) {
  if (args.given(i) && !args.at(i, "hFigure").isEmpty()) return *pv::plotWindowOf(args.scalar(i, "hFigure"));
  pv::PlotWindow* current = pv::currentPlotWindow();
  if (current == nullptr) throw std::invalid_argument(std::string(args.routine()) + ": no plot window is open");
  return *current;
}

Values vxZoom(const Values& in, int) {
  pv::toggleZoom(figureArg(Inputs(in, "VX_Zoom"), 0));
  return {};
}

Values vxRotate(const Values& in, int) {
  pv::toggleRotate(figureArg(Inputs(in, "VX_Rotate"), 0));
  return {};
}

Values subplot(const Values& in, int) {
  const Inputs args(in, "Subplot");
  return {Value::scalar(pv::subplot(args.integer(0, "m"), args.integer(1, "n"), args.integer(2, "p")))};
}

// (text) for the current axes, or (axes, text).
Values axesText(const Values& in, std::string_view routine, pv::AxesText which) {
  const Inputs args(in, routine);
  const bool forAxes = args.given(1);
  QCPAxisRect* axes = forAxes ? pv::axesOf(args.scalar(0, "h")) : pv::currentAxes();
  pv::setAxesText(axes, which, args.text(forAxes ? 1 : 0, "text"));
  return {};
}

Values title(const Values& in, int) { return axesText(in, "Title", pv::AxesText::kTitle); }
Values xlabel(const Values& in, int) { return axesText(in, "Xlabel", pv::AxesText::kXLabel); }
Values ylabel(const Values& in, int) { return axesText(in, "Ylabel", pv::AxesText::kYLabel); }

Values clf(const Values& in, int) {
  const Inputs args(in, "Clf");
  if (args.given(0) || pv::currentPlotWindow() != nullptr) pv::clearFigure(figureArg(args, 0));
  return {};
}

// (h, filename [, width, height]): the plot of h's window as PNG or PDF, or its data as CSV.
Values exportPlot(const Values& in, int) {
  const Inputs args(in, "VX_ExportPlot");
  pv::plotWindowOf(args.scalar(0, "hFigure"))
      ->exportTo(args.text(1, "filename"), static_cast<int>(numberOr(args, 2, "width", 0)),
                 static_cast<int>(numberOr(args, 3, "height", 0)));
  return {};
}

// The plot windows' menu commands, each (menu item, event data, control record).
void menuPrint(Handle item, const Value&) { toolkit::dialogs().print(qt::qtToolkit().windowOf(item)); }

void menuExport(Handle item, const Value&) {
  const auto choice = toolkit::dialogs().saveFile("*.png *.pdf *.csv");
  if (!choice) return;
  std::string file = choice->folder + choice->name;
  if (choice->name.find('.') == std::string::npos) file += ".png";
  try {
    pv::plotWindowOf(item)->exportTo(file);
  } catch (const std::exception& e) {
    toolkit::dialogs().error(e.what(), "Export Error");
  }
}

void menuClose(Handle item, const Value&) { qt::qtToolkit().close(qt::qtToolkit().windowOf(item)); }
void menuCopy(Handle item, const Value&) { pv::plotWindowOf(item)->copyToClipboard(); }
void menuZoom(Handle item, const Value&) { pv::toggleZoom(*pv::plotWindowOf(item)); }
void menuRotate(Handle item, const Value&) { pv::toggleRotate(*pv::plotWindowOf(item)); }
void menuZoomReset(Handle item, const Value&) { pv::plotWindowOf(item)->resetZoom(); }

const WindowModule& plotWindowModule() {
  static const WindowModule m = [] {
    WindowModule w{"VX_PlotWindow"};
    windows::addCallbacks(w,
                        {{"Print", menuPrint},
                         {"Export", menuExport},
                         {"Close", menuClose},
                         {"Copy", menuCopy},
                         {"Zoom", menuZoom},
                         {"Rotate", menuRotate},
                         {"ZoomReset", menuZoomReset}},
                        20, 10);
    return w;
  }();
  return m;
}

void registerPlotRoutines(Registry& r) {
  pv::installAxesProperties();
  r.add({"VX_PlotCCDF", "VX_PlotCCDF", 1, 3, 1, plotCcdf});
  r.add({"VX_PlotSpectrum", "VX_PlotSpectrum", 1, 4, 1, plotSpectrum});
  r.add({"VX_PlotIQTime", "VX_PlotIQTime", 1, 5, 1, plotIqTime});
  r.add({"VX_PlotEyeDiagram", "VX_PlotEyeDiagram", 1, 6, 1, plotEyeDiagram});
  r.add({"VX_PlotScatterDiagram", "VX_PlotScatterDiagram", 1, 6, 1, plotScatterDiagram});
  r.add({"VX_PlotWaterfall", "VX_PlotWaterfall", 1, 5, 1, plotWaterfall});
  r.add({"VX_PlotMask", "VX_PlotMask", 1, 6, 1, plotMask});
  r.add({"VX_PlotPER", "VX_PlotPER", 5, 6, 1, plotPer});
  r.add({"Eyediagram", "eyediagram", 1, 4, 1, eyediagram});
  r.add({"Scatterplot", "scatterplot", 1, 5, 1, scatterplot});
  r.add({"Waterfall", "waterfall", 1, 3, 1, waterfall});
  r.add({"VX_Zoom", "VX_Zoom", 1, 1, 0, vxZoom});
  r.add({"VX_Rotate", "VX_Rotate", 1, 1, 0, vxRotate});
  r.add({"Subplot", "subplot", 1, 3, 1, subplot});
  r.add({"Title", "title", 1, 2, 0, title});
  r.add({"Xlabel", "xlabel", 1, 2, 0, xlabel});
  r.add({"Ylabel", "ylabel", 1, 2, 0, ylabel});
  r.add({"Clf", "clf", 1, 1, 0, clf});
  r.add({"VX_ExportPlot", "VX_ExportPlot", 1, 4, 0, exportPlot});
  r.add(moduleRoutine("VX_PlotWindow", plotWindowModule()));
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerPlotRoutines)

}  // namespace dot11b::rt
