// SPDX-License-Identifier: GPL-3.0-or-later
// The command layer on its own: command texts, the playback sequence, the RS-232 question.
#include <gtest/gtest.h>

#include "instrument/io/instrio.h"
#include "instrument/link/download_confirmation.h"
#include "instrument/link/playback.h"
#include "instrument/link/playback_commands.h"
#include "instrument/link/rs232_estimate.h"
#include "instrument/link/text_checks.h"
#include "waveform_fixtures.h"

namespace instrument_test {
namespace {

using namespace dot11b::instrument;

TEST(PlaybackCommands, StartValuesGiveTheListedCommands) {
  const PlaybackSettings start;
  EXPECT_EQ(playbackCommandsQ6200T("dot11b", start), expectedPlaybackCommandsQ6200T());
  PlaybackSettings older = start;
  older.reconFilter = 1;
  EXPECT_EQ(playbackCommandsOlderPlatform("dot11b", older), expectedPlaybackCommandsOlderPlatform());
  EXPECT_EQ(waveformSelection("dot11b"), std::string(" :source:rad:arb:wav ") + '"' + "arbi:dot11b" + '"' + " ");
}

TEST(PlaybackCommands, ChoiceTexts) {
  struct Case {
    double value;
    const char* recon;
    const char* baseband;
    const char* alc;
  };
  for (const Case& c : std::vector<Case>{{0, "through", "Through", "off"},
                                         {1, "250.0khz", "2.1MHz", "on"},
                                         {2, "2.5Mhz", "40MHz", "on"},
                                         {3, "8Mhz", "Through", "on"},
                                         {4, "through", "Through", "on"},
                                         {5, "through", "Through", "on"}}) {
    EXPECT_EQ(reconstructionFilterText(c.value), c.recon) << c.value;
    EXPECT_EQ(basebandFilterText(c.value), c.baseband) << c.value;
    EXPECT_EQ(levelControlText(c.value), c.alc) << c.value;
  }
}

TEST(PlaybackCommands, NumbersAndSwitches) {
  PlaybackSettings s;
  s.amplitude = -30.5;
  s.frequency = 2437e6;
  s.rfBlanking = 2;      // only 1 means on
  s.markerPolarity = 2;  // anything but 0 is negative
  s.arbRefSource = 1;
  s.scaling = 87.25;
  const auto commands = playbackCommandsQ6200T("T1", s);
  EXPECT_EQ(commands[2], " :source:freq:fix 2437000000Hz");
  EXPECT_EQ(commands[3], " :source:power:level:immediate:amplitude -30.5dbm");
  EXPECT_EQ(commands[6], " :source:rad:ARB:rscaling 87.25");
  EXPECT_EQ(commands[10], " :source:rad:arb:marker:rfblank off");
  EXPECT_EQ(commands[11], " :source:rad:arb:marker:polarity Neg");
  EXPECT_EQ(commands[12], " :source:rad:arb:clock:ref ext");
}

// Records the calls; the commands listed in `failing` fail with `failure` (an instrument error unless told),
// and so does the return to local when "<local>" is among them.
class RecordingLink : public InstrumentLink {
 public:
  explicit RecordingLink(std::vector<std::string> failing = {}, LinkReply failure = {6, "-222,\"Data out of range\""})
      : failing_(std::move(failing)), failure_(std::move(failure)) {}
  LinkReply send(const std::string& command) override {
    calls.push_back(command);
    for (const std::string& f : failing_) {
      if (f == command) return failure_;
    }
    return {0, ""};
  }
  LinkReply returnToLocal() override { return send("<local>"); }
  std::vector<std::string> calls;

