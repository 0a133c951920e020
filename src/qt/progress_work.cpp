// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/progress_work.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

#include "qt/application.h"
#include "qt/handle_table.h"
#include "qt/qt_toolkit.h"

namespace dot11b::qt {

namespace {

// Shared between the work's thread and the window's.
class SharedProgress : public toolkit::Progress {
 public:
  void report(std::uint64_t done, std::uint64_t total) override {
    done_ = done;
    total_ = total;
  }
  bool cancelled() const override { return cancelled_; }

  void cancel() { cancelled_ = true; }
  std::uint64_t done() const { return done_; }
  std::uint64_t total() const { return total_; }

 private:
  std::atomic<std::uint64_t> done_{0}, total_{0};
  std::atomic<bool> cancelled_{false};
};

QString megabytes(std::uint64_t bytes) { return QString::number(static_cast<double>(bytes) / 1e6, 'f', 1) + " MB"; }

// "12.5 MB of 40.0 MB", "3 of 15 commands sent".
QString doneOfTotal(toolkit::WorkUnit unit, std::uint64_t done, std::uint64_t total) {
  if (unit == toolkit::WorkUnit::Bytes) return megabytes(done) + " of " + megabytes(total);
  return QString::number(done) + " of " + QString::number(total) + " commands sent";
}

}  // namespace

ProgressWork& progressWork() {
  static ProgressWork work;
  return work;
}

void ProgressWork::run(std::string_view title, toolkit::WorkUnit unit,
                       const std::function<void(toolkit::Progress&)>& work) {
  if (!applicationRunning()) {
    toolkit::InlineWork().run(title, unit, work);
    return;
  }
  SharedProgress progress;
  std::atomic<bool> finished{false};
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work(progress);
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
  });

  const QString name = QString::fromUtf8(title.data(), static_cast<int>(title.size()));
  QProgressDialog dialog(name + "...", "Cancel", 0, 1000, QApplication::activeWindow());
  dialog.setWindowTitle(name);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setMinimumDuration(400);
  // A host drives the dialog by name as the others: the window "figProgress" with its button "pbCancel".
  dialog.setObjectName("figProgress");
  auto* cancelButton = new QPushButton("Cancel", &dialog);
  cancelButton->setObjectName("pbCancel");
  dialog.setCancelButton(cancelButton);
  const toolkit::Handle window = HandleTable::instance().add(&dialog);
  HandleTable::instance().add(cancelButton);
  QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
    progress.cancel();
    dialog.setLabelText("Cancelling...");
  });
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (finished) {
      loop.quit();
      return;
    }
    if (progress.total() > 0 && !progress.cancelled()) {
      dialog.setValue(
          static_cast<int>(1000.0 * static_cast<double>(progress.done()) / static_cast<double>(progress.total())));
      dialog.setLabelText(name + ": " + doneOfTotal(unit, progress.done(), progress.total()));
    }
  });
  poll.start(50);
  qtToolkit().notifyWait(window);
  if (!finished) loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace dot11b::qt
