// The format module: the 802.11b panel of the main window. It builds the application, keeps every control
// in line with the parameters record, converts and clamps every entry, shows the projected number of
// samples, and computes the frame when the application window asks for it.
#pragma once

#include <string>
#include <vector>

#include "runtime/dispatch.h"
#include "shell/toolkit.h"

namespace dot11b::shell::format_panel {

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

// The control callbacks, each (control that fired, control record).
void tbGenerationMode(Handle h, const rt::Value& handles);
void pdDataRate(Handle h, const rt::Value& handles);
void pdModulation(Handle h, const rt::Value& handles);
void pdPreambleFormat(Handle h, const rt::Value& handles);
void chkClkLocked(Handle h, const rt::Value& handles);
void pdScrambler(Handle h, const rt::Value& handles);
void chkEncoderActive(Handle h, const rt::Value& handles);
void pdChannels(Handle h, const rt::Value& handles);
void pdPowerRamp(Handle h, const rt::Value& handles);
void txtRampTime(Handle h, const rt::Value& handles);
void txtIdleInterval(Handle h, const rt::Value& handles);
void txtOversampleRate(Handle h, const rt::Value& handles);
void pdFilterType(Handle h, const rt::Value& handles);
void txtFilterFactor(Handle h, const rt::Value& handles);
void txtFilterTaps(Handle h, const rt::Value& handles);
void chkMirrorSpectrum(Handle h, const rt::Value& handles);
void chkMACheader(Handle h, const rt::Value& handles);
void chkMACfcs(Handle h, const rt::Value& handles);
void pbMACheaderSetup(Handle h, const rt::Value& handles);
void pdDATAsourceType(Handle h, const rt::Value& handles);
void txtDataLength(Handle h, const rt::Value& handles);

// Computes the frame of the current parameters into the globals waveform and markers.
void calculate();

}  // namespace dot11b::shell::format_panel
