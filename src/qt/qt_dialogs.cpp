// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/handle_table.h"
#include "qt/label_text.h"

namespace dot11b::qt {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QWidget* parentWindow() { return QApplication::activeWindow(); }

void box(QMessageBox::Icon icon, std::string_view text, std::string_view title) {
  QMessageBox b(icon, q(title), q(text), QMessageBox::Ok, parentWindow());
  b.setWindowModality(Qt::ApplicationModal);
  b.exec();
}

// "*.mat" becomes "*.mat;;All files (*)", so that any file can still be chosen.
QString nameFilter(std::string_view filter) {
  const QString f = q(filter);
  return f == "*" ? QString("All files (*)") : f + ";;All files (*)";
}

std::optional<toolkit::FileChoice> choice(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return toolkit::splitFileName(path.toStdString());
}

}  // namespace

QtDialogs& qtDialogs() {
  static QtDialogs dialogs;
  return dialogs;
}

void QtDialogs::message(std::string_view text, std::string_view title) { box(QMessageBox::Information, text, title); }

void QtDialogs::error(std::string_view text, std::string_view title) { box(QMessageBox::Critical, text, title); }

std::string QtDialogs::question(std::string_view text, std::string_view title, const std::vector<std::string>& buttons,
                                std::string_view defaultButton) {
  QMessageBox b(QMessageBox::Question, q(title), q(text), QMessageBox::NoButton, parentWindow());
  b.setWindowModality(Qt::ApplicationModal);
  std::vector<std::pair<QAbstractButton*, std::string>> answers;
  for (const std::string& label : buttons) {
    QPushButton* button = b.addButton(escapedMnemonics(q(label)), QMessageBox::AcceptRole);
    if (label == defaultButton) b.setDefaultButton(button);
    answers.emplace_back(button, label);
  }
  // A message box without an escape button ignores Escape and its close box. A hidden one makes both close
  // the question without a choice.
  QPushButton* closed = b.addButton(QString(), QMessageBox::RejectRole);
  closed->hide();
  b.setEscapeButton(closed);
  b.exec();
  for (const auto& [button, label] : answers)
    if (b.clickedButton() == button) return label;
  return {};
}

std::optional<std::vector<std::string>> QtDialogs::inputs(std::string_view title,
                                                          const std::vector<std::string>& prompts,
                                                          const std::vector<std::string>& defaults) {
  QDialog dialog(parentWindow());
  dialog.setWindowTitle(q(title));
  dialog.setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  std::vector<QLineEdit*> fields;
  for (std::size_t i = 0; i < prompts.size(); ++i) {
    auto* field = new QLineEdit(q(i < defaults.size() ? defaults[i] : std::string()), &dialog);
    form->addRow(escapedMnemonics(q(prompts[i])), field);
    fields.push_back(field);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> texts;
  for (const QLineEdit* f : fields) texts.push_back(f->text().toStdString());
  return texts;
}

std::optional<toolkit::FileChoice> QtDialogs::openFile(std::string_view filter) {
  QFileDialog dialog(parentWindow(), "Open", QString(), nameFilter(filter));
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // A name typed without the filter's extension ("set1" for set1.mat) names the file with it, as the
  // commands that read the file take it; the dialog would otherwise refuse it as not found.
  const QString f = q(filter);
  if (f.startsWith("*.") && !f.contains(' ') && f.indexOf('*', 1) < 0) dialog.setDefaultSuffix(f.mid(2));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return choice(dialog.selectedFiles().front());
}

std::optional<toolkit::FileChoice> QtDialogs::saveFile(std::string_view filter) {
  // The commands add the extension themselves and ask no question of their own about replacing a file.
  return choice(QFileDialog::getSaveFileName(parentWindow(), "Save", QString(), nameFilter(filter)));
}

bool QtDialogs::print(double h) {
  QWidget* window = windowWidget(h);
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(window->windowTitle());
  QPrintDialog dialog(&printer, window);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return false;
  QPainter painter(&printer);
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  const double scale = std::min(page.width() / window->width(), page.height() / window->height());
  painter.scale(scale, scale);
  window->render(&painter);
  return painter.end();
}

}  // namespace dot11b::qt
