// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/capture_files.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "files/replacement_set.h"
#include "files/sigmf_file.h"
#include "files/utc_time.h"
#include "runtime/matfile/matfile.h"
#include "runtime/value_range.h"
#include "rx/stream/front_end.h"
#include "rx/stream/lanes.h"

namespace dot11b::files {

namespace {

bool endsWith(const std::string& text, const char* end) {
  const std::size_t n = std::strlen(end);
  return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
  throw CaptureError("cannot read '" + path + "': " + why);
}

// A folder or a device opens as a stream too, with a size that means nothing.
void requireRegularFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error) refuse(path, error.message());
  if (std::filesystem::is_directory(status)) refuse(path, "it is a folder");
  if (!std::filesystem::is_regular_file(status)) refuse(path, "it is not a regular file");
}

// A sample rate of a file's field, within the receiver's range.
double receivableRate(const std::string& path, const std::string& field, double rate) {
  try {
    rx::requireReceivableRate(field, rate);
  } catch (const rt::OutOfRange& e) {
    refuse(path, e.what());
  }
  return rate;
}

std::string wholeFile(const std::string& path, std::uint64_t maxBytes) {
  requireRegularFile(path);
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) refuse(path, std::strerror(errno));
  const std::streamoff size = in.tellg();
  if (size < 0) refuse(path, "its size cannot be told");
  if (static_cast<std::uint64_t>(size) > maxBytes)
    refuse(path, "it is larger than " + std::to_string(maxBytes) + " bytes");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (size > 0 && !in.read(bytes.data(), size)) refuse(path, "reading it failed");
  return bytes;
}

// The samples of a headerless file of one sample type, read as they are asked for.
class RawSampleFile : public rx::SampleSource {
 public:
  RawSampleFile(const std::string& path, SampleFormat format) : path_(path), format_(format) {
    requireRegularFile(path);
    in_.open(path, std::ios::binary | std::ios::ate);
    if (!in_) refuse(path, std::strerror(errno));
    const std::streamoff size = in_.tellg();
    if (size < 0) refuse(path, "its size cannot be told");
    const std::size_t width = phy::sampleBytes(format);
    if (static_cast<std::uint64_t>(size) % width != 0) {
      refuse(path, std::to_string(size) + " bytes are not a whole number of " + std::to_string(width) +
                       "-byte samples (a truncated file?)");
    }
    in_.seekg(0);
  }

  std::size_t read(Complex* out, std::size_t max) override { return take(out, max); }
  // Straight from the file's format into the receiver's.
  std::size_t readSamples(rx::Sample* out, std::size_t max) override { return take(out, max); }

 private:
  template <typename S>
  std::size_t take(S* out, std::size_t max) {
    const std::size_t width = phy::sampleBytes(format_);
    bytes_.resize(max * width);
    in_.read(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
    const auto got = static_cast<std::size_t>(in_.gcount()) / width;
    if (got == 0 && !in_.eof()) refuse(path_, "reading it failed");
    phy::decodeSamples(bytes_.data(), format_, got, 1, out);
    if (!rx::allFinite(out, got)) {
      for (std::size_t n = 0; n < got; ++n) {
        if (!std::isfinite(out[n].real()) || !std::isfinite(out[n].imag()))
          refuse(path_, "sample " + std::to_string(delivered_ + n + 1) + " is not finite");
      }
    }
    delivered_ += got;
    return got;
  }

  std::string path_;
  SampleFormat format_;
  std::ifstream in_;
  std::string bytes_;
  std::uint64_t delivered_ = 0;
};

// Samples already in memory, owned.
class HeldSamples : public rx::SampleSource {
 public:
  explicit HeldSamples(Samples samples) : samples_(std::move(samples)), row_(samples_) {}
  std::size_t read(Complex* out, std::size_t max) override { return row_.read(out, max); }
  std::size_t readSamples(rx::Sample* out, std::size_t max) override { return row_.readSamples(out, max); }

