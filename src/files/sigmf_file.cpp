// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sigmf_file.h"

#include <cstring>
#include <nlohmann/json.hpp>

#include "files/safe_save.h"

namespace dot11b::files {

namespace {

constexpr SampleFormat kSigmfFormats[] = {SampleFormat::CS8, SampleFormat::CS16, SampleFormat::CF32,
                                          SampleFormat::CF64};

nlohmann::ordered_json globalObject(const SigmfMetadata& m) {
  nlohmann::ordered_json global = {
      {"core:datatype", sigmfDatatype(m.format)}, {"core:sample_rate", m.sampleRate}, {"core:version", "1.2.0"}};
  // A recording names its radio first.
  if (!m.hardware.empty()) {
    global["core:hw"] = m.hardware;
    global["core:recorder"] = "dot11b";
    global["core:description"] = m.description;
  } else {
    global["core:description"] = m.description;
    global["core:recorder"] = "dot11b";
  }
  if (!m.extensionFields.empty()) {
    global["core:extensions"] = {{{"name", "dot11b"}, {"version", "1.0.0"}, {"optional", true}}};
    for (const auto& [key, json] : m.extensionFields) global[key] = nlohmann::ordered_json::parse(json);
  }
  return global;
}

}  // namespace

std::string sigmfMetadataText(const SigmfMetadata& m) {
  nlohmann::ordered_json meta;
  meta["global"] = globalObject(m);
  meta["captures"] = nlohmann::ordered_json::array();
  for (const SigmfCapture& c : m.captures) {
    nlohmann::ordered_json capture = {{"core:sample_start", c.sampleStart}, {"core:frequency", c.frequency}};
    if (!c.datetime.empty()) capture["core:datetime"] = c.datetime;
    meta["captures"].push_back(capture);
  }
  meta["annotations"] = nlohmann::ordered_json::array();
  for (const SigmfAnnotation& a : m.annotations) {
    meta["annotations"].push_back({{"core:sample_start", a.sampleStart},
                                   {"core:sample_count", a.sampleCount},
                                   {"core:freq_lower_edge", a.lowerEdge},
                                   {"core:freq_upper_edge", a.upperEdge},
                                   {"core:label", a.label},
                                   {"core:generator", "dot11b"}});
  }
  return meta.dump(2) + "\n";
}

std::string sigmfBaseName(const std::string& name) {
  for (const char* ext : {".sigmf-data", ".sigmf-meta", ".sigmf"}) {
    const std::size_t n = std::strlen(ext);
    if (name.size() > n && name.compare(name.size() - n, n, ext) == 0) return name.substr(0, name.size() - n);
  }
  return name;
}

std::string sigmfDatatype(SampleFormat format) {
  switch (format) {
    case SampleFormat::CS8: return "ci8";
    case SampleFormat::CS16: return "ci16_le";
    case SampleFormat::CF32: return "cf32_le";
    case SampleFormat::CF64: return "cf64_le";
    case SampleFormat::CS16BE: break;
  }
  return "";
}

std::optional<SampleFormat> sigmfFormat(const std::string& datatype) {
  for (const SampleFormat format : kSigmfFormats)
    if (datatype == sigmfDatatype(format)) return format;
  return std::nullopt;
}

std::size_t saveSigmf(const std::string& base, const Samples& waveform, const SigmfDescription& d,
                      const SampleEncoding& encoding) {
  ReplacementSet files;
  const std::size_t clipped = saveSigmf(files, base, waveform, d, encoding);
  files.commit();
  return clipped;
}

std::size_t saveSigmf(ReplacementSet& files, const std::string& base, const Samples& waveform,
                      const SigmfDescription& d, const SampleEncoding& encoding) {
  const EncodedSamples data = encodeSamples(waveform, encoding);
  SigmfMetadata meta{encoding.format, d.sampleRate, "", d.description, {{0, d.centerFrequency, ""}}, {},
                     d.extensionFields};
  if (d.frameLength > 0) {
    meta.annotations.push_back({d.frameStart, d.frameLength, d.centerFrequency - d.bandwidth / 2,
                                d.centerFrequency + d.bandwidth / 2, d.label});
  }
  meta.annotations.insert(meta.annotations.end(), d.moreAnnotations.begin(), d.moreAnnotations.end());
  saveBytes(files.add(base + ".sigmf-data"), data.bytes);
  saveBytes(files.add(base + ".sigmf-meta"), sigmfMetadataText(meta));
  return data.clippedSamples;
}

}  // namespace dot11b::files
