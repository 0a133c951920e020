// SPDX-License-Identifier: GPL-3.0-or-later
// Parameter files: MAT-files holding the whole parameters record (fileParameters) and the file's full
// name at the time of saving (filename).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/matfile/matfile_check.h"
#include "runtime/value.h"

namespace dot11b::files {

// `name` when it already ends in `ext` (letter case counts), else `name` followed by `ext`.
std::string addFileExtention(std::string_view name, std::string_view ext);

// Writes the two variables, replacing `filename` only once the new file is complete. Throws with the
// error's text.
void saveParameterFile(const std::string& filename, const rt::Value& parameters);

enum class ParameterFileProblem { None, Unreadable, InvalidFormat, InvalidStructure, InvalidParameterId };

struct ParameterFileContents {
  ParameterFileProblem problem = ParameterFileProblem::None;
  std::string message;   // the error box's text when there is a problem
  rt::Value parameters;  // the record to use when there is none
  // Fields brought within their allowed values, as "FilterFactor: 0.05 changed to 0.1".
  std::vector<std::string> adjustments;
};

// Parameter files are small; anything much larger is refused before it is parsed.
rt::MatReadLimits parameterFileLimits();

// Reads a parameter file and checks it: a fileParameters variable (else "has an Invalid File Format."),
// a record with a ParameterFileFormat_ID (else "has an Invalid File Structure."), the expected identity
// (else "has an Invalid File Parameter ID."), and every field the generator and the panel rely on present
// and of the right kind (else "has an Invalid File Structure."). Values outside their allowed ranges, as
// other writers of the format may leave them, are brought within them by the panel's rules and listed in
// `adjustments`. The record is kept whole otherwise, extra fields included; the derived totalLength and
// ProjectedLength are recomputed. An unreadable file gives the reader's own error text. A MAT-file
// without a fileParameters variable is told at any size; other files beyond the size limit are refused.
ParameterFileContents readParameterFile(const std::string& filename, std::string_view expectedId);
// The checked record of a parameter file whose name gets ".mat" when it lacks it, as File Open reads it;
// throws ParameterFileUnusable with the window's error text on one line when the file cannot be used.
// The adjustments made, if wanted, go to `adjustments`.
struct ParameterFileUnusable : std::runtime_error {
  using std::runtime_error::runtime_error;
};
rt::Value loadParameterFile(const std::string& name, std::vector<std::string>* adjustments = nullptr);
// The one text that tells which fields of an opened parameter file were brought within their allowed
// values, as the window shows it and the command line prints it; empty when none was.
std::string adjustmentsText(const std::string& filename, const std::vector<std::string>& adjustments);
// The same for the file's bytes.
ParameterFileContents parseParameterFile(std::string_view bytes, const std::string& filename,
                                         std::string_view expectedId);

}  // namespace dot11b::files
