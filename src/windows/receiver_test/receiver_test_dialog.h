// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration > Receiver Test: the dialog that picks a receiver test of the standard, its rate, frame
// count, wanted level and interferer, composes its signal and shows the amplitude to set on the signal
// generator. OK makes the composite the current waveform (the plots, Save Wave and Download use it as any
// frame) with the composite's sample rate and that amplitude; the next Calculate gives the frame of the
// parameters back its sample rate.
#pragma once

#include <optional>

#include "runtime/dispatch.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows::receiver_test_dialog {

const rt::WindowModule& module();
// Dot11b_ReceiverTest(mainWindow): shows the dialog modally; returns "OK" or "Cancel".
rt::Values run(const rt::Values& in, int nargout);

// Fills the lists and shows the plan the dialog starts with (or the last one chosen).
void initializeFigure(const rt::Value& handles);

// The callbacks, each (control that fired, the dialog's control record).
void pmTest(toolkit::Handle h, const rt::Value& handles);
void pmRate(toolkit::Handle h, const rt::Value& handles);
void txtFrames(toolkit::Handle h, const rt::Value& handles);
void txtWantedLevel(toolkit::Handle h, const rt::Value& handles);
void chkInterferer(toolkit::Handle h, const rt::Value& handles);
void txtInterfererOffset(toolkit::Handle h, const rt::Value& handles);
void txtInterfererLevel(toolkit::Handle h, const rt::Value& handles);
void pbCompose(toolkit::Handle h, const rt::Value& handles);
void pbOK(toolkit::Handle h, const rt::Value& handles);
void pbCancel(toolkit::Handle h, const rt::Value& handles);

// After the frame of the parameters was calculated: a composite's sample rate, still set, goes back to
// the one it replaced.
void leaveComposite();
// The sample rate of the composite that is the current waveform; nothing while it is a frame of the
// parameters.
std::optional<double> currentCompositeRate();

}  // namespace dot11b::windows::receiver_test_dialog
