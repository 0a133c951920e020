// SPDX-License-Identifier: GPL-3.0-or-later
// Running the callback text of a control, menu item or window by name, and connecting the widgets'
// signals to it.
#pragma once

#include <QObject>
#include <QWidget>

namespace dot11b::qt {

// Runs the text of the object's property `property` ("Callback" or "CloseRequestFcn") through the
// module it names, with the object's handle, empty event data and its window's control record. Errors
// are printed on the console; nothing is thrown.
void runCallback(QObject* source, const char* property = "Callback");

// Connects the user's action on a control (a choice in a list, a click, the end of an edit) to its
// callback.
void connectCallback(QWidget* control);

// Emits the signal of the user's action on the control with its current state, as if the user had acted.
void actOn(QObject* control);

// The window that holds an object (menus and their items included); nullptr when there is none.
QWidget* owningWindow(QObject* object);

}  // namespace dot11b::qt
