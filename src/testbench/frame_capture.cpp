// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/frame_capture.h"

#include <cmath>
#include <cstdio>

#include "files/safe_save.h"
#include "rx/verify/mac_fields.h"
#include "runtime/shortest_text.h"

namespace dot11b::testbench {

namespace {

std::uint64_t timeOf(const rx::ReceivedFrame& frame, double sampleRate, std::uint64_t startNs) {
  const double offset = sampleRate > 0 ? std::max(0.0, frame.startSample) / sampleRate * 1e9 : 0;
  return startNs + static_cast<std::uint64_t>(std::llround(offset));
}

// The frame's level in dBFS; nothing for a frame of no power or one not yet checked.
std::optional<double> levelDbfs(const rx::Verification& v, std::size_t k, double fullScale) {
  if (k >= v.levelsDb.size() || !std::isfinite(v.levelsDb[k])) return std::nullopt;
  return v.levelsDb[k] - 20 * std::log10(fullScale);
}

std::string hexByte(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
  return text;
}

}  // namespace

bool usableHeader(const rx::ReceivedFrame& frame) { return frame.header.crcOk && !frame.modulation.empty(); }

files::PcapngFrame pcapngFrame(const rx::Verification& v, std::size_t k, const FrameCaptureSettings& settings) {
  const rx::ReceivedFrame& f = v.frames[k];
  files::PcapngFrame out;
  out.psdu = rx::octetsOf(f.psdu);
  out.rateMbps = f.header.rateMbps().value_or(0);
  out.fcsOk = f.fcsOk;
  out.shortPreamble = f.shortPreamble;
  out.cck = f.modulation == "CCK";
  out.pbcc = f.modulation == "PBCC";
  out.frequencyHz = settings.frequencyHz;
  out.levelDbfs = levelDbfs(v, k, settings.fullScale);
  if (out.levelDbfs && settings.calibrationDb) out.levelDbm = *out.levelDbfs + *settings.calibrationDb;
  out.timestampNs = timeOf(f, v.sampleRate, settings.startNs);
  if (!f.psduComplete) {
    const std::size_t announced = f.header.psduOctets().value_or(0);
    out.comment = "PSDU cut short: " + std::to_string(out.psdu.size()) + " of " + std::to_string(announced) +
                  " octets received";
  }
  if (!f.scrambled) out.comment += std::string(out.comment.empty() ? "" : "; ") + "unscrambled";
  return out;
}

std::string headerNote(const rx::ReceivedFrame& frame) {
  std::string note = frame.header.crcOk ? "PLCP header with an unknown rate" : "PLCP header CRC failed";
  note += ": SIGNAL " + hexByte(frame.header.signal) + ", SERVICE " + hexByte(frame.header.service) + ", LENGTH " +
          std::to_string(frame.header.length) + " us, " + (frame.shortPreamble ? "short" : "long") +
          " preamble, carrier offset " + rt::shortestText(std::round(frame.cfoHz)) + " Hz";
  return note;
}

void writeFrame(files::PcapngWriter& writer, const rx::Verification& v, std::size_t k,
                const FrameCaptureSettings& settings) {
  const rx::ReceivedFrame& f = v.frames[k];
  if (usableHeader(f)) {
    writer.write(pcapngFrame(v, k, settings));
    return;
  }
  if (!settings.all) return;
  const std::optional<double> dbfs = levelDbfs(v, k, settings.fullScale);
  std::optional<double> dbm;
  if (dbfs && settings.calibrationDb) dbm = *dbfs + *settings.calibrationDb;
  writer.writeNote(timeOf(f, v.sampleRate, settings.startNs), headerNote(f), dbfs, dbm);
}

std::size_t ReaderWatchedSource::read(Complex* out, std::size_t max) {
  requireReader();
  return inner_.read(out, max);
}

std::size_t ReaderWatchedSource::readSamples(rx::Sample* out, std::size_t max) {
  requireReader();
  return inner_.readSamples(out, max);
}

void ReaderWatchedSource::requireReader() const {
  if (writer_.readerGone()) throw files::PcapngReaderGone("the capture's reader has gone");
}

void savePcapng(const std::string& path, const rx::Verification& v, const FrameCaptureSettings& settings) {
  files::saveReplacing(path, [&](const std::string& temporaryPath) {
    files::PcapngWriter writer(temporaryPath, {"dot11b verify", levelDescription(settings)});
    for (std::size_t k = 0; k < v.frames.size(); ++k) writeFrame(writer, v, k, settings);
  });
}

std::string levelDescription(const FrameCaptureSettings& settings) {
  std::string text = "802.11b DSSS frames decoded by dot11b; radiotap dB antenna signal: the frame's level in dB above " +
                     rt::shortestText(files::kDbSignalReferenceDbfs) + " dBFS";
  if (settings.calibrationDb)
    text += "; dBm antenna signal: dBFS + " + rt::shortestText(*settings.calibrationDb) + " dB calibration";
  return text;
}

}  // namespace dot11b::testbench
