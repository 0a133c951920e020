// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform memory: waveforms (ARBI) and their markers (MKRI) by title, optionally written to
// a folder as <folder>/ARBI/<title> and <folder>/MKRI/<title> with the bytes as received.
#pragma once

#include <map>
#include <string>

namespace sgsim {

class WaveformStore {
 public:
  // folder: where stored data is also written; empty = memory only.
  explicit WaveformStore(std::string folder) : folder_(std::move(folder)) {}

  // Stores `bytes` under "ARBI:<title>" or "MKRI:<title>" (memory prefix case-insensitive).
  // ScpiError: -257 "File name error" for an unknown memory or an unusable title, -161 for
  // waveform data that is not whole I/Q pairs of 16 bits, -224 for markers whose count differs from
  // the waveform's samples, -256 for markers of a waveform not stored, -250 when writing fails.
  void store(const std::string& name, const std::string& bytes);
  // The bytes stored under "ARBI:<title>" or "MKRI:<title>"; ScpiError -256 when none.
  const std::string& load(const std::string& name) const;
  bool hasWaveform(const std::string& name) const;

 private:
  void writeFile(const std::string& memory, const std::string& title, const std::string& bytes) const;

  std::string folder_;
  std::map<std::string, std::string> waveforms_;  // title -> big-endian I/Q bytes
  std::map<std::string, std::string> markers_;    // title -> one byte per sample
};

}  // namespace sgsim
