// SPDX-License-Identifier: GPL-3.0-or-later
#include "c_values.h"

#include <stdexcept>

namespace instrument_test {

Handle text(const std::string& utf8) { return Handle(dot11b_create_text(utf8.c_str())); }
Handle scalar(double value) { return Handle(dot11b_create_scalar(value)); }

Handle complexRow(const std::vector<double>& re, const std::vector<double>& im) {
  return Handle(dot11b_create_matrix(1, re.size(), re.data(), im.data()));
}

Handle matrix(std::size_t rows, std::size_t cols, const std::vector<double>& columnMajor) {
  return Handle(dot11b_create_matrix(rows, cols, columnMajor.data(), nullptr));
}

void setField(Handle& record, const std::string& path, const Handle& value) {
  const auto dot = path.find('.');
  if (dot == std::string::npos) {
    dot11b_set_field(record.get(), path.c_str(), value.get());
    return;
  }
  const std::string group = path.substr(0, dot);
  const dot11b_array* existing = dot11b_field(record.get(), group.c_str());
  Handle sub(existing != nullptr ? dot11b_duplicate(existing) : dot11b_create_record());
  setField(sub, path.substr(dot + 1), value);
  dot11b_set_field(record.get(), group.c_str(), sub.get());
}

const dot11b_array* fieldOf(const dot11b_array* record, const std::string& path) {
  const auto dot = path.find('.');
  const dot11b_array* field = dot11b_field(record, path.substr(0, dot).c_str());
  if (field == nullptr || dot == std::string::npos) return field;
  return fieldOf(field, path.substr(dot + 1));
}

std::string textOf(const dot11b_array* a) {
  if (a == nullptr) return "";
  std::string out(dot11b_text(a, nullptr, 0), '\0');
  dot11b_text(a, out.data(), out.size() + 1);
  return out;
}

Handle startRecord(const char* initializer, const char* global) {
  Handle name = text(initializer);
  if (mlfVDot11b_GUI_c(name.get(), nullptr) != 0) throw std::runtime_error(dot11b_last_error());
  return Handle(dot11b_get_global(global));
}

Handle tcpConfiguration(int port) {
  Handle config = startRecord("InitializeConfiguration", "configuration");
  setField(config, "type", text("TCPIP"));
  setField(config, "TCPIP.address", text("127.0.0.1:" + std::to_string(port)));
  return config;
}

Reply call2(const char* name, const std::vector<const Handle*>& inputs) {
  std::vector<dot11b_array*> in;
  for (const Handle* h : inputs) in.push_back(h->get());
  dot11b_array* out[2] = {nullptr, nullptr};
  Reply reply;
  reply.rc = dot11b_call(name, 2, out, static_cast<int>(in.size()), in.data());
  if (reply.rc != 0) {
    reply.error = dot11b_last_error();
    return reply;
  }
  reply.status = dot11b_real(out[0])[0];
  reply.description = textOf(out[1]);
  dot11b_free(out[0]);
  dot11b_free(out[1]);
  return reply;
}

}  // namespace instrument_test
