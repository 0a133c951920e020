// SPDX-License-Identifier: GPL-3.0-or-later
// Every view's data as a CSV table: a header row naming each column with its unit, then every point
// in full, whatever the drawing shows of it.
#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "plots/ccdf.h"
#include "plots/eye_scatter.h"
#include "plots/iq_time.h"
#include "plots/mask_plot.h"
#include "plots/per_curves.h"
#include "plots/spectrum.h"
#include "plots/waterfall.h"

namespace dot11b::plots {

// Fills the cells of one row; a cell left NaN is written empty.
using CsvRow = std::function<void(std::size_t row, std::span<double> cells)>;
// Numbers are written in their shortest form that reads back to the same double.
void writeCsv(std::ostream& out, const std::vector<std::string>& header, std::size_t rows, const CsvRow& row);

void writeCsv(std::ostream& out, const Ccdf& c);
void writeCsv(std::ostream& out, const Spectrum& s);
void writeCsv(std::ostream& out, const IqTime& v);
// One row per point of every trace: trace number (from 1), time, I and Q.
void writeCsv(std::ostream& out, const Eye& e);
// Every sample, with 1 in the column "Symbol" for the points the scatter diagram marks.
void writeScatterCsv(std::ostream& out, const Samples& iq, const ClampedScatter& s);
void writeCsv(std::ostream& out, const MaskPlot& m);
// One row per SNR, one PER column per rate (empty where no frame was lost).
void writeCsv(std::ostream& out, const PerCurves& c);
// One row per slice and bin: slice start, frequency and magnitude.
void writeCsv(std::ostream& out, const Waterfall& w);

// Writes the table to a file by `write`; throws std::runtime_error naming the file when it fails.
void writeCsvFile(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace dot11b::plots
