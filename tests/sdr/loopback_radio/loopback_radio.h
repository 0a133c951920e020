// SPDX-License-Identifier: GPL-3.0-or-later
// The loopback radio: a SoapySDR module of the tests, as the simulator is for the signal generator. It
// stores what it is sent and plays back a file, at a real radio's pace and within its limits, and fails on
// request. Everything is set through its device arguments (README.md tells them with their defaults):
//   radio_serial=S      its serial (LB0001); serial=S finds it only when they agree
//   radios=N            it is found N times (1), labelled "dot11b loopback radio 1" to N, serial S-1 to S-N
//   noise=1             finding it writes to stderr and to SoapySDR's log, as some real modules do
//   format=CS8|CS16|CF32  its stream format (CS16), full_scale=X its full scale (128, 2048 or 1)
//   min_rate=HZ max_rate=HZ  its sample rates (2 to 20 Msample/s)
//   store=PATH          what it transmits goes to PATH as cf32_le over full scale; PATH.txt gets the
//                       settings, the bursts (and those the host left without an end) and "released"
//                       once the radio is let go
//   play=PATH           it receives the cf32_le file PATH (over full scale), then silence; without it,
//                       what the store holds, if anything
//   pace=0              streams as fast as the host goes (for benchmarks) instead of at the sample rate
//   fault=underflow|underflow-status|vanish|stall|overflow  after fault_after=N samples (100000):
//                       one underflow (from the write, or from the stream status), every stream call an
//                       error, every call a time-out, or one overflow that loses 1000 samples
//   refuse=rate|frequency|gain|antenna  that setting throws the radio's own message
#pragma once

#include <SoapySDR/Device.hpp>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace loopback {

struct Settings {
  std::string serial = "LB0001";
  std::string format = "CS16";
  double fullScale = 2048;
  double minRate = 2e6, maxRate = 20e6;
  std::string store, play;
  bool pace = true;
  double holdSeconds = 0;  // a paced receive stream's buffer [s], which overflows when not read in time; 0: endless
  std::string fault;
  std::uint64_t faultAfter = 100000;
  std::string refuse;
  std::size_t mtu = 65536;
  int radios = 1;
  bool noise = false;
};

Settings settingsFrom(const SoapySDR::Kwargs& args);

struct Stream {
  int direction = SOAPY_SDR_TX;
  bool burstOpen = false;
  std::chrono::steady_clock::time_point start;  // of the burst (transmit) or of the activation (receive)
  std::uint64_t paced = 0;                      // samples moved since `start`
};

class Radio : public SoapySDR::Device {
 public:
  explicit Radio(Settings settings);
  ~Radio() override;

  std::string getDriverKey() const override { return "loopback"; }
  std::string getHardwareKey() const override { return "dot11b loopback radio"; }
  std::size_t getNumChannels(int) const override { return 1; }
  bool getFullDuplex(int, std::size_t) const override { return true; }

  std::vector<std::string> listAntennas(int direction, std::size_t) const override;
  void setAntenna(int direction, std::size_t, const std::string& name) override;
  std::string getAntenna(int direction, std::size_t) const override { return antenna_[direction]; }

  std::vector<std::string> listGains(int, std::size_t) const override { return {"AMP", "VGA"}; }
  void setGain(int direction, std::size_t channel, double value) override;
  void setGain(int direction, std::size_t, const std::string& name, double value) override;
  double getGain(int direction, std::size_t, const std::string& name) const override;
  SoapySDR::Range getGainRange(int, std::size_t, const std::string& name) const override;

  void setFrequency(int direction, std::size_t, double frequency, const SoapySDR::Kwargs&) override;
  double getFrequency(int direction, std::size_t) const override { return frequency_[direction]; }
  SoapySDR::RangeList getFrequencyRange(int, std::size_t) const override { return {SoapySDR::Range(1e6, 6e9)}; }

  void setSampleRate(int direction, std::size_t, double rate) override;
  double getSampleRate(int direction, std::size_t) const override { return rate_[direction]; }
  SoapySDR::RangeList getSampleRateRange(int, std::size_t) const override;

  std::vector<std::string> getStreamFormats(int, std::size_t) const override { return {settings_.format}; }
  std::string getNativeStreamFormat(int, std::size_t, double& fullScale) const override;
  SoapySDR::Stream* setupStream(int direction, const std::string& format, const std::vector<std::size_t>& channels,
                                const SoapySDR::Kwargs& args) override;
  void closeStream(SoapySDR::Stream* stream) override;
  std::size_t getStreamMTU(SoapySDR::Stream*) const override { return settings_.mtu; }
  int activateStream(SoapySDR::Stream* stream, int flags, long long timeNs, std::size_t numElems) override;
  int deactivateStream(SoapySDR::Stream* stream, int flags, long long timeNs) override;
  int writeStream(SoapySDR::Stream* stream, const void* const* buffs, std::size_t numElems, int& flags,
                  long long timeNs, long timeoutUs) override;
  int readStream(SoapySDR::Stream* stream, void* const* buffs, std::size_t numElems, int& flags, long long& timeNs,
                 long timeoutUs) override;
  int readStreamStatus(SoapySDR::Stream* stream, std::size_t& chanMask, int& flags, long long& timeNs,
                       long timeoutUs) override;

 private:
  void refuseIf(const std::string& setting, const std::string& value) const;
  // The samples `stream` may move now at the sample rate, waiting up to timeoutUs for one; 0 when none.
  std::size_t paced(Stream& stream, std::size_t wanted, long timeoutUs, double lead) const;
  std::uint64_t beyondHold(const Stream& stream) const;
  // The fault that strikes once the radio has moved `moved` samples, if it is `name`.
  bool faultDue(const char* name) const { return settings_.fault == name && moved_ >= settings_.faultAfter; }
  int lostFault(long timeoutUs) const;
  void writeSettings() const;

  Settings settings_;
  std::string antenna_[2] = {"TX", "RX"};
  double gain_[2][2] = {{0, 0}, {0, 0}};  // [direction][AMP, VGA]
  double frequency_[2] = {2.412e9, 2.412e9};
  double rate_[2] = {10e6, 10e6};
  std::ofstream store_;
  std::ifstream play_;
  std::vector<float> converted_;
  std::vector<std::uint64_t> bursts_;  // the sample at which each transmitted burst ended
  std::size_t unendedBursts_ = 0;      // bursts the stream's deactivation ended, not an end-of-burst flag
  std::uint64_t stored_ = 0;
  std::uint64_t moved_ = 0;  // samples moved by either stream
  bool underflowGiven_ = false, overflowGiven_ = false;
};

}  // namespace loopback
