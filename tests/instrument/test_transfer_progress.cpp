// SPDX-License-Identifier: GPL-3.0-or-later
// Progress and cancel of a waveform transfer: the module reports the bytes written and stops when
// the caller's progress callback asks it to.
#include <gtest/gtest.h>

#include <chrono>

#include "module_client.h"
#include "sim_process.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using Clock = std::chrono::steady_clock;

// What the module reported, and when to answer "stop".
struct Observer {
  std::vector<std::uint64_t> done;
  std::uint64_t total = 0;
  std::uint64_t cancelAfter = UINT64_MAX;
  Clock::time_point cancelledAt{};

  static int32_t report(void* self, uint64_t done, uint64_t total) {
    auto* o = static_cast<Observer*>(self);
    o->done.push_back(done);
    o->total = total;
    if (done < o->cancelAfter) return 0;
    if (o->cancelledAt == Clock::time_point{}) o->cancelledAt = Clock::now();
    return 1;
  }
};

dot11b::instrio::ModuleReply observedDownload(const TestConnection& c, const TestWaveform& w, Observer& o) {
  instrio_arguments a = arguments(w);
  a.progress = &Observer::report;
  a.progress_context = &o;
  const instrio_connection record = c.record();
  return module().execute(INSTRIO_DOWNLOAD, record, &a);
}

bool rising(const std::vector<std::uint64_t>& values) { return std::is_sorted(values.begin(), values.end()); }

TEST(TransferProgress, ReportsEveryByteOfBothBlocks) {
  ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", "5000");
  SimProcess sim({"--port", "0"});
  ASSERT_TRUE(sim.started());
  const TestWaveform w = pseudoRandomWaveform(50000);
  Observer o;
  const auto reply = observedDownload(tcpTo(sim.port()), w, o);
  ASSERT_EQ(reply.status, INSTRIO_OK) << reply.text;
  ASSERT_FALSE(o.done.empty());
  EXPECT_TRUE(rising(o.done));
  EXPECT_EQ(o.done.back(), o.total);
  // The ARBI block holds 4 bytes and the MKRI block 1 byte per sample, with their headers.
  EXPECT_GT(o.total, 5u * 50000);
  EXPECT_TRUE(sim.hasStored("ARBI", "dot11b"));
}

TEST(TransferProgress, ACancelStopsASlowTransferAtOnce) {
  ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", "5000");
  SimProcess sim({"--port", "0", "--read-rate", "100000"});
  ASSERT_TRUE(sim.started());
  Observer o;
  // Beyond what the socket buffers hold: the write has been stalled on the slow line before the cancel.
  o.cancelAfter = 700000;
  const auto reply = observedDownload(tcpTo(sim.port()), pseudoRandomWaveform(200000), o);
  const auto afterCancel = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - o.cancelledAt);
  EXPECT_EQ(reply.status, INSTRIO_CANCELLED);
  EXPECT_NE(reply.text.find("cancelled after"), std::string::npos) << reply.text;
  EXPECT_NE(reply.text.find(" of " + std::to_string(o.total) + " bytes"), std::string::npos) << reply.text;
  EXPECT_TRUE(rising(o.done));
  // A hang guard, not a speed measure: a stalled write still hears the cancel within its 100 ms steps.
  EXPECT_LT(afterCancel.count(), 1000);
  EXPECT_FALSE(sim.hasStored("ARBI", "dot11b"));
}

TEST(TransferProgress, ACancelReachesTheSerialLineToo) {
  ScopedEnv timeout("DOT11B_INSTRIO_TIMEOUT_MS", "5000");
  SimProcess sim({"--pty"});
  ASSERT_TRUE(sim.started());
  ScopedEnv device("DOT11B_SERIAL_PORT7", sim.pty());
  Observer o;
  o.cancelAfter = 1;
  const auto reply = observedDownload(serialPort(7, 9600, "None"), pseudoRandomWaveform(100000), o);
  EXPECT_EQ(reply.status, INSTRIO_CANCELLED) << reply.text;
  EXPECT_FALSE(sim.hasStored("ARBI", "dot11b"));
}

}  // namespace
}  // namespace instrument_test
