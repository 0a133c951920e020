#include "verify_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "rx/mac_fields.h"

namespace dot11b::cli {

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

void printChecks(std::ostream& out, const std::vector<rx::TransmitterCheck>& checks) {
  for (const rx::TransmitterCheck& c : checks) {
    out << "  " << c.name << ": ";
    const std::string unit = c.unit.empty() ? "" : " " + c.unit;
    const std::string limit = std::string(c.atMost ? "at most " : "at least ") + (c.atMost && c.unit == "ppm" ? "+-" : "") +
                              fixed(c.limit, c.unit.empty() ? 2 : 0) + unit;
    if (!c.value) {
      out << "not measured, " << c.why << " (limit " << limit << ")\n";
      continue;
    }
    out << fixed(*c.value, c.unit.empty() ? 3 : 1) << unit << " (limit " << limit << "), " << (c.passed() ? "passed" : "FAILED")
        << "\n";
  }
}

}  // namespace

void printSummary(const std::vector<rx::ReceivedFrame>& frames, std::ostream& out,
                  const std::vector<std::vector<rx::TransmitterCheck>>& checks) {
  if (frames.empty()) out << "no 802.11b frame found\n";
  for (std::size_t k = 0; k < frames.size(); ++k) {
    const rx::ReceivedFrame& f = frames[k];
    out << "frame " << k + 1 << " at sample " << fixed(f.startSample, 0) << ": "
              << (f.header.rateMbps() ? fixed(*f.header.rateMbps(), *f.header.rateMbps() == 5.5 ? 1 : 0) + " Mbit/s "
                                      : std::string("unknown rate "))
              << f.modulation << (f.modulation.empty() ? "" : ", ") << (f.shortPreamble ? "short" : "long")
              << " preamble" << (f.scrambled ? "" : ", unscrambled") << ", LENGTH " << f.header.length
              << " us, header CRC " << (f.header.crcOk ? "ok" : "FAILED") << "\n";
    if (f.header.crcOk) {
      out << "  PSDU " << f.psdu.size() / 8 << " octets" << (f.psduComplete ? "" : " (cut short)") << ", FCS "
                << (f.fcsOk ? "ok" : "does not hold") << "\n";
    }
    out << "  carrier offset " << fixed(f.cfoHz, 0) << " Hz, chip clock " << fixed(f.clockPpm, 1)
              << " ppm, EVM " << fixed(f.evmRmsPercent, 2) << " % rms ("
              << fixed(20 * std::log10(std::max(f.evmRmsPercent / 100, 1e-12)), 1) << " dB), peak "
              << fixed(f.evmPeak, 3) << "\n";
    if (k < checks.size()) printChecks(out, checks[k]);
  }
}


namespace {

nlohmann::ordered_json regionJson(const rx::MaskRegion& region, double limit) {
  nlohmann::ordered_json j;
  j["limit_dbr"] = limit;
  j["measured"] = region.measured;
  j["partly_beyond_nyquist"] = region.partly;
  if (region.measured) {
    j["worst_dbr"] = region.worstDbr;
    j["margin_db"] = region.margin;
    j["passed"] = region.margin >= 0;
  }
  return j;
}

void printRegion(std::ostream& out, const char* what, const rx::MaskRegion& region, double limit) {
  out << "  " << what << " (limit " << fixed(limit, 0) << " dBr): ";
  if (!region.measured) {
    out << "not measured (beyond half the sample rate)\n";
    return;
  }
  out << "worst " << fixed(region.worstDbr, 1) << " dBr, margin " << fixed(region.margin, 1) << " dB, "
      << (region.margin >= 0 ? "passed" : "FAILED") << (region.partly ? " (measured up to half the sample rate only)" : "")
      << "\n";
}

}  // namespace

void printMask(const rx::MaskResult& mask, double sampleRate, std::ostream& out) {
  out << "spectrum mask of frame 1 (" << fixed(mask.resolutionBandwidth / 1e3, 0) << " kHz resolution bandwidth, up to "
      << fixed(sampleRate / 2e6, 1) << " MHz off the carrier): " << (mask.passed() ? "passed" : "FAILED") << "\n";
  printRegion(out, "11 to 22 MHz off the carrier", mask.inner, -30);
  printRegion(out, "beyond 22 MHz", mask.outer, -50);
}

void printJson(const std::vector<rx::ReceivedFrame>& frames, const std::optional<rx::MaskResult>& mask,
               const std::vector<std::vector<rx::TransmitterCheck>>& checks) {
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
    out["mask"] = {{"measured", true},
                   {"frame", 1},
                   {"resolution_bandwidth_hz", mask->resolutionBandwidth},
                   {"passed", mask->passed()},
                   {"inner", regionJson(mask->inner, -30)},
                   {"outer", regionJson(mask->outer, -50)}};
  } else {
    out["mask"] = {{"measured", false}};
  }
  std::cout << out.dump(2) << "\n";
}

void writeMaskCsv(const std::string& path, const rx::MaskResult& mask) {
  std::ofstream file(path);
  if (!file) throw std::runtime_error("cannot write '" + path + "'");
  file << "\"Frequency (Hz)\",\"Level (dBr)\",\"Limit (dBr)\"\n";
  for (const rx::MaskPoint& p : mask.points) {
    file << fixed(p.frequency, 1) << "," << fixed(p.dbr, 3) << ",";
    if (p.limit) file << fixed(*p.limit, 0);
    file << "\n";
  }
  if (!file.flush()) throw std::runtime_error("cannot write '" + path + "'");
}

bool verified(const std::vector<rx::ReceivedFrame>& frames, bool expectFcs) {
  bool good = !frames.empty();
  for (const rx::ReceivedFrame& f : frames) good = good && f.header.crcOk && (!expectFcs || f.fcsOk);
  return good;
}

}  // namespace dot11b::cli
