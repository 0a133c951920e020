// SPDX-License-Identifier: GPL-3.0-or-later
// The plot views. Each opens a plot window of its own beside `parent` (kScreen: on the screen) and
// returns its handle. The eye, scatter and waterfall views return 0 when the drawing failed, after telling
// the user why.
#pragma once

#include <memory>
#include <string>

#include "plots/eye_scatter.h"
#include "plots/mask_plot.h"
#include "plots/per_curves.h"
#include "plots/samples.h"
#include "plots/views/plot_window.h"

namespace dot11b::plots::views {

using SharedSamples = std::shared_ptr<const Samples>;

toolkit::Handle showCcdf(toolkit::Handle parent, const std::string& title, SharedSamples iq);
toolkit::Handle showSpectrum(toolkit::Handle parent, const std::string& title, double sampleRate, SharedSamples iq);
toolkit::Handle showIqTime(toolkit::Handle parent, const std::string& title, double sampleRate, bool overlay,
                           SharedSamples iq);
toolkit::Handle showEyeDiagram(toolkit::Handle parent, const std::string& title, SharedSamples iq,
                               const EyeSettings& settings);
toolkit::Handle showScatterDiagram(toolkit::Handle parent, const std::string& title, SharedSamples iq,
                                   double samplesPerSymbol, double offset, bool traceOn);
toolkit::Handle showWaterfall(toolkit::Handle parent, const std::string& title, double sampleRate, double sliceSeconds,
                            SharedSamples iq);
toolkit::Handle showPerCurves(toolkit::Handle parent, const std::string& title,
                              std::shared_ptr<const PerCurves> curves);
toolkit::Handle showMask(toolkit::Handle parent, const std::string& title, std::shared_ptr<const MaskPlot> mask);

// The general drawing routines the views build on.
// An eye diagram of I and Q in a new window, which is made current.
PlotWindow& drawEye(SharedSamples iq, const ClampedEye& settings);
// Every n-th sample from the offset in the I/Q plane, into the current axes of `window` (new axes when it
// has none), in the style of a text such as "b." (blue dots) or "c-" (cyan lines).
void drawScatter(PlotWindow& window, SharedSamples iq, const ClampedScatter& settings, const std::string& style);
// A waterfall in a new window, made current.
PlotWindow& drawWaterfall(SharedSamples iq, double sampleRate, double sliceSeconds);

// Axis labels, with the plot's usual font colour.
void label(QCPAxisRect* axes, const std::string& x, const std::string& y);

}  // namespace dot11b::plots::views
