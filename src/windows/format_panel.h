// SPDX-License-Identifier: GPL-3.0-or-later
// The format module: the 802.11b panel of the main window. It builds the application, keeps every control
// in line with the parameters record, converts and clamps every entry, shows the projected number of
// samples, and computes the frame when the application window asks for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/dispatch.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows::format_panel {

// The dispatching entry's sub-routines ("pdDataRate_Callback", "redraw", "Calculate", ...).
const rt::WindowModule& module();
// Without inputs: builds and shows the application; returns the main window's handle.
rt::Values startApplication(const rt::Values& in, int nargout);

// Channel list texts: " 1 - 2412 MHz" ... "14 - 2484 MHz".
std::vector<std::string> channelList();
// Carrier frequency of a channel [Hz].
double channelFrequency(int channel);

void initializeFigure(const rt::Value& handles);
void redraw(const rt::Value& handles);
void redrawFormatParameters(const rt::Value& handles);
void redrawGenerationParameters(const rt::Value& handles);
void redrawPaylodSetup(const rt::Value& handles);
void redrawProjectedLength(const rt::Value& handles);

// What the ramp and idle time fields store for a text (samples of a time in µs), and the text they show
// for a number of samples; the same for the filter factor field.
double samplesOfTime(std::string_view field, std::string_view text);
std::string timeText(std::string_view field, double samples);
double filterFactorOf(std::string_view text);
std::string filterFactorText(double factor);

// The control callbacks, each (control that fired, control record).
void tbGenerationMode(toolkit::Handle h, const rt::Value& handles);
void pdDataRate(toolkit::Handle h, const rt::Value& handles);
void pdModulation(toolkit::Handle h, const rt::Value& handles);
void pdPreambleFormat(toolkit::Handle h, const rt::Value& handles);
void chkClkLocked(toolkit::Handle h, const rt::Value& handles);
void pdScrambler(toolkit::Handle h, const rt::Value& handles);
void chkEncoderActive(toolkit::Handle h, const rt::Value& handles);
void pdChannels(toolkit::Handle h, const rt::Value& handles);
void pdPowerRamp(toolkit::Handle h, const rt::Value& handles);
void txtRampTime(toolkit::Handle h, const rt::Value& handles);
void txtIdleInterval(toolkit::Handle h, const rt::Value& handles);
void txtOversampleRate(toolkit::Handle h, const rt::Value& handles);
void pdFilterType(toolkit::Handle h, const rt::Value& handles);
void txtFilterFactor(toolkit::Handle h, const rt::Value& handles);
void txtFilterTaps(toolkit::Handle h, const rt::Value& handles);
void chkMirrorSpectrum(toolkit::Handle h, const rt::Value& handles);
void chkMACheader(toolkit::Handle h, const rt::Value& handles);
void chkMACfcs(toolkit::Handle h, const rt::Value& handles);
void pbMACheaderSetup(toolkit::Handle h, const rt::Value& handles);
void pdDATAsourceType(toolkit::Handle h, const rt::Value& handles);
void txtDataLength(toolkit::Handle h, const rt::Value& handles);

// Computes the frame of the current parameters into the globals waveform and markers.
void calculate();

}  // namespace dot11b::windows::format_panel
