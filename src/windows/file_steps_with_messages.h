// SPDX-License-Identifier: GPL-3.0-or-later
// The file steps of the window's commands with their message boxes: parameter files and the special
// waveform save.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/waveform_files.h"
#include "runtime/value.h"
#include "toolkit/dialogs.h"

namespace dot11b::windows {

// Writes the parameter file; on failure shows the error's text titled "Error Saving " + filename.
// Returns whether the file was written.
bool saveParameters(const std::string& filename, const rt::Value& parameters, toolkit::Dialogs& dialogs);

// Reads and checks the parameter file (readParameterFile) against the identity of `parameters`; on
// success replaces `parameters` whole and returns the fields that were brought within their allowed
// values (see showAdjustments), otherwise shows the problem titled "Error Loading File", leaves
// `parameters` as it was and returns nothing.
std::optional<std::vector<std::string>> loadParameters(const std::string& filename, rt::Value& parameters,
                                                       toolkit::Dialogs& dialogs);

// Tells in one message box which fields of the opened file were changed; nothing when none was.
void showAdjustments(const std::string& filename, const std::vector<std::string>& adjustments,
                     toolkit::Dialogs& dialogs);

// The special save: asks "Select file format." titled "Special Save" with "ASCII", "Flarevane" and "MAT"
// and writes `filename` in that format (nothing when the question is closed); a failure is shown titled
// "Error Saving " + filename.
void saveWaveform(const std::string& filename, const files::Samples& waveform, toolkit::Dialogs& dialogs);

}  // namespace dot11b::windows
