// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sigmf_file.h"

#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>

#include "files/safe_save.h"

namespace dot11b::files {

namespace {

void appendFloatLe(std::string& out, double value) {
  const auto f = static_cast<float>(value);
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

nlohmann::ordered_json metadata(const SigmfDescription& d) {
  nlohmann::ordered_json meta;
  meta["global"] = {{"core:datatype", "cf32_le"},
                    {"core:sample_rate", d.sampleRate},
                    {"core:version", "1.2.0"},
                    {"core:description", d.description},
                    {"core:recorder", "dot11b"}};
  meta["captures"] = nlohmann::ordered_json::array({{{"core:sample_start", 0}, {"core:frequency", d.centerFrequency}}});
  meta["annotations"] = nlohmann::ordered_json::array();
  if (d.frameLength > 0) {
    meta["annotations"].push_back({{"core:sample_start", d.frameStart},
                                   {"core:sample_count", d.frameLength},
                                   {"core:freq_lower_edge", d.centerFrequency - d.bandwidth / 2},
                                   {"core:freq_upper_edge", d.centerFrequency + d.bandwidth / 2},
                                   {"core:label", d.label},
                                   {"core:generator", "dot11b"}});
  }
  return meta;
}

}  // namespace

std::string sigmfBaseName(const std::string& name) {
  for (const char* ext : {".sigmf-data", ".sigmf-meta", ".sigmf"}) {
    const std::size_t n = std::strlen(ext);
    if (name.size() > n && name.compare(name.size() - n, n, ext) == 0) return name.substr(0, name.size() - n);
  }
  return name;
}

void saveSigmf(const std::string& base, const Samples& waveform, const SigmfDescription& description) {
  std::string data;
  data.reserve(8 * waveform.size());
  for (const auto& s : waveform) {
    appendFloatLe(data, s.real());
    appendFloatLe(data, s.imag());
  }
  saveBytes(base + ".sigmf-data", data);
  saveBytes(base + ".sigmf-meta", metadata(description).dump(2) + "\n");
}

}  // namespace dot11b::files
