// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/verify_report.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <nlohmann/json.hpp>
#include <string>

#include "files/safe_save.h"
#include "rx/verify/mac_fields.h"

namespace dot11b::testbench {

namespace {

std::string hexOf(const std::vector<std::uint8_t>& octets) {
  std::string text;
  char pair[3];
  for (std::uint8_t o : octets) {
    std::snprintf(pair, sizeof pair, "%02x", o);
    text += pair;
  }
  return text;
}

std::string fixed(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

nlohmann::ordered_json frameJson(const rx::ReceivedFrame& f) {
  const std::vector<std::uint8_t> octets = rx::octetsOf(f.psdu);
  nlohmann::ordered_json j;
  j["start_sample"] = f.startSample;
  j["rate_mbps"] = f.header.rateMbps() ? nlohmann::ordered_json(*f.header.rateMbps()) : nlohmann::ordered_json();
  j["modulation"] = f.modulation;
  j["preamble"] = f.shortPreamble ? "short" : "long";
  j["scrambled"] = f.scrambled;
  j["signal"] = f.header.signal;
  j["service"] = f.header.service;
  j["length_us"] = f.header.length;
  j["header_crc_ok"] = f.header.crcOk;
  j["psdu_octets"] = octets.size();
  j["psdu_complete"] = f.psduComplete;
  j["psdu_hex"] = hexOf(octets);
  j["fcs_ok"] = f.fcsOk;
  j["evm_rms_percent"] = f.evmRmsPercent;
  j["evm_peak"] = f.evmPeak;
  j["cfo_hz"] = f.cfoHz;
  j["clock_ppm"] = f.clockPpm;
  if (f.fcsOk) {
    if (const auto mac = rx::parseMacHeader(octets)) {
      nlohmann::ordered_json m;
      m["frame_control"] = mac->frameControl;
      m["type"] = mac->type;
      m["subtype"] = mac->subtype;
      m["to_ds"] = mac->toDs;
      m["from_ds"] = mac->fromDs;
      m["duration"] = mac->duration;
      m["addresses"] = mac->addresses;
      if (mac->sequenceControl) m["sequence_number"] = *mac->sequenceControl >> 4;
      if (const auto& body = mac->management) {
        m["timestamp_us"] = body->timestampUs;
        m["beacon_interval_tu"] = body->beaconIntervalTu;
        m["capability"] = body->capability;
        if (body->ssid) m["ssid"] = *body->ssid;
        m["rates_mbps"] = body->ratesMbps;
        if (body->channel) m["channel"] = *body->channel;
      }
      j["mac"] = m;
    }
  }
  return j;
}

}  // namespace

namespace {

nlohmann::ordered_json checkJson(const rx::TransmitterCheck& c) {
  nlohmann::ordered_json j;
  j["name"] = c.name;
  j["measured"] = c.value.has_value();
  if (c.value) j["value"] = *c.value;
  j["unit"] = c.unit;
  j["limit"] = c.limit;
  j["limit_is"] = c.atMost ? "at most" : "at least";
  if (c.value) j["passed"] = c.passed();
  if (!c.why.empty()) j["not_measured_because"] = c.why;
  return j;
}

}  // namespace

namespace {

nlohmann::ordered_json regionJson(const rx::MaskRegion& region) {
  nlohmann::ordered_json j;
  j["limit_dbr"] = region.limitDbr;
  j["measured"] = region.measured;
  j["partly_beyond_nyquist"] = region.partly;
  if (region.measured) {
    j["worst_dbr"] = region.worstDbr;
    j["margin_db"] = region.margin;
    j["passed"] = region.margin >= 0;
  }
  return j;
}

}  // namespace

std::string verificationJson(const rx::Verification& v) {
  const std::vector<rx::ReceivedFrame>& frames = v.frames;
  const std::vector<std::vector<rx::TransmitterCheck>>& checks = v.checks;
  const std::optional<rx::MaskResult>& mask = v.mask;
  nlohmann::ordered_json out;
  out["frames"] = nlohmann::ordered_json::array();
  for (std::size_t k = 0; k < frames.size(); ++k) {
    nlohmann::ordered_json frame = frameJson(frames[k]);
    if (k < checks.size()) {
      frame["transmitter"] = nlohmann::ordered_json::array();
      for (const rx::TransmitterCheck& c : checks[k]) frame["transmitter"].push_back(checkJson(c));
    }
    out["frames"].push_back(frame);
  }
  if (mask) {
    out["mask"] = {{"measured", mask->inner.measured || mask->outer.measured},
                   {"frame", 1},
                   {"resolution_bandwidth_hz", mask->resolutionBandwidth},
                   {"passed", mask->passed()},
                   {"inner", regionJson(mask->inner)},
                   {"outer", regionJson(mask->outer)}};
  } else {
    out["mask"] = {{"measured", false}};
  }
  return out.dump(2);
}

void writeMaskCsv(const std::string& path, const rx::MaskResult& mask) {
  // Written beside the target and put in place once whole: a full disk leaves no part of a table.
  files::saveReplacing(path, [&](const std::string& temporary) {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("cannot write '" + path + "': " + std::strerror(errno));
    file << "\"Frequency (Hz)\",\"Level (dBr)\",\"Limit (dBr)\"\n";
    for (const rx::MaskPoint& p : mask.points) {
      file << fixed(p.frequency, 1) << "," << fixed(p.dbr, 3) << ",";
      if (p.limit) file << fixed(*p.limit, 0);
      file << "\n";
    }
    if (!file.flush()) throw std::runtime_error("cannot write '" + path + "': " + std::strerror(errno));
  });
}

}  // namespace dot11b::testbench
