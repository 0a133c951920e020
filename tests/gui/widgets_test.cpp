// SPDX-License-Identifier: GPL-3.0-or-later
// The widgets as a user and a screen reader meet them: the texts of question boxes, closing a question,
// tabbing through the fields, and the names the accessibility tree gives the controls.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <map>

#include "app_driver.h"
#include "widget_finder.h"

namespace dot11b::gui_test {
namespace {

std::string accessibleName(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a != nullptr ? a->text(QAccessible::Name).toStdString() : "";
}

class Widgets : public AppTest {
 protected:
  // Runs `command` while `answer` handles each dialog of type T (a question box, a file dialog) that the
  // real dialogs show.
  template <typename T>
  void withDialogs(const std::function<void(T&)>& answer, const std::function<void()>& command) {
    dot11b_set_dialog_hook(nullptr, nullptr);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) answer(*dialog);
    });
    poll.start(5);
    command();
  }
  void withQuestions(const std::function<void(QMessageBox&)>& answer, const std::function<void()>& command) {
    withDialogs<QMessageBox>(answer, command);
  }

  // The names of the buttons a question box shows, as the accessibility tree reads them.
  static std::vector<std::string> buttonNames(QMessageBox& box) {
    std::vector<std::string> names;
    for (QAbstractButton* b : box.buttons())
      if (b->isVisible()) names.push_back(accessibleName(b));
    return names;
  }

  // Tabs once round the window from its first field and gives the tags in the order the focus visited them.
  static std::vector<std::string> tabThrough(QWidget* window) {
    window->activateWindow();
    QApplication::setActiveWindow(window);
    QWidget* first = window->nextInFocusChain();
    while (!(first->focusPolicy() & Qt::TabFocus) || !first->isVisible() || !first->isEnabled())
      first = first->nextInFocusChain();
    first->setFocus(Qt::TabFocusReason);
    std::vector<std::string> visited;
    for (int k = 0; k < 200; ++k) {
      QWidget* at = QApplication::focusWidget();
      if (at == nullptr || (k > 0 && at == first)) break;
      visited.push_back(at->objectName().toStdString());
      QTest::keyClick(at, Qt::Key_Tab);
    }
    return visited;
  }

  // Every field and list of a window with the name a screen reader gives it: a field's own name; for a
  // list, whose name on this platform is its current entry, the label it is labelled by.
  static std::map<std::string, std::string> fieldNames(QWidget* window) {
    std::map<std::string, std::string> names;
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
      if (qobject_cast<QLineEdit*>(w) != nullptr) names[w->objectName().toStdString()] = accessibleName(w);
      if (qobject_cast<QComboBox*>(w) != nullptr) names[w->objectName().toStdString()] = labelledBy(w);
    }
    return names;
  }

  static std::string labelledBy(QWidget* w) {
    for (const auto& [label, relation] : QAccessible::queryAccessibleInterface(w)->relations(QAccessible::Label))
      if (qobject_cast<QLabel*>(label->object()) != nullptr) return label->text(QAccessible::Name).toStdString();
    // A list without a label of its own (a unit beside a field) carries its name itself.
    return w->accessibleName().toStdString();
  }
};

TEST_F(Widgets, QuestionButtonsShowTheirTextsAndClosingGoesOn) {
  std::vector<std::vector<std::string>> seen;
  // Nothing calculated: Escape counts as going on, so the waveform is calculated and plotted.
  withQuestions([&](QMessageBox& box) {
    seen.push_back(buttonNames(box));
    QTest::keyClick(&box, Qt::Key_Escape);
  }, [&] { click("menuPlotCCDF"); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], (std::vector<std::string>{"Calculate & Plot", "Cancel"}));
  EXPECT_FALSE(global("appInfo").field("LastCalcTimeStamp").isEmpty());
  EXPECT_EQ(global("appInfo").field("ClientWindows").numel(), 1u);

  // Changed settings: the close box goes on with the last waveform, which is not calculated again.
  const Value calculatedAt = global("appInfo").field("LastCalcTimeStamp");
  type("txtDataLength", "100");
  withQuestions([&](QMessageBox& box) {
    seen.push_back(buttonNames(box));
    box.close();
  }, [&] { click("menuPlotCCDF"); });
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], (std::vector<std::string>{"Yes", "Recalc & Plot", "Cancel"}));
  EXPECT_EQ(global("appInfo").field("LastCalcTimeStamp"), calculatedAt);
  EXPECT_EQ(global("appInfo").field("ClientWindows").numel(), 2u);
}

