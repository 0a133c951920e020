// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/figures.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace dot11b::toolkit {

using rt::Value;

namespace {

using Rect = std::array<double, 4>;  // x y width height, y from the bottom

Rect rectOf(Handle h) {
  const Value pos = current().get(h, "Position");
  if (pos.numel() != 4) throw std::runtime_error("a window's Position must have four numbers");
  return {pos.re(0), pos.re(1), pos.re(2), pos.re(3)};
}

// Positions are compared in pixels: the window's units are set back afterwards.
class InPixels {
 public:
  explicit InPixels(Handle h) : h_(h), units_(current().get(h, "Units")) {
    current().set(h, "Units", Value::text("pixels"));
  }
  ~InPixels() {
    try {
      current().set(h_, "Units", units_);
    } catch (...) {
      // Units are restored where the handle still exists.
    }
  }
  InPixels(const InPixels&) = delete;
  InPixels& operator=(const InPixels&) = delete;

 private:
  Handle h_;
  Value units_;
};

void place(Handle window, Rect r) {
  current().set(window, "Position", Value::row({r[0], r[1], r[2], r[3]}));
}

Rect screenRect() {
  const Value size = current().get(kScreen, "ScreenSize");
  return {0, 0, size.re(2), size.re(3)};
}

Rect keptOnScreen(Rect r) {
  const Rect screen = screenRect();
  r[0] = std::clamp(r[0], 0.0, std::max(0.0, screen[2] - r[2]));
  r[1] = std::clamp(r[1], 0.0, std::max(0.0, screen[3] - r[3]));
  return r;
}

}  // namespace

Handle loadFigure(std::string_view layout, Handle parent) {
  const Handle window = current().openFigure(layout);
  current().setAppData(window, current().controlRecord(window));
  positionChildWindow(window, parent);
  return window;
}

void positionChildWindow(Handle child, Handle parent) {
  const InPixels childPixels(child);
  Rect r = rectOf(child);
  Rect around = screenRect();
  if (parent != kScreen && current().isValid(parent)) {
    const InPixels parentPixels(parent);
    around = rectOf(parent);
  }
  r[0] = around[0] + around[2] / 2 - r[2] / 2;
  r[1] = around[1] + around[3] / 2 - r[3] / 2;
  place(child, keptOnScreen(r));
}

void moveWindow(Handle window, std::string_view where) {
  const InPixels pixels(window);
  const Rect screen = screenRect();
  Rect r = rectOf(window);
  const std::string w(where);
  if (w == "onscreen") {
    place(window, keptOnScreen(r));
    return;
  }
  const bool north = w.find("north") != std::string::npos, south = w.find("south") != std::string::npos;
  const bool east = w.find("east") != std::string::npos, west = w.find("west") != std::string::npos;
  if (w != "center" && !north && !south && !east && !west) {
    throw std::invalid_argument("Movegui: unknown position '" + w + "'");
  }
  r[0] = west ? 0 : east ? screen[2] - r[2] : (screen[2] - r[2]) / 2;
  r[1] = south ? 0 : north ? screen[3] - r[3] : (screen[3] - r[3]) / 2;
  place(window, keptOnScreen(r));
}

}  // namespace dot11b::toolkit
