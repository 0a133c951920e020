// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/clock_text.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <stdexcept>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"

namespace dot11b::settings {

namespace {

std::string twoDigits(double x) {
  std::string s = rt::numberToText(x);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

rt::Value clockNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto sinceSecond = now - std::chrono::system_clock::from_time_t(t);
  const double fraction = std::chrono::duration<double>(sinceSecond).count();
  return rt::Value::row({static_cast<double>(local.tm_year + 1900), static_cast<double>(local.tm_mon + 1),
                         static_cast<double>(local.tm_mday), static_cast<double>(local.tm_hour),
                         static_cast<double>(local.tm_min), local.tm_sec + fraction});
}

std::string clock2str(const rt::Value& clk) {
  static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  if (!clk.isNumeric() || clk.isComplex() || clk.numel() != 6) {
    throw std::invalid_argument("Clock2str: the date-time vector must be six numbers, not " + rt::describe(clk));
  }
  for (double x : clk.real())
    if (!std::isfinite(x)) throw std::invalid_argument("Clock2str: the date-time vector holds a non-finite number");
  const double month = clk.re(1);
  if (month < 1 || month > 12 || month != std::floor(month)) {
    throw std::invalid_argument("Clock2str: month " + rt::shortestText(month) + " is not 1 to 12");
  }
  return twoDigits(clk.re(2)) + months[static_cast<int>(month) - 1] + rt::numberToText(clk.re(0)) + " " +
         rt::numberToText(clk.re(3)) + ":" + twoDigits(clk.re(4)) + ":" + twoDigits(std::trunc(clk.re(5)));
}

}  // namespace dot11b::settings
