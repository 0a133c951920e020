// SPDX-License-Identifier: GPL-3.0-or-later
// Typed access to the controls of one window by tag, so that the window modules read like their
// descriptions: panel["txtRampTime"].setText("2"), panel["pdDataRate"].value().
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/shared_api.h"
#include "runtime/value.h"
#include "toolkit/toolkit.h"

namespace dot11b::toolkit {

class DOT11B_SHARED Control {
 public:
  explicit Control(Handle h) : handle_(h) {}
  Handle handle() const { return handle_; }

  double value() const;
  void setValue(double v) const;
  // Text of an edit field, label or button.
  std::string text() const;
  void setText(std::string_view text) const;
  // Entries of a pop-up list.
  std::vector<std::string> items() const;
  void setItems(const std::vector<std::string>& items) const;
  bool enabled() const;
  void setEnabled(bool on) const;
  bool visible() const;
  void setVisible(bool on) const;
  bool checked() const;
  void setChecked(bool on) const;
  void setToolTip(std::string_view text) const;
  std::string tag() const;

 private:
  Handle handle_;
};

// The controls of a window through its control record (fields named after the tags).
class Window {
 public:
  explicit Window(const rt::Value& handles) : handles_(handles) {}
  // Throws an error naming the tag when the record has no such control.
  Control operator[](std::string_view tag) const;
  bool has(std::string_view tag) const;
  const rt::Value& handles() const { return handles_; }

 private:
  const rt::Value& handles_;
};

// The handle a control record holds under `tag`; throws naming the tag when there is none.
DOT11B_SHARED Handle handleIn(const rt::Value& handles, std::string_view tag);

// Shows the busy ("watch") pointer on a window while it lives and restores the pointer the window had,
// on every path out of the scope (errors included).
class BusyPointer {
 public:
  explicit BusyPointer(Handle window);
  ~BusyPointer();
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Handle window_;
  rt::Value previous_;
};

DOT11B_SHARED rt::Value onOff(bool on);
bool isOn(const rt::Value& v);
// A cell list of texts, as a pop-up list's String property holds them.
rt::Value textList(const std::vector<std::string>& texts);

}  // namespace dot11b::toolkit