 private:
  Samples samples_;
  rx::RowSource row_;
};

std::uint64_t fileSize(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) refuse(path, error.message());
  return size;
}

// Every sample of the source.
Samples drain(rx::SampleSource& source) {
  Samples samples;
  Samples block(1 << 16);
  while (const std::size_t n = source.read(block.data(), block.size())) samples.insert(samples.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
  return samples;
}

// A SigMF recording's metadata: its sample type, rate and centre frequency, and the name of its data file.
struct SigmfRecording {
  SampleFormat format;
  std::string dataPath;
  std::optional<double> sampleRate, carrier;
  std::optional<std::uint64_t> startNs;
};

SigmfRecording readSigmfMeta(const std::string& name) {
  const std::string base = sigmfBaseName(name);
  // A commit of the pair cut short leaves the new pair staged; it is the recording until the next commit.
  const std::vector<std::string> pair = {base + ".sigmf-data", base + ".sigmf-meta"};
  const std::string metaPath = committedPath(pair, 1);
  nlohmann::json meta;
  try {
    meta = nlohmann::json::parse(wholeFile(metaPath, 1 << 20));
  } catch (const nlohmann::json::parse_error& e) {
    // The parser's own text names its internals; the byte where the text stops being JSON is what helps.
    refuse(metaPath, "it is not JSON (the text breaks off or goes wrong at byte " + std::to_string(e.byte) + ")");
  } catch (const nlohmann::json::exception&) {
    refuse(metaPath, "it is not JSON");
  }
  if (!meta.is_object() || !meta.contains("global") || !meta["global"].is_object()) {
    refuse(metaPath, "it has no \"global\" object");
  }
  const nlohmann::json& global = meta["global"];
  const auto datatype = global.find("core:datatype");
  if (datatype == global.end() || !datatype->is_string()) refuse(metaPath, "\"core:datatype\" is not a text");
  const std::string kind = datatype->get<std::string>();
  const std::optional<SampleFormat> format = sigmfFormat(kind);
  if (!format) refuse(metaPath, "samples of type \"" + kind + "\" are not read (cf64_le, cf32_le, ci16_le and ci8 are)");
  SigmfRecording capture{*format, committedPath(pair, 0), std::nullopt, std::nullopt, std::nullopt};
  if (const auto rate = global.find("core:sample_rate"); rate != global.end()) {
    if (!rate->is_number()) refuse(metaPath, "\"core:sample_rate\" is not a number");
    capture.sampleRate = receivableRate(metaPath, "core:sample_rate", rate->get<double>());
  }
  if (const auto captures = meta.find("captures"); captures != meta.end() && captures->is_array() && !captures->empty()) {
    const nlohmann::json& first = captures->front();
    if (first.is_object()) {
      if (const auto frequency = first.find("core:frequency"); frequency != first.end()) {
        if (!frequency->is_number()) refuse(metaPath, "\"core:frequency\" is not a number");
        try {
          rt::requirePositive("core:frequency", frequency->get<double>(), "Hz");
        } catch (const rt::OutOfRange& e) {
          refuse(metaPath, e.what());
        }
        capture.carrier = frequency->get<double>();
      }
      if (const auto datetime = first.find("core:datetime"); datetime != first.end() && datetime->is_string()) {
        capture.startNs = parseUtcTime(datetime->get<std::string>());
      }
    }
  }
  return capture;
}

// The waveform MAT-files: wave (N x 2, I and Q) with sampleRate, samples (N x 2), or samples (N x 1 complex).
Capture readMat(const std::string& path, std::uint64_t maxBytes) {
  rt::MatReadLimits limits;
  limits.maxFileBytes = maxBytes;
  limits.maxInflatedBytes = maxBytes;
  rt::MatVariables variables;
  try {
    variables = rt::readMatFile(path, limits);
  } catch (const rt::MatFileError& e) {
    refuse(path, e.what());
  }
  Capture capture;
  const rt::Value* samples = nullptr;
  for (const auto& [name, value] : variables) {
    if ((name == "wave" || name == "samples") && value.isNumeric()) samples = &value;
    if (name == "sampleRate" && value.isNumeric() && value.isScalar() && !value.isComplex()) {
      capture.sampleRate = receivableRate(path, "sampleRate", value.re(0));
    }
  }
  if (samples == nullptr) refuse(path, "it holds no wave or samples variable");
  const std::size_t rows = samples->rows();
  if (samples->isComplex() && samples->cols() == 1) {
    for (std::size_t n = 0; n < rows; ++n) capture.samples.emplace_back(samples->re(n), samples->im(n));
  } else if (!samples->isComplex() && samples->cols() == 2) {
    for (std::size_t n = 0; n < rows; ++n) capture.samples.emplace_back(samples->re(n), samples->re(rows + n));
  } else {
    refuse(path, "its samples are neither N x 2 real (I, Q) nor N x 1 complex");
  }
  for (std::size_t n = 0; n < capture.samples.size(); ++n) {
    if (!std::isfinite(capture.samples[n].real()) || !std::isfinite(capture.samples[n].imag())) {
      refuse(path, "sample " + std::to_string(n + 1) + " is not finite");
    }
  }
  return capture;
}

}  // namespace

