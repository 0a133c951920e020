// SPDX-License-Identifier: GPL-3.0-or-later
// System texts on widgets that take "&" as the marker of a keyboard mnemonic (buttons, labels with a buddy,
// form rows): escaped so that they show as written ("Calculate & Plot", not "Calculate _Plot"), and read
// back without the markers of the mnemonics that the layouts give.
#pragma once

#include <QString>

namespace dot11b::qt {

inline QString escapedMnemonics(QString text) { return text.replace('&', QStringLiteral("&&")); }

// "&Data length" reads "Data length", "A && B" reads "A & B".
inline QString withoutMnemonics(const QString& label) {
  QString text;
  text.reserve(label.size());
  for (qsizetype i = 0; i < label.size(); ++i) {
    if (label[i] == '&' && i + 1 < label.size()) ++i;
    text += label[i];
  }
  return text;
}

}  // namespace dot11b::qt
