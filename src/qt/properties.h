// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and setting the properties of windows, controls and menu items by name, as array values.
#pragma once

#include <QObject>
#include <string_view>

#include "runtime/value.h"

namespace dot11b::qt {

// The properties of the toolkit interface (Value, String, Enable, Visible, TooltipString, Tag, Position,
// Units, Pointer, Checked, Label, Callback, CloseRequestFcn, Name, Parent, Children); for the screen
// (nullptr) Units and ScreenSize. Errors name the object and the property.
rt::Value getProperty(QObject* object, std::string_view property);
void setProperty(QObject* object, std::string_view property, const rt::Value& value);

// Properties of objects this layer does not know itself (the plot views' axes). An extension answers for
// the objects it knows and returns false for any other.
class PropertyExtension {
 public:
  virtual ~PropertyExtension() = default;
  virtual bool get(QObject* object, std::string_view property, rt::Value& out) const = 0;
  virtual bool set(QObject* object, std::string_view property, const rt::Value& value) const = 0;
};
// Adds an extension (not owned; it lives as long as the program).
void addPropertyExtension(const PropertyExtension* extension);

// The text of a string property of an object ("" when it has none).
std::string textProperty(const QObject* object, const char* name);

}  // namespace dot11b::qt
