// SPDX-License-Identifier: GPL-3.0-or-later
// The signal generator settings: the section of the main window (carrier frequency, output level,
// waveform title) and the modal advanced settings dialog, which works on a copy and hands it back on OK.
#pragma once

#include <string>

#include "runtime/dispatch.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows::sig_gen_panel {

const rt::WindowModule& module();

void initializeSigGenScreenObjects(const rt::Value& handles);
void redrawSigGenSettings(const rt::Value& handles);
void updateFrequency(const rt::Value& handles);
void txtAmplitude(toolkit::Handle h, const rt::Value& handles);
void txtWaveformTitle(toolkit::Handle h, const rt::Value& handles);
void pbAdvancedSettings(toolkit::Handle h, const rt::Value& handles);

// Upper case, only A-Z, 0-9 and _ $ & # + - [ ] kept, at most 20 characters; "BLANK" when none is left.
std::string filteredTitle(std::string_view text);

}  // namespace dot11b::windows::sig_gen_panel

namespace dot11b::windows::sig_gen_advanced {

const rt::WindowModule& module();
// ZelConfigAdv_c without an operation name: (figure [, settings]) or nothing; returns answer and the
// settings as edited.
rt::Values run(const rt::Values& in, int nargout);

rt::Value defaultSettings();
void initializeFigure(const rt::Value& handles);
// The ten tool tips of the dialog (a radio's connection replaces some; see radio_window).
void setToolTips(const rt::Value& handles);
void redrawAll(const rt::Value& handles);
void updateSamplingRate(const rt::Value& handles);

}  // namespace dot11b::windows::sig_gen_advanced
