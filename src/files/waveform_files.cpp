// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/waveform_files.h"

#include "files/safe_save.h"
#include "runtime/matfile/matfile.h"

namespace dot11b::files {

using rt::Value;

namespace {

// N x 2: the I samples, then the Q samples (column-major).
Value iqColumns(const Samples& waveform) {
  const std::size_t n = waveform.size();
  std::vector<double> data(2 * n);
  for (std::size_t k = 0; k < n; ++k) {
    data[k] = waveform[k].real();
    data[n + k] = waveform[k].imag();
  }
  return Value::matrix(n, n == 0 ? 0 : 2, std::move(data));
}

Value complexColumn(const Samples& waveform) {
  const std::size_t n = waveform.size();
  std::vector<double> re(n), im(n);
  for (std::size_t k = 0; k < n; ++k) {
    re[k] = waveform[k].real();
    im[k] = waveform[k].imag();
  }
  return Value::matrix(n, n == 0 ? 0 : 1, std::move(re), std::move(im));
}

void save(const std::string& filename, const rt::MatVariables& variables) {
  saveReplacing(filename, [&](const std::string& temporary) { rt::writeMatFile(temporary, variables); });
}

}  // namespace

void saveWaveData(const std::string& filename, const Samples& waveform, double sampleRate,
                  const rt::MatVariables& more) {
  rt::MatVariables variables{{"samplePoints", Value::scalar(static_cast<double>(waveform.size()))},
                             {"sampleRate", Value::scalar(sampleRate)},
                             {"wave", iqColumns(waveform)}};
  variables.insert(variables.end(), more.begin(), more.end());
  save(filename, variables);
}

void saveIqColumns(const std::string& filename, const Samples& waveform) {
  save(filename, {{"samples", iqColumns(waveform)}});
}

void saveComplexColumn(const std::string& filename, const Samples& waveform) {
  save(filename, {{"samples", complexColumn(waveform)}});
}

}  // namespace dot11b::files
