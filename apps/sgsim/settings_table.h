// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument settings the simulator holds, each with its command pattern, value rule and
// value after *RST.
#pragma once

#include <string>
#include <vector>

#include "setting_values.h"

namespace sgsim {

struct SettingSpec {
  std::string pattern;  // SCPI notation, e.g. "[:SOURce]:FREQuency[:FIXed]"
  ValueRule rule;
  std::string initial;  // query text after *RST
};

const std::vector<SettingSpec>& settingSpecs();

}  // namespace sgsim
