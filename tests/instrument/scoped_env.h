// SPDX-License-Identifier: GPL-3.0-or-later
// Sets an environment variable for the life of the guard, then restores it.
#pragma once

#include <optional>
#include <string>

namespace instrument_test {

class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace instrument_test
