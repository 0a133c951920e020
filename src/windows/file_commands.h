// The file steps of the window's commands with their message boxes: parameter files and the special
// waveform save.
#pragma once

#include <string>

#include "runtime/value.h"
#include "shell/dialogs.h"
#include "shell/waveform_files.h"

namespace dot11b::shell {

// Writes the parameter file; on failure shows the error's text titled "Error Saving " + filename.
// Returns whether the file was written.
bool saveParameters(const std::string& filename, const rt::Value& parameters, Dialogs& dialogs);

// Reads and checks the parameter file (readParameterFile) against the identity of `parameters`; on
// success replaces `parameters` whole and returns true, otherwise shows the problem titled "Error
// Loading File" and leaves `parameters` as it was.
bool loadParameters(const std::string& filename, rt::Value& parameters, Dialogs& dialogs);

// The special save: asks "Select file format." titled "Special Save" with "ASCII", "Flarevane" and "MAT"
// and writes `filename` in that format (nothing when the question is closed); a failure is shown titled
// "Error Saving " + filename.
void saveWaveform(const std::string& filename, const Samples& waveform, Dialogs& dialogs);

}  // namespace dot11b::shell
