// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/wireshark_opening.h"

#include <exception>

#include "testbench/frame_capture.h"
#include "toolkit/dialogs.h"
#include "toolkit/toolkit.h"

namespace dot11b::windows {

std::string framesFileFor(const std::string& parameterFile) {
  if (parameterFile.empty()) return "dot11b_frames.pcapng";
  const std::size_t slash = parameterFile.find_last_of('/'), dot = parameterFile.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? parameterFile.substr(0, dot) : parameterFile) + ".pcapng";
}

void openInWireshark(const rx::Verification& v, std::optional<double> carrierHz, const std::string& path) {
  testbench::FrameCaptureSettings settings;
  settings.frequencyHz = carrierHz;
  try {
    testbench::savePcapng(path, v, settings);
  } catch (const std::exception& e) {
    toolkit::dialogs().error(std::string("The frames could not be written: ") + e.what(), "Open in Wireshark");
    return;
  }
  if (toolkit::current().openWith("wireshark", path)) return;
  toolkit::dialogs().message("Wireshark is not installed. The frames are in " + path +
                                 ", which Wireshark or tshark opens (Debian: apt install wireshark).",
                             "Open in Wireshark");
}

}  // namespace dot11b::windows