 private:
  std::vector<std::string> failing_;
  LinkReply failure_;
};

TEST(Playback, SendsEveryCommandThenReturnsToLocal) {
  RecordingLink link;
  const auto commands = expectedPlaybackCommandsQ6200T();
  const LinkReply reply = runPlayback(commands, link);
  EXPECT_EQ(reply.status, 0);
  std::vector<std::string> expected = commands;
  expected.push_back("<local>");
  EXPECT_EQ(link.calls, expected);
}

TEST(Playback, FirstFailureIsReportedEvenWhenTheLastCommandSucceeds) {
  const auto commands = expectedPlaybackCommandsQ6200T();
  RecordingLink link({commands[2], commands[4]});
  const LinkReply reply = runPlayback(commands, link);
  EXPECT_EQ(link.calls.size(), commands.size() + 1) << "every command is still sent";
  EXPECT_EQ(reply.status, 6);
  EXPECT_EQ(reply.description,
            "The instrument did not take the command ' :source:freq:fix 2412000000Hz': -222,\"Data out of range\"");
}

// The return to local is the sequence's last command and is checked as the others: its failure is reported
// as its own, and an earlier failure still comes first.
TEST(Playback, AFailedReturnToLocalIsReportedAsItsOwn) {
  const auto commands = expectedPlaybackCommandsQ6200T();
  RecordingLink local({"<local>"}, {INSTRIO_INSTRUMENT_ERROR, "-200,\"Execution error\""});
  const LinkReply reply = runPlayback(commands, local);
  EXPECT_EQ(local.calls.size(), commands.size() + 1);
  EXPECT_EQ(reply.status, INSTRIO_INSTRUMENT_ERROR);
  EXPECT_EQ(reply.description, "The instrument did not return to local control: -200,\"Execution error\"");
  RecordingLink both({commands[2], "<local>"});
  const std::string first = runPlayback(commands, both).description;
  EXPECT_EQ(first.rfind("The instrument did not take the command ' :source:freq:fix", 0), 0u) << first;
}

// When the connection fails, the remaining commands would each wait out the time-out as well: the
// sequence stops. Only an instrument's error reply lets it go on.
TEST(Playback, AConnectionFailureStopsTheSequence) {
  struct Case {
    int32_t status;
    std::size_t callsBeforeLocal;  // commands sent
    bool local;                    // returned to local control afterwards
    const char* says;
  };
  const auto commands = expectedPlaybackCommandsQ6200T();
  for (const Case& c : std::vector<Case>{
           {INSTRIO_TIMED_OUT, 3, true,
            "The connection to the instrument failed at the command ' :source:freq:fix 2412000000Hz': lost; the 12 "
            "commands after it were not sent"},
           {INSTRIO_CONNECTION_LOST, 3, true, "The connection to the instrument failed at the command"},
           {INSTRIO_BUS_ERROR, 3, true, "The connection to the instrument failed at the command"},
           {INSTRIO_NO_DRIVER, 3, true, "The connection to the instrument failed at the command"},
           // A connection that could not be opened cannot take the return to local either.
           {INSTRIO_CONNECT_FAILED, 3, false, "The connection to the instrument failed at the command"},
           {INSTRIO_INSTRUMENT_ERROR, commands.size(), true, "The instrument did not take the command"}}) {
    RecordingLink link({commands[2]}, {c.status, "lost"});
    const LinkReply reply = runPlayback(commands, link);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.description.rfind(c.says, 0), 0u) << reply.description;
    std::vector<std::string> expected(commands.begin(), commands.begin() + static_cast<long>(c.callsBeforeLocal));
    if (c.local) expected.push_back("<local>");
    EXPECT_EQ(link.calls, expected) << "status " << c.status;
  }
}

TEST(Playback, CancelStopsBetweenCommandsAndWithinOne) {
  const auto commands = expectedPlaybackCommandsQ6200T();
  std::vector<std::size_t> told;
  RecordingLink between;
  const LinkReply stopped = runPlayback(commands, between, [&told](std::size_t done, std::size_t total) {
    told.push_back(done);
    EXPECT_EQ(total, 15u);
    return done < 4;
  });
  EXPECT_EQ(told, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(stopped.status, INSTRIO_CANCELLED);
  EXPECT_EQ(stopped.description,
            "Instrument setup cancelled before command 5 of 15; the instrument may be only partly set up");
  EXPECT_EQ(between.calls, (std::vector<std::string>{commands[0], commands[1], commands[2], commands[3], "<local>"}));
  // The module gave up waiting for the instrument to take the third command.
  RecordingLink within({commands[2]}, {INSTRIO_CANCELLED, "cancelled while waiting"});
  const LinkReply cut = runPlayback(commands, within);
  EXPECT_EQ(cut.status, INSTRIO_CANCELLED);
  EXPECT_EQ(cut.description,
            "Instrument setup cancelled during command 3 of 15; the instrument may be only partly set up");
  EXPECT_EQ(within.calls.size(), 4u);
}

TEST(Rs232Estimate, KnownCases) {
  EXPECT_DOUBLE_EQ(rs232TransferMinutes(40000, 9600), 2.5);
  EXPECT_DOUBLE_EQ(rs232TransferMinutes(12000, 9600), 0.75);
  EXPECT_EQ(rs232Question(2.5), "This Download will take approximately 2.5 minutes. Do you want to continue?");
  EXPECT_EQ(rs232Question(1.0 / 3), "This Download will take approximately 0.333333 minutes. Do you want to continue?");
  EXPECT_EQ(rs232Question(1234567),
            "This Download will take approximately 1.23457e+06 minutes. Do you want to continue?");
}

TEST(Rs232Question, AskedOnlyAboveThreeQuarterMinutesOverRs232) {
  std::vector<QuestionBox> asked;
  const auto answer = [&asked](const char* button) {
    return [&asked, button](const QuestionBox& box) {
      asked.push_back(box);
      return std::string(button);
    };
  };
  EXPECT_FALSE(confirmTransfer(true, 12000, 9600, answer("Cancel")));   // exactly 0.75: no question
  EXPECT_FALSE(confirmTransfer(false, 4000000, 9600, answer("Cancel"))); // GPIB, TCP/IP: never
  EXPECT_FALSE(confirmTransfer(true, 40000, 0, answer("Cancel")));       // no usable rate: the module refuses it
  EXPECT_TRUE(asked.empty());

  EXPECT_FALSE(confirmTransfer(true, 40000, 9600, answer("OK")));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].title, "RS-232 Download");
  EXPECT_EQ(asked[0].text, "This Download will take approximately 2.5 minutes. Do you want to continue?");
  EXPECT_EQ(asked[0].buttons, (std::vector<std::string>{"OK", "Cancel"}));
  EXPECT_EQ(asked[0].defaultButton, "Cancel");
  for (const char* refusal : {"Cancel", ""}) {
    const auto cancelled = confirmTransfer(true, 40000, 9600, answer(refusal));
    ASSERT_TRUE(cancelled);
    EXPECT_NE(cancelled->status, 0);
    EXPECT_EQ(cancelled->description, "download cancelled");
  }
}

TEST(TitleChecks, RefusedTitles) {
  EXPECT_FALSE(titleProblem("dot11b"));
  EXPECT_FALSE(titleProblem("A_$&#+-[]9"));
  for (const char* bad : {"", "a\"b", "a\nb", "a\rb", "a\tb", "a\x7f"}) EXPECT_TRUE(titleProblem(bad)) << bad;
  EXPECT_EQ(*titleProblem("a\"b"), "the waveform title \"a\"b\" holds a double quote at position 2");
}

}  // namespace
}  // namespace instrument_test
