// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/csv_export.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace dot11b::plots {

void writeCsv(std::ostream& out, const std::vector<std::string>& header, std::size_t rows, const CsvRow& row) {
  for (std::size_t c = 0; c < header.size(); ++c) out << (c ? "," : "") << '"' << header[c] << '"';
  out << '\n';
  std::vector<double> cells(header.size());
  std::string line;
  char number[32];
  for (std::size_t r = 0; r < rows; ++r) {
    std::fill(cells.begin(), cells.end(), NAN);
    row(r, cells);
    line.clear();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (c) line += ',';
      if (std::isnan(cells[c])) continue;
      const auto end = std::to_chars(number, number + sizeof number, cells[c]).ptr;
      line.append(number, end);
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

void writeCsv(std::ostream& out, const Ccdf& c) {
  writeCsv(out, {"dB above Average", "Frequency of occurence (%)", "Gaussian noise (%)"}, c.thresholdsDb.size(),
           [&c](std::size_t r, std::span<double> cells) {
             cells[0] = c.thresholdsDb[r];
             cells[1] = c.measuredPercent[r];
             cells[2] = c.referencePercent[r];
           });
}

void writeCsv(std::ostream& out, const Spectrum& s) {
  writeCsv(out, {"Frequency (" + s.unit.name + ")", "LogMag (dB)"}, s.frequency.size(),
           [&s](std::size_t r, std::span<double> cells) {
             cells[0] = s.frequency[r];
             cells[1] = s.magnitudeDb[r];
           });
}

void writeCsv(std::ostream& out, const MaskPlot& m) {
  writeCsv(out, {"Frequency off the carrier (MHz)", "Level (dBr)", "Limit (dBr)"}, m.frequencyMhz.size(),
           [&m](std::size_t r, std::span<double> cells) {
             cells[0] = m.frequencyMhz[r];
             cells[1] = m.measuredDbr[r];
             cells[2] = m.limitDbr[r];
           });
}

void writeCsv(std::ostream& out, const PerCurves& c) {
  std::vector<std::string> header{"SNR (dB)"};
  for (const PerCurve& curve : c.curves) header.push_back("PER " + curve.name);
  writeCsv(out, header, c.snrDb.size(), [&c](std::size_t r, std::span<double> cells) {
    cells[0] = c.snrDb[r];
    for (std::size_t k = 0; k < c.curves.size(); ++k) cells[k + 1] = c.curves[k].per[r];
  });
}

void writeCsv(std::ostream& out, const IqTime& v) {
  writeCsv(out, {"Time (" + v.unit.name + ")", "I (V)", "Q (V)"}, v.time.size(),
           [&v](std::size_t r, std::span<double> cells) {
             cells[0] = v.time[r];
             cells[1] = v.i[r];
             cells[2] = v.q[r];
           });
}

void writeCsv(std::ostream& out, const Eye& e) {
  const std::size_t perTrace = e.n + 1;
  std::size_t rows = 0;
  for (std::size_t t = 0; t < e.traces; ++t) rows += e.has(t, e.n) ? perTrace : e.n;
  std::size_t trace = 0, point = 0;
  writeCsv(out, {"Trace", "Time (" + e.unit.name + ")", "I (V)", "Q (V)"}, rows,
           [&](std::size_t, std::span<double> cells) {
             if (point == perTrace || !e.has(trace, point)) {
               ++trace;
               point = 0;
             }
             cells[0] = static_cast<double>(trace + 1);
             cells[1] = e.time[point];
             cells[2] = e.at(trace, point).real();
             cells[3] = e.at(trace, point).imag();
             ++point;
           });
}

void writeScatterCsv(std::ostream& out, const Samples& iq, const ClampedScatter& s) {
  writeCsv(out, {"Sample", "I (V)", "Q (V)", "Symbol"}, iq.size(), [&](std::size_t r, std::span<double> cells) {
    cells[0] = static_cast<double>(r + 1);
    cells[1] = iq[r].real();
    cells[2] = iq[r].imag();
    cells[3] = r >= s.offset && (r - s.offset) % s.n == 0 ? 1 : 0;
  });
}

void writeCsv(std::ostream& out, const Waterfall& w) {
  writeCsv(out, {"Time (" + w.timeUnit.name + ")", "Frequency (" + w.frequencyUnit.name + ")", "Magnitude (dB)"},
           w.slices * w.bins, [&w](std::size_t r, std::span<double> cells) {
             cells[0] = w.sliceStart[r / w.bins];
             cells[1] = w.frequency[r % w.bins];
             cells[2] = w.db[r];
           });
}

void writeCsvFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  write(file);
  file.flush();
  if (!file) throw std::runtime_error("writing " + path + " failed: " + std::strerror(errno));
}

}  // namespace dot11b::plots