TEST_F(Widgets, TabbingThroughTheWindowsChangesNoSetting) {
  const Value parameters = global("parameters"), sigGen = global("SigGenSettings");
  const std::vector<std::string> order = tabThrough(widget("main"));
  // The panels in reading order: Frame, Modulation, Payload and MAC, then Filter, Signal generator and
  // Instrument, each from top to bottom.
  const std::vector<std::string> expected = {
      "tbGenerationMode", "pdPreambleFormat", "chkClkLocked", "pdPowerRamp", "txtRampTime", "txtIdleInterval",
      "pdDataRate", "pdModulation", "pdScrambler",
      "chkMACheader", "chkMACfcs", "pdDATAsourceType", "txtDataLength", "txtTotalLength",
      "txtOversampleRate", "pdFilterType", "txtFilterFactor", "txtFilterTaps", "chkMirrorSpectrum",
      "pdChannels", "txtFrequency", "pdFrequencyUnits", "txtAmplitude", "txtWaveformTitle", "pbAdvancedSettings",
      "txtNumberOfSamples", "txtEvent1", "txtEvent2", "txtEvent3", "txtEvent4", "pbCalculate", "pbDownload",
      "pbRefresh", "tbRFOutput"};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(global("parameters"), parameters);
  EXPECT_EQ(global("SigGenSettings"), sigGen);

  // The dialogs, closed with OK after the tour.
  check("chkMACheader", true);
  for (const auto& [opener, dialog] :
       {std::pair{"pbMACheaderSetup", "figMACconfig"}, {"pbAdvancedSettings", "figAdvSettings"}}) {
    const Value before = global("parameters"), sigGenBefore = global("SigGenSettings");
    std::vector<std::string> visited;
    onWait = [&, dialog = dialog](double) {
      visited = tabThrough(widget(dialog));
      click("pbOK");
    };
    click(opener);
    EXPECT_GT(visited.size(), 3u) << dialog;
    EXPECT_EQ(global("parameters"), before) << dialog;
    EXPECT_EQ(global("SigGenSettings"), sigGenBefore) << dialog;
  }
}

TEST_F(Widgets, EveryFieldIsNamedByItsLabel) {
  const std::map<std::string, std::string> main = fieldNames(widget("main"));
  const std::map<std::string, std::string> expected = {
      {"pdPreambleFormat", "Preamble"}, {"pdPowerRamp", "Ramp"}, {"txtRampTime", "Ramp time"},
      {"txtIdleInterval", "Idle interval"}, {"pdDataRate", "Data rate"}, {"pdModulation", "Modulation"},
      {"pdScrambler", "Scrambler"}, {"pdDATAsourceType", "Payload"}, {"txtDataLength", "Payload length"},
      {"txtTotalLength", "PSDU length"}, {"txtOversampleRate", "Oversampling"}, {"pdFilterType", "Filter"},
      {"txtFilterFactor", "bT:  "}, {"txtFilterTaps", "Filter length (symbols)"}, {"pdChannels", "Channel"},
      {"txtFrequency", "Frequency"}, {"pdFrequencyUnits", "Frequency unit"}, {"txtAmplitude", "Amplitude"},
      {"txtWaveformTitle", "Waveform title"}, {"txtNumberOfSamples", "Samples"}, {"txtEvent1", "Event 1"},
      {"txtEvent2", "Event 2"}, {"txtEvent3", "Event 3"}, {"txtEvent4", "Event 4"}};
  EXPECT_EQ(main, expected);
  // The read-only fields look it: the window's colour behind their text.
  for (const char* shown : {"txtTotalLength", "txtNumberOfSamples", "txtEvent1"}) {
    const QWidget* w = widget(shown);
    EXPECT_EQ(w->palette().color(QPalette::Base), w->palette().color(QPalette::Window)) << shown;
  }

  const std::map<std::string, std::string> macHeader = fieldNames(widget("figMACconfig"));
  EXPECT_EQ(macHeader.at("txtFrameCntrl"), "Frame control");
  EXPECT_EQ(macHeader.at("txtAddress4"), "Address 4");
  const std::map<std::string, std::string> advanced = fieldNames(widget("figAdvSettings"));
  for (const auto& [tag, name] : advanced) EXPECT_FALSE(name.empty()) << tag;
  EXPECT_EQ(advanced.at("txtScaling"), "I/Q scaling");
}

TEST_F(Widgets, OpenTakesATypedNameWithoutTheExtension) {
  fileAnswers = {workFolder + "/gset1"};
  type("txtDataLength", "77");
  click("menuFileSave");
  ASSERT_TRUE(std::filesystem::exists(workFolder + "/gset1.mat"));
  click("menuFileNew");
  ASSERT_EQ(parameter("dataLength"), 1024);

  // The name typed as a user types it; a refusal would come as a box over the file dialog, which stays.
  bool typed = false;
  std::vector<std::string> refused;
  withDialogs<QDialog>([&](QDialog& dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      refused.push_back(box->text().toStdString());
      box->reject();
    } else if (auto* files = qobject_cast<QFileDialog*>(&dialog); files != nullptr && !typed) {
      typed = true;
      files->setDirectory(QString::fromStdString(workFolder));
      files->findChild<QLineEdit*>("fileNameEdit")->setText("gset1");
      static_cast<QDialog*>(files)->accept();  // as the Open button does
    } else if (files != nullptr) {
      files->reject();
    }
  }, [&] { click("menuFileOpen"); });
  EXPECT_TRUE(typed);
  EXPECT_TRUE(refused.empty()) << refused.front();
  EXPECT_EQ(parameter("dataLength"), 77);
  EXPECT_EQ(global("configuration").field("LastParameterFilename").toUtf8(), workFolder + "/gset1.mat");
}

TEST_F(Widgets, InstrumentErrorsShowTheErrorIcon) {
  // No instrument answers at the start values' connection.
  std::vector<std::pair<QMessageBox::Icon, std::string>> boxes;
  withQuestions([&](QMessageBox& box) {
    boxes.emplace_back(box.icon(), box.windowTitle().toStdString());
    box.accept();
  }, [&] { click("pbRefresh"); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].second, "Error Occured During Instrument Setup");
  EXPECT_EQ(boxes[0].first, QMessageBox::Critical);
}

}  // namespace
}  // namespace dot11b::gui_test
