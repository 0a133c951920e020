// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/radio_details.h"

#include <SoapySDR/Device.hpp>

#include "sdr/radio_error.h"

namespace dot11b::sdr {

namespace {

Range fromSoapy(const SoapySDR::Range& r) { return {r.minimum(), r.maximum(), r.step()}; }

std::vector<Range> fromSoapy(const SoapySDR::RangeList& ranges) {
  std::vector<Range> out;
  for (const SoapySDR::Range& r : ranges) out.push_back(fromSoapy(r));
  return out;
}

ChannelDetails describeChannel(Radio& radio, Direction direction, std::size_t channel) {
  const SoapySDR::Device& device = radio.device();
  const int dir = soapyDirection(direction);
  ChannelDetails c;
  c.direction = direction;
  c.index = channel;
  c.fullDuplex = device.getFullDuplex(dir, channel);
  c.antennas = device.listAntennas(dir, channel);
  c.rates = fromSoapy(device.getSampleRateRange(dir, channel));
  c.frequencies = fromSoapy(device.getFrequencyRange(dir, channel));
  c.gains.push_back({"", fromSoapy(device.getGainRange(dir, channel))});
  for (const std::string& stage : device.listGains(dir, channel))
    c.gains.push_back({stage, fromSoapy(device.getGainRange(dir, channel, stage))});
  c.formats = device.getStreamFormats(dir, channel);
  c.nativeFormat = device.getNativeStreamFormat(dir, channel, c.fullScale);
  return c;
}

}  // namespace

RadioDetails describeRadio(Radio& radio) {
  try {
    const SoapySDR::Device& device = radio.device();
    RadioDetails details{device.getDriverKey(), device.getHardwareKey(), {}};
    for (const Direction direction : {Direction::Transmit, Direction::Receive}) {
      const std::size_t channels = device.getNumChannels(soapyDirection(direction));
      for (std::size_t k = 0; k < channels; ++k) details.channels.push_back(describeChannel(radio, direction, k));
    }
    return details;
  } catch (const std::exception& e) {
    throw RadioError(radio.name() + " did not describe itself: " + e.what());
  }
}

}  // namespace dot11b::sdr