namespace {

bool isSigmf(const std::string& path) {
  return endsWith(path, ".sigmf-meta") || endsWith(path, ".sigmf-data") || endsWith(path, ".sigmf");
}

std::optional<SampleFormat> rawType(const std::string& path) {
  for (const auto& [extension, format] :
       {std::pair{".cf64", SampleFormat::CF64}, std::pair{".cf32", SampleFormat::CF32},
        std::pair{".cs16", SampleFormat::CS16}, std::pair{".cs8", SampleFormat::CS8},
        std::pair{".iq16", SampleFormat::CS16BE}}) {
    if (endsWith(path, extension)) return format;
  }
  return std::nullopt;
}

// The integers read as they are: full scale is 2^15 or 2^7.
double fullScaleOf(SampleFormat format) {
  switch (format) {
    case SampleFormat::CS16:
    case SampleFormat::CS16BE: return 32768;
    case SampleFormat::CS8: return 128;
    default: return 1;
  }
}

[[noreturn]] void unknownFormat(const std::string& path) {
  throw CaptureError("cannot tell the format of '" + path +
                     "' from its extension (.cf64, .cf32, .cs16, .cs8, .iq16, .sigmf-meta, .sigmf-data or .mat)");
}

}  // namespace

OpenedCapture openCapture(const std::string& path) {
  if (isSigmf(path)) {
    const SigmfRecording recording = readSigmfMeta(path);
    return {std::make_unique<RawSampleFile>(recording.dataPath, recording.format), recording.sampleRate, recording.carrier,
            recording.startNs, fullScaleOf(recording.format)};
  }
  if (endsWith(path, ".mat")) {
    Capture capture = readMat(path, kMaxCaptureBytes);
    return {std::make_unique<HeldSamples>(std::move(capture.samples)), capture.sampleRate, std::nullopt, std::nullopt, 1};
  }
  if (const auto type = rawType(path)) {
    return {std::make_unique<RawSampleFile>(path, *type), std::nullopt, std::nullopt, std::nullopt, fullScaleOf(*type)};
  }
  unknownFormat(path);
}

Capture readCapture(const std::string& path, std::uint64_t maxBytes) {
  if (endsWith(path, ".mat")) return readMat(path, maxBytes);
  if (!isSigmf(path) && !rawType(path)) unknownFormat(path);
  OpenedCapture opened = openCapture(path);
  const std::string base = sigmfBaseName(path);
  const std::string data = isSigmf(path) ? committedPath({base + ".sigmf-data", base + ".sigmf-meta"}, 0) : path;
  if (fileSize(data) > maxBytes) refuse(data, "it is larger than " + std::to_string(maxBytes) + " bytes");
  return {drain(*opened.source), opened.sampleRate, opened.carrier};
}

}  // namespace dot11b::files
