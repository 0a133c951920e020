// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/frame_sequence.h"

#include <cmath>
#include <string>

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "runtime/shortest_text.h"
#include "settings/calculate.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"

namespace dot11b::testbench {

using rt::Value;

namespace {

constexpr unsigned kSequenceNumbers = 4096;

// The MAC header bits of each frame: the record's bit stream, with the sequence number (bits 4 to 15 of
// Sequence Control) counting up by one a frame, modulo 4096, from the record's value.
class HeaderRun {
 public:
  HeaderRun(const Value& parameters, std::size_t frames) {
    if (parameters.field("MACheader").field("Active").scalarValue() == 0) return;
    const mac::MacHeader header = settings::macHeaderFromRecord(parameters.field("MACheader").field("Contents"));
    bits_ = header.bitStream;
    std::size_t offset = 0, length = 0;
    for (mac::MacFieldId id : mac::macBitStreamOrder()) {
      if (!header.fields[id].active) continue;
      if (id == mac::SeqCntrl) offset = length;
      length += 8 * header.fields[id].size;
    }
    if (!header.fields[mac::SeqCntrl].active || frames == 1) return;
    if (length != bits_.size())
      throw settings::ParameterError("MACheader.Contents.BitStream: " + std::to_string(bits_.size()) +
                           " bits do not match the active fields (" + std::to_string(length) +
                           " bits), so the sequence number cannot count; set a header field again to rebuild it");
    seqOffset_ = offset;
    for (unsigned b = 0; b < 16; ++b) seqControl_ |= static_cast<unsigned>(bits_[offset + b]) << b;
  }

  const Bits& bitsOf(std::size_t frame) {
    if (!seqOffset_) return bits_;
    const unsigned number = ((seqControl_ >> 4) + static_cast<unsigned>(frame % kSequenceNumbers)) % kSequenceNumbers;
    const unsigned control = (seqControl_ & 0xF) | (number << 4);
    for (unsigned b = 0; b < 16; ++b) bits_[*seqOffset_ + b] = (control >> b) & 1;
    return bits_;
  }

 private:
  Bits bits_;
  std::optional<std::size_t> seqOffset_;
  unsigned seqControl_ = 0;
};

mac::AirTime airTimeOf(const Value& p) {
  return {p.field("dataRate").scalarValue(), p.field("preambleType").scalarValue() == 1,
          static_cast<std::size_t>(p.field("dataLength").scalarValue())};
}

// Microseconds from a frame's first sample to the first bit of a management body's timestamp: the ramp, the
// PLCP preamble and header, and the 24-octet MAC header.
double timestampDelayUs(const Value& p, const phy::FrameSettings& frame) {
  const bool ramped = frame.generationMode == 1 && frame.rampType > 0;
  const double rampChips = ramped ? std::round(frame.rampLength / frame.oversamplingRate) : 0;
  const mac::AirTime air = airTimeOf(p);
  return rampChips / 11 + (air.shortPreamble ? 96 : 192) + 24 * 8 / air.rateMbps;
}

}  // namespace

double sequenceLength(const Value& parameters, std::size_t frames) {
  if (frames == 0 || frames > kMaxSequenceFrames)
    throw settings::ParameterError("frames: " + std::to_string(frames) + " is not allowed; allowed: 1 to " +
                         std::to_string(kMaxSequenceFrames));
  const double perFrame = settings::projectedLength(parameters);
  const double total = perFrame * static_cast<double>(frames);
  if (total > kMaxSequenceSamples)
    throw settings::ParameterError("frames: " + std::to_string(frames) + " frames of " + rt::shortestText(perFrame) +
                         " samples are " + rt::shortestText(total) + " samples, more than the " +
                         rt::shortestText(kMaxSequenceSamples) + " (32 Msamples) a waveform may hold");
  return total;
}

namespace {

// The projection and the frames made may differ by a few samples a frame: the limit holds for what is made.
void requireWithinLimit(std::size_t madeSamples, std::size_t frames) {
  if (static_cast<double>(madeSamples) <= kMaxSequenceSamples) return;
  const std::string made = frames == 1 ? " frame makes " : " frames make at least ";
  throw settings::ParameterError("frames: " + std::to_string(frames) + made + std::to_string(madeSamples) +
                                 " samples, more than the " + rt::shortestText(kMaxSequenceSamples) +
                                 " (32 Msamples) a waveform may hold");
}

}  // namespace

phy::Frame calculateSequence(const Value& parameters, const SequenceSettings& sequence, std::vector<Bits>* psdus) {
  if (sequence.frames == 1 && !sequence.frameTemplate && sequence.payloadStartOctet == 0 && psdus == nullptr) {
    phy::Frame frame = settings::calculate(parameters);
    requireWithinLimit(frame.waveform.size(), 1);
    return frame;
  }
  settings::validateParameters(parameters);
  const double total = sequenceLength(parameters, sequence.frames);
  const phy::FrameSettings frameSettings = settings::frameSettings(parameters);
  const mac::PayloadSettings payload = settings::payloadSettings(parameters);
  const mac::TemplateBody body = sequence.frameTemplate ? mac::templateBody(sequence.frameTemplate->kind) : mac::TemplateBody::Payload;
  const double bodyDelayUs = timestampDelayUs(parameters, frameSettings);
  const double sampleRate = 11e6 * frameSettings.oversamplingRate;
  HeaderRun header(parameters, sequence.frames);

  phy::Frame out;
  out.waveform.reserve(static_cast<std::size_t>(total));
  out.marker1.reserve(static_cast<std::size_t>(total));
  out.marker2.reserve(static_cast<std::size_t>(total));
  Bits previous;
  phy::Frame made;
  for (std::size_t k = 0; k < sequence.frames; ++k) {
    Bits data;
    if (body == mac::TemplateBody::Management) {
      const double startUs = static_cast<double>(out.waveform.size()) / sampleRate * 1e6;
      data = mac::managementBody(*sequence.frameTemplate, airTimeOf(parameters), frameSettings.highRateMod == 1,
                                 static_cast<std::uint64_t>(std::llround(startUs + bodyDelayUs)));
    } else if (body == mac::TemplateBody::Payload) {
      const std::uint64_t firstOctet =
          sequence.payloadStartOctet +
          (sequence.payload == PayloadRun::kRepeat ? 0 : k * static_cast<std::uint64_t>(payload.dataLength));
      data = mac::payloadData(payload, firstOctet);
    }
    Bits psdu = mac::assemblePsdu(header.bitsOf(k), data, payload.fcsActive);
    // Frames that carry the same PSDU are the same samples: made once.
    if (k == 0 || psdu != previous) made = phy::generateFrame(psdu, frameSettings);
    if (psdus != nullptr) psdus->push_back(psdu);
    previous = std::move(psdu);
    requireWithinLimit(out.waveform.size() + made.waveform.size(), sequence.frames);
    out.waveform.insert(out.waveform.end(), made.waveform.begin(), made.waveform.end());
    out.marker1.insert(out.marker1.end(), made.marker1.begin(), made.marker1.end());
    out.marker2.insert(out.marker2.end(), made.marker2.begin(), made.marker2.end());
  }
  return out;
}

}  // namespace dot11b::testbench
