#include "files/capture_files.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "files/sigmf_file.h"
#include "runtime/matfile/matfile.h"

namespace dot11b::files {

namespace {

enum class SampleType { Cf64, Cf32, Ci16Le, Iq16Be };

bool endsWith(const std::string& text, const char* end) {
  const std::size_t n = std::strlen(end);
  return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
  throw CaptureError("cannot read '" + path + "': " + why);
}

std::string wholeFile(const std::string& path, std::uint64_t maxBytes) {
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

template <typename T>
T loadLittleEndian(const char* at) {
  using Word = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>;
  Word word = 0;
  for (std::size_t k = 0; k < sizeof(T); ++k) word |= static_cast<Word>(static_cast<unsigned char>(at[k])) << (8 * k);
  return std::bit_cast<T>(word);
}

Samples decode(const std::string& path, const std::string& bytes, SampleType type) {
  const std::size_t width = type == SampleType::Cf64 ? 16 : type == SampleType::Cf32 ? 8 : 4;
  if (bytes.size() % width != 0) {
    refuse(path, std::to_string(bytes.size()) + " bytes are not a whole number of " + std::to_string(width) +
                     "-byte samples (a truncated file?)");
  }
  Samples samples(bytes.size() / width);
  for (std::size_t n = 0; n < samples.size(); ++n) {
    const char* at = bytes.data() + n * width;
    double i = 0, q = 0;
    switch (type) {
      case SampleType::Cf64: i = loadLittleEndian<double>(at); q = loadLittleEndian<double>(at + 8); break;
      case SampleType::Cf32: i = loadLittleEndian<float>(at); q = loadLittleEndian<float>(at + 4); break;
      case SampleType::Ci16Le:
        i = static_cast<std::int16_t>(static_cast<unsigned char>(at[0]) | static_cast<unsigned char>(at[1]) << 8);
        q = static_cast<std::int16_t>(static_cast<unsigned char>(at[2]) | static_cast<unsigned char>(at[3]) << 8);
        break;
      case SampleType::Iq16Be:
        i = static_cast<std::int16_t>(static_cast<unsigned char>(at[0]) << 8 | static_cast<unsigned char>(at[1]));
        q = static_cast<std::int16_t>(static_cast<unsigned char>(at[2]) << 8 | static_cast<unsigned char>(at[3]));
        break;
    }
    if (!std::isfinite(i) || !std::isfinite(q)) refuse(path, "sample " + std::to_string(n + 1) + " is not finite");
    samples[n] = {i, q};
  }
  return samples;
}

Capture readSigmf(const std::string& name, std::uint64_t maxBytes) {
  const std::string base = sigmfBaseName(name), metaPath = base + ".sigmf-meta";
  nlohmann::json meta;
  try {
    meta = nlohmann::json::parse(wholeFile(metaPath, 1 << 20));
  } catch (const nlohmann::json::exception& e) {
    refuse(metaPath, std::string("not JSON: ") + e.what());
  }
  if (!meta.is_object() || !meta.contains("global") || !meta["global"].is_object()) {
    refuse(metaPath, "it has no \"global\" object");
  }
  const nlohmann::json& global = meta["global"];
  const auto datatype = global.find("core:datatype");
  if (datatype == global.end() || !datatype->is_string()) refuse(metaPath, "\"core:datatype\" is not a text");
  SampleType type;
  const std::string kind = datatype->get<std::string>();
  if (kind == "cf64_le") {
    type = SampleType::Cf64;
  } else if (kind == "cf32_le") {
    type = SampleType::Cf32;
  } else if (kind == "ci16_le") {
    type = SampleType::Ci16Le;
  } else {
    refuse(metaPath, "samples of type \"" + kind + "\" are not read (cf64_le, cf32_le and ci16_le are)");
  }
  Capture capture;
  if (const auto rate = global.find("core:sample_rate"); rate != global.end()) {
    if (!rate->is_number() || !(rate->get<double>() > 0) || !std::isfinite(rate->get<double>())) {
      refuse(metaPath, "\"core:sample_rate\" is not a positive number");
    }
    capture.sampleRate = rate->get<double>();
  }
  if (const auto captures = meta.find("captures"); captures != meta.end() && captures->is_array() && !captures->empty()) {
    const nlohmann::json& first = captures->front();
    if (first.is_object()) {
      if (const auto frequency = first.find("core:frequency"); frequency != first.end() && frequency->is_number()) {
        const double hz = frequency->get<double>();
        if (hz > 0 && std::isfinite(hz)) capture.carrier = hz;
      }
    }
  }
  capture.samples = decode(base + ".sigmf-data", wholeFile(base + ".sigmf-data", maxBytes), type);
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
      const double rate = value.re(0);
      if (!(rate > 0) || !std::isfinite(rate)) refuse(path, "sampleRate is not a positive number");
      capture.sampleRate = rate;
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

Capture readCapture(const std::string& path, std::uint64_t maxBytes) {
  if (endsWith(path, ".sigmf-meta") || endsWith(path, ".sigmf-data") || endsWith(path, ".sigmf")) {
    return readSigmf(path, maxBytes);
  }
  if (endsWith(path, ".mat")) return readMat(path, maxBytes);
  for (const auto& [extension, type] : {std::pair{".cf64", SampleType::Cf64}, std::pair{".cf32", SampleType::Cf32},
                                        std::pair{".iq16", SampleType::Iq16Be}}) {
    if (endsWith(path, extension)) return {decode(path, wholeFile(path, maxBytes), type), std::nullopt, std::nullopt};
  }
  throw CaptureError("cannot tell the format of '" + path +
                     "' from its extension (.cf64, .cf32, .iq16, .sigmf-meta, .sigmf-data or .mat)");
}

}  // namespace dot11b::files
