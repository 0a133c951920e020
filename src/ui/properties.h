// Reading and setting the properties of windows, controls and menu items by name, as array values.
#pragma once

#include <QObject>
#include <string_view>

#include "runtime/value.h"

namespace dot11b::ui {

// The properties of the toolkit interface (Value, String, Enable, Visible, TooltipString, Tag, Position,
// Units, Pointer, Checked, Label, Callback, CloseRequestFcn, Name, Parent, Children); for the screen
// (nullptr) Units and ScreenSize. Errors name the object and the property.
rt::Value getProperty(QObject* object, std::string_view property);
void setProperty(QObject* object, std::string_view property, const rt::Value& value);

// The text of a string property of an object ("" when it has none).
std::string textProperty(const QObject* object, const char* name);

}  // namespace dot11b::ui
