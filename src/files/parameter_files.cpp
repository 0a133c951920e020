// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/parameter_files.h"

#include <algorithm>
#include <filesystem>

#include "files/safe_save.h"
#include "runtime/matfile/matfile.h"
#include "runtime/matfile/matfile_names.h"
#include "runtime/number_text.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"

namespace dot11b::files {

using rt::Value;

namespace {

ParameterFileContents problem(ParameterFileProblem kind, const std::string& filename, std::string_view what) {
  return {kind, filename + "\n" + std::string(what), Value(), {}};
}

ParameterFileContents checkVariables(const rt::MatVariables& variables, const std::string& filename,
                                     std::string_view expectedId) {
  // As when all variables are loaded into one record: a later variable of the same name wins.
  const Value* fileParameters = nullptr;
  for (const auto& [name, value] : variables)
    if (name == "fileParameters") fileParameters = &value;
  if (!fileParameters) return problem(ParameterFileProblem::InvalidFormat, filename, "has an Invalid File Format.");
  const Value* id = fileParameters->isRecord() ? fileParameters->findField("ParameterFileFormat_ID") : nullptr;
  if (!id) return problem(ParameterFileProblem::InvalidStructure, filename, "has an Invalid File Structure.");
  if (!id->isText() || id->rows() > 1 || id->toUtf8() != expectedId)
    return problem(ParameterFileProblem::InvalidParameterId, filename, "has an Invalid File Parameter ID.");

  Value parameters = *fileParameters;
  std::vector<std::string> adjustments;
  try {
    for (const settings::Adjustment& a : settings::bringWithinRules(parameters))
      adjustments.push_back(a.path + ": " + rt::numberToText(a.before) + " changed to " + rt::numberToText(a.after));
    settings::validateParameters(parameters);
    // The derived fields follow from the others, as the panel's redraw makes them.
    for (const char* derived : {"totalLength", "ProjectedLength"})
      if (!parameters.hasField(derived)) parameters.setField(derived, Value());
    settings::deriveParameters(parameters);
  } catch (const std::exception&) {
    return problem(ParameterFileProblem::InvalidStructure, filename, "has an Invalid File Structure.");
  }
  return {ParameterFileProblem::None, {}, std::move(parameters), std::move(adjustments)};
}

}  // namespace

std::string addFileExtention(std::string_view name, std::string_view ext) {
  if (name.size() >= ext.size() && name.substr(name.size() - ext.size()) == ext) return std::string(name);
  return std::string(name) + std::string(ext);
}

std::string adjustmentsText(const std::string& filename, const std::vector<std::string>& adjustments) {
  if (adjustments.empty()) return {};
  std::string text = filename + "\nheld values outside their allowed ranges. These fields were changed:";
  for (const std::string& line : adjustments) text += "\n" + line;
  return text;
}

void saveParameterFile(const std::string& filename, const Value& parameters) {
  saveReplacing(filename, [&](const std::string& temporary) {
    rt::writeMatFile(temporary, {{"fileParameters", parameters}, {"filename", Value::text(filename)}});
  });
}

rt::MatReadLimits parameterFileLimits() {
  rt::MatReadLimits limits;
  limits.maxFileBytes = 1u << 20;
  limits.maxInflatedBytes = 8u << 20;
  return limits;
}

ParameterFileContents readParameterFile(const std::string& filename, std::string_view expectedId) {
  // A MAT-file without parameters (a waveform data file, say) is told by its variables at any size; the
  // size limit guards the parsing of what may be a parameter file, and of files that are not MAT-files.
  std::error_code sizeError;
  const std::uintmax_t size = std::filesystem::file_size(filename, sizeError);
  if (!sizeError && size > parameterFileLimits().maxFileBytes) {
    try {
      const std::vector<std::string> names = rt::matVariableNames(filename);
      if (std::find(names.begin(), names.end(), "fileParameters") == names.end())
        return problem(ParameterFileProblem::InvalidFormat, filename, "has an Invalid File Format.");
    } catch (const rt::MatFileError&) {
    }
  }
  rt::MatVariables variables;
  try {
    variables = rt::readMatFile(filename, parameterFileLimits());
  } catch (const std::exception& e) {
    return {ParameterFileProblem::Unreadable, e.what(), Value(), {}};
  }
  return checkVariables(variables, filename, expectedId);
}

ParameterFileContents parseParameterFile(std::string_view bytes, const std::string& filename,
                                         std::string_view expectedId) {
  rt::MatVariables variables;
  try {
    variables = rt::readMatBytes(bytes, parameterFileLimits());
  } catch (const std::exception& e) {
    return {ParameterFileProblem::Unreadable, e.what(), Value(), {}};
  }
  return checkVariables(variables, filename, expectedId);
}

rt::Value loadParameterFile(const std::string& name, std::vector<std::string>* adjustments) {
  ParameterFileContents contents = readParameterFile(
      addFileExtention(name, ".mat"), settings::initialParameters().field("ParameterFileFormat_ID").toUtf8());
  if (contents.problem != ParameterFileProblem::None) {
    std::replace(contents.message.begin(), contents.message.end(), '\n', ' ');
    throw ParameterFileUnusable(contents.message);
  }
  if (adjustments) *adjustments = std::move(contents.adjustments);
  return std::move(contents.parameters);
}

}  // namespace dot11b::files
