// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sigmf_file.h"

#include <cstring>
#include <nlohmann/json.hpp>

#include "files/safe_save.h"

namespace dot11b::files {

namespace {

nlohmann::ordered_json metadata(const SigmfDescription& d, SampleFormat format) {
  nlohmann::ordered_json meta;
  meta["global"] = {{"core:datatype", sigmfDatatype(format)},
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

const char* sigmfDatatype(SampleFormat format) {
  switch (format) {
    case SampleFormat::Cs8: return "ci8";
    case SampleFormat::Cs16: return "ci16_le";
    case SampleFormat::Cf32: return "cf32_le";
  }
  return "";
}

std::size_t saveSigmf(const std::string& base, const Samples& waveform, const SigmfDescription& description,
                      const SampleEncoding& encoding) {
  const EncodedSamples data = encodeSamples(waveform, encoding);
  saveBytes(base + ".sigmf-data", data.bytes);
  saveBytes(base + ".sigmf-meta", metadata(description, encoding.format).dump(2) + "\n");
  return data.clippedSamples;
}

}  // namespace dot11b::files
