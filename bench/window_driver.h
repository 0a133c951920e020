// SPDX-License-Identifier: GPL-3.0-or-later
// Driving the application window offscreen through the exported C interface, for the benchmarks:
// controls by tag, set and acted on as the user does.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "dot11b/Dot11b_c_lib.h"

namespace bench {

inline double handleOf(const char* tag) {
  dot11b_array* t = dot11b_create_text(tag);
  dot11b_array* found = mlfFindobj(t);
  const double h = found != nullptr && dot11b_cols(found) > 0 ? dot11b_real(found)[0] : 0;
  dot11b_free(found);
  dot11b_free(t);
  return h;
}

// Sets a property of the control, then acts on it as the user does.
inline void setAndAct(const char* tag, const char* property, dot11b_array* value) {
  dot11b_array* h = dot11b_create_scalar(handleOf(tag));
  if (value != nullptr) {
    dot11b_array* name = dot11b_create_text(property);
    mlfSet(h, name, value);
    dot11b_free(name);
    dot11b_free(value);
  }
  mlfInvoke(h);
  dot11b_free(h);
}

inline void act(const char* tag) { setAndAct(tag, nullptr, nullptr); }
inline void type(const char* tag, const char* text) { setAndAct(tag, "String", dot11b_create_text(text)); }
inline void choose(const char* tag, double entry) { setAndAct(tag, "Value", dot11b_create_scalar(entry)); }

class Environment {
 public:
  Environment() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("DOT11B_SPLASH_MS", "0", 1);
    char folder[] = "/tmp/dot11b-bench-XXXXXX";
    if (mkdtemp(folder) != nullptr && chdir(folder) == 0) folder_ = folder;
    Dot11b_c_libInitialize();
  }
  ~Environment() { Dot11b_c_libTerminate(); }

 private:
  std::string folder_;
};

// Sets the panel to the largest frame: 2312 PN9 octets with MAC header and FCS at 1 Mbit/s, oversampling
// 9, root raised cosine over 999 symbols (the panel keeps the length a multiple of the oversampling),
// 1000 us ramps and idle.
inline void chooseLargestFrame() {
  choose("pdDataRate", 1);
  type("txtOversampleRate", "9");
  choose("pdFilterType", 3);
  type("txtFilterTaps", "1000");
  type("txtRampTime", "1000");
  type("txtIdleInterval", "1000");
  choose("pdDATAsourceType", 5);
  type("txtDataLength", "2312");
  choose("chkMACheader", 1);
  choose("chkMACfcs", 1);
}

}  // namespace bench
