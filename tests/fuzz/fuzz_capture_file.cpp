// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes given to dot11b verify as a capture, in any of the formats it reads, give
// samples or a CaptureError with a message; never a crash, a hang or an allocation far beyond the file.
// The first byte picks the format; the rest is the file (for SigMF, the metadata beside a small data file).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "files/capture_files.h"

namespace {

const std::string& folder() {
  static const std::string made = [] {
    char pattern[] = "/tmp/fuzz-capture-XXXXXX";
    const char* path = ::mkdtemp(pattern);
    if (path == nullptr) std::abort();
    std::ofstream(std::string(path) + "/c.sigmf-data", std::ios::binary) << std::string(64, '\x11');
    return std::string(path);
  }();
  return made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kNames[] = {"c.sigmf-meta", "c.cf64", "c.cf32", "c.iq16", "c.mat", "c.cs16", "c.cs8"};
  const std::string path = folder() + "/" + kNames[data[0] % std::size(kNames)];
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data + 1),
                                                               static_cast<std::streamsize>(size - 1));
  try {
    const dot11b::files::Capture capture = dot11b::files::readCapture(path, 1 << 20);
    if (capture.samples.size() > size) std::abort();  // never more samples than bytes
    if (capture.sampleRate && !(*capture.sampleRate > 0)) std::abort();
  } catch (const dot11b::files::CaptureError& e) {
    if (*e.what() == '\0') std::abort();
  }
  return 0;
}
