// SPDX-License-Identifier: GPL-3.0-or-later
// The software-defined radios for the calling forms: the radios SoapySDR finds, a waveform sent through one,
// and samples received by one. They live in a module of their own (libDot11b_radio.so, see radio_module.cpp),
// so that only a host that reaches for a radio loads SoapySDR.
#include <atomic>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "runtime/binding.h"
#include "runtime/library.h"
#include "sdr/radio.h"
#include "runtime/shortest_text.h"
#include "sdr/radio_error.h"
#include "sdr/radio_source.h"
#include "sdr/rate_choice.h"
#include "sdr/transmission.h"
#include "settings_record.h"

namespace dot11b::rt {

namespace {

// The fields that pick and tune a radio, and the rate, read from the record `radio`.
struct RadioSettings {
  std::string device;
  sdr::TuneSettings tune;
  std::optional<double> rate;
};

RadioSettings radioSettings(SettingsRecord& r, std::string_view routine) {
  RadioSettings s;
  s.device = r.text("device").value_or("");
  if (s.device.empty())
    throw std::invalid_argument(std::string(routine) + ": radio.device (the radio's SoapySDR arguments) is required");
  const std::optional<double> frequency = r.number("frequency");
  if (!frequency || !(*frequency > 0))
    throw std::invalid_argument(std::string(routine) + ": radio.frequency [Hz] greater than 0 is required");
  s.tune.frequency = *frequency;
  s.tune.gain = r.number("gain");
  s.tune.antenna = r.text("antenna").value_or("");
  s.rate = r.number("rate");
  if (s.rate && !(*s.rate > 0))
    throw std::invalid_argument(std::string(routine) + ": radio.rate must be greater than 0");
  return s;
}

// The radios found, as a 1 x N cell of records with their driver, label, serial and every argument.
Values devices(const Values& in, int) {
  const Inputs args(in, "Dot11b_Devices");
  const std::vector<sdr::FoundRadio> found = sdr::findRadios(args.given(0) ? args.text(0, "device") : "");
  Value list = Value::cell(1, found.size());
  for (std::size_t k = 0; k < found.size(); ++k) {
    Value radio = Value::record();
    for (const char* key : {"driver", "label", "serial"}) radio.setField(key, Value::text(found[k].value(key)));
    radio.setField("args", Value::text(found[k].text()));
    list.cells()[k] = std::move(radio);
  }
  return {std::move(list)};
}

// (waveform, sampleRate, radio): sends the waveform as dot11b transmit does, `repeat` times (1) with `gap`
// seconds (0) between, its peak `backoff` dB (1) below the radio's full scale. Returns a record of the
// rate used, the samples sent, the sends made and the underflows.
Values transmit(const Values& in, int) {
  const Inputs args(in, "Dot11b_Transmit");
  const ComplexRow waveform = args.complexVector(0, "waveform");
  const double frameRate = args.scalar(1, "sampleRate");
  SettingsRecord r(args.at(2, "radio"), "Dot11b_Transmit", "radio");
  const RadioSettings settings = radioSettings(r, "Dot11b_Transmit");
  const double backoff = r.number("backoff").value_or(1);
  sdr::Bursts bursts;
  bursts.repeat = static_cast<long>(r.number("repeat").value_or(1));
  bursts.gapSeconds = r.number("gap").value_or(0);
  r.expectAllRead();
  if (bursts.repeat < 1) throw std::invalid_argument("Dot11b_Transmit: radio.repeat must be 1 or more");
  if (!(bursts.gapSeconds >= 0)) throw std::invalid_argument("Dot11b_Transmit: radio.gap must be 0 or more");

  sdr::Radio radio(settings.device);
  const double rate = sdr::setUpTransmit(radio, settings.rate, frameRate, settings.tune);
  const sdr::StreamFormat format = radio.streamFormat(sdr::Direction::Transmit);
  const sdr::TxWaveform prepared = sdr::prepareWaveform(waveform, frameRate, rate, format, backoff);
  sdr::TxStream stream(radio, format);
  const std::atomic<bool> never{false};
  const sdr::TransmitReport report = sdr::transmit(stream, prepared.samples, bursts, never);
  if (!report.failure.empty())
    throw sdr::RadioError(report.failure + "; " + std::to_string(report.samplesSent) + " samples went out before");
  Value out = Value::record();
  out.setField("rate", Value::scalar(rate));
  out.setField("samples", Value::scalar(static_cast<double>(report.samplesSent)));
  out.setField("sends", Value::scalar(static_cast<double>(report.framesSent)));
  out.setField("underflows", Value::scalar(static_cast<double>(report.underflows)));
  return {std::move(out)};
}

// (radio): `duration` seconds received at `rate`; returns the samples as a complex row, the overflows and
// the sample (from 0) at which each segment starts, samples having been lost before all but the first.
Values capture(const Values& in, int nargout) {
  const Inputs args(in, "Dot11b_Capture");
  SettingsRecord r(args.at(0, "radio"), "Dot11b_Capture", "radio");
  const RadioSettings settings = radioSettings(r, "Dot11b_Capture");
  const std::optional<double> duration = r.number("duration");
  r.expectAllRead();
  if (!settings.rate) throw std::invalid_argument("Dot11b_Capture: radio.rate [Hz] is required");
  if (!duration || !(*duration >= sdr::kShortestFrame))
    throw std::invalid_argument("Dot11b_Capture: radio.duration [s] of at least the shortest frame (" +
                                shortestText(sdr::kShortestFrame * 1e6) + " us) is required");
  if (*settings.rate < sdr::kChipRate)
    throw std::invalid_argument("Dot11b_Capture: radio.rate must be one sample a chip (11e6 Hz) or more");

  sdr::Radio radio(settings.device);
  const double rate = sdr::setUpReceive(radio, *settings.rate, settings.tune);
  const auto samples = static_cast<std::uint64_t>(std::llround(*duration * rate));
  const std::atomic<bool> never{false};
  sdr::RadioSource source(radio, samples, never);
  ComplexRow received(static_cast<std::size_t>(samples));
  std::size_t got = 0;
  while (got < received.size()) {
    const std::size_t n = source.read(received.data() + got, received.size() - got);
    if (n == 0) break;
    got += n;
  }
  if (!source.failure().empty())
    throw sdr::RadioError(source.failure() + "; " + std::to_string(got) + " samples came before");
  received.resize(got);
  Values out{fromComplex(received)};
  if (nargout > 1) out.push_back(Value::scalar(static_cast<double>(source.overflows())));
  if (nargout > 2) {
    std::vector<double> starts = {0};
    for (const std::uint64_t start : source.segmentStarts()) starts.push_back(static_cast<double>(start));
    const std::size_t segments = starts.size();
    out.push_back(Value::matrix(1, segments, std::move(starts)));
  }
  return out;
}

void registerRadioRoutines(Registry& reg) {
  reg.add({"Dot11b_Devices", "dot11b_Devices", 1, 1, 1, devices});
  reg.add({"Dot11b_Transmit", "dot11b_Transmit", 1, 3, 1, transmit});
  reg.add({"Dot11b_Capture", "dot11b_Capture", 1, 1, 3, capture});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerRadioRoutines)

}  // namespace dot11b::rt
