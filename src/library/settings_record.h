// SPDX-License-Identifier: GPL-3.0-or-later
// A routine's settings record, whose fields are all optional: each is read once, and a field of another
// name is refused, so that a typing error never passes unnoticed.
#pragma once

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/binding.h"

namespace dot11b::rt {

// The fields of a settings record, each read once; what remains unread is an unknown field.
class SettingsRecord {
 public:
  SettingsRecord(const Value& record, std::string_view routine, std::string_view name)
      : routine_(routine), name_(name) {
    if (record.isEmpty()) return;
    if (!record.isRecord())
      throw std::invalid_argument(std::string(routine) + ": input '" + std::string(name) + "' must be a record");
    for (const std::string& field : record.fieldNames()) unread_.push_back(field);
    record_ = &record;
  }
  const Value* take(std::string_view field) {
    const auto at = std::find(unread_.begin(), unread_.end(), field);
    if (at == unread_.end()) return nullptr;
    unread_.erase(at);
    return &record_->field(field);
  }
  std::optional<double> number(std::string_view field) {
    const Value* v = take(field);
    return v ? std::optional(toScalar(*v, ref(field))) : std::nullopt;
  }
  std::optional<std::string> text(std::string_view field) {
    const Value* v = take(field);
    return v ? std::optional(toText(*v, ref(field))) : std::nullopt;
  }
  // Throws naming the first field not read.
  void expectAllRead() const {
    if (!unread_.empty())
      throw std::invalid_argument(std::string(routine_) + ": " + std::string(name_) + " has no field '" +
                                  unread_.front() + "'");
  }

 private:
  ArgRef ref(std::string_view field) const { return {routine_, field}; }
  std::string_view routine_, name_;
  const Value* record_ = nullptr;
  std::vector<std::string> unread_;
};

}  // namespace dot11b::rt
