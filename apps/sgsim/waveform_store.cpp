// SPDX-License-Identifier: GPL-3.0-or-later
#include "waveform_store.h"

#include <cctype>
#include <filesystem>
#include <fstream>

#include "scpi_error.h"

namespace sgsim {
namespace {

constexpr std::size_t kBytesPerSample = 4;
constexpr std::size_t kMaxTitleLength = 200;

struct MemoryName {
  std::string memory;  // "ARBI" or "MKRI"
  std::string title;
};

MemoryName splitName(const std::string& name) {
  const auto colon = name.find(':');
  if (colon == std::string::npos) throw ScpiError(-257, "File name error;no memory prefix");
  MemoryName parsed{name.substr(0, colon), name.substr(colon + 1)};
  for (char& c : parsed.memory) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (parsed.memory != "ARBI" && parsed.memory != "MKRI") throw ScpiError(-257, "File name error;unknown memory");
  const std::string& title = parsed.title;
  // The title also names a file in the store folder.
  if (title.empty() || title.size() > kMaxTitleLength || title == "." || title == ".." ||
      title.find('/') != std::string::npos || title.find('\0') != std::string::npos) {
    throw ScpiError(-257, "File name error");
  }
  return parsed;
}

}  // namespace

void WaveformStore::store(const std::string& name, const std::string& bytes) {
  const MemoryName parsed = splitName(name);
  if (parsed.memory == "ARBI") {
    if (bytes.empty() || bytes.size() % kBytesPerSample != 0) {
      throw ScpiError(-161, "Invalid block data;not whole 16-bit I/Q pairs");
    }
    writeFile(parsed.memory, parsed.title, bytes);
    waveforms_[parsed.title] = bytes;
    markers_.erase(parsed.title);  // markers of an older waveform of the same title no longer fit
  } else {
    const auto waveform = waveforms_.find(parsed.title);
    if (waveform == waveforms_.end()) throw ScpiError(-256, "File name not found;no waveform of this title");
    if (bytes.size() != waveform->second.size() / kBytesPerSample) {
      throw ScpiError(-224, "Illegal parameter value;marker count differs from sample count");
    }
    writeFile(parsed.memory, parsed.title, bytes);
    markers_[parsed.title] = bytes;
  }
}

const std::string& WaveformStore::load(const std::string& name) const {
  const MemoryName parsed = splitName(name);
  const auto& memory = parsed.memory == "ARBI" ? waveforms_ : markers_;
  const auto found = memory.find(parsed.title);
  if (found == memory.end()) throw ScpiError(-256, "File name not found");
  return found->second;
}

bool WaveformStore::hasWaveform(const std::string& name) const {
  try {
    const MemoryName parsed = splitName(name);
    return parsed.memory == "ARBI" && waveforms_.count(parsed.title) != 0;
  } catch (const ScpiError&) {
    return false;
  }
}

void WaveformStore::writeFile(const std::string& memory, const std::string& title, const std::string& bytes) const {
  if (folder_.empty()) return;
  const std::filesystem::path directory = std::filesystem::path(folder_) / memory;
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  std::ofstream file(directory / title, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (error || !file) throw ScpiError(-250, "Mass storage error");
}

}  // namespace sgsim
