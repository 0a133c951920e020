// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/mask_inputs.h"

#include <cmath>

namespace dot11b::testbench {

rt::Values maskPlotInputs(const rx::MaskResult& mask) {
  std::vector<double> frequency, dbr, limit;
  for (const rx::MaskPoint& p : mask.points) {
    frequency.push_back(p.frequency);
    dbr.push_back(p.dbr);
    limit.push_back(p.limit.value_or(NAN));
  }
  std::vector<double> regions;
  for (const rx::MaskRegion* r : {&mask.inner, &mask.outer}) regions.insert(regions.end(), {r->limitDbr, r->measured ? r->margin : NAN});
  return {rt::Value::row(std::move(frequency)), rt::Value::row(std::move(dbr)), rt::Value::row(std::move(limit)),
          rt::Value::matrix(2, 2, std::move(regions))};
}

}  // namespace dot11b::testbench
