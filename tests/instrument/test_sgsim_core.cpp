// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's SCPI core: header forms, framing of blocks, parameters, settings and errors.
#include <gtest/gtest.h>

#include "error_queue.h"
#include "header_match.h"
#include "instrument.h"
#include "message_framer.h"
#include "scpi_error.h"
#include "scpi_parser.h"

namespace instrument_test {
namespace {

TEST(SgsimHeaders, LongAndShortFormsAnyCaseAndOptionalNodes) {
  const char* pattern = "[:SOURce]:FREQuency[:FIXed]";
  for (const char* header :
       {":SOURce:FREQuency:FIXed", ":freq:fix", "freq", ":source:frequency", "SOUR:FREQ:FIX", ":FREQ:FIXED"}) {
    EXPECT_TRUE(sgsim::headerMatches(pattern, header)) << header;
  }
  for (const char* header : {":fre:fix", ":sourc:freq", ":freq:fix:fix", ":source", ":frequen", ""}) {
    EXPECT_FALSE(sgsim::headerMatches(pattern, header)) << header;
  }
  EXPECT_TRUE(sgsim::headerMatches("[:SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]",
                                   ":source:power:level:immediate:amplitude"));
  EXPECT_TRUE(sgsim::headerMatches("[:SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]", ":pow:ampl"));
  EXPECT_FALSE(sgsim::headerMatches("[:SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]", ":pow:alc:state"));
  EXPECT_TRUE(sgsim::headerMatches("*IDN", "*idn"));
}

TEST(SgsimFramer, BlocksMayHoldLineFeedsAndArriveInPieces) {
  const std::string block = std::string("\n\n#1\"'", 6);
  const std::string stream = ":MMEM:DATA \"ARBI:a#1\",#16" + block + "\n*IDN?\n";
  sgsim::MessageFramer framer;
  std::vector<std::string> messages;
  for (const char c : stream) {  // one byte at a time
    framer.feed(&c, 1);
    while (const auto m = framer.nextMessage()) messages.push_back(*m);
  }
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], ":MMEM:DATA \"ARBI:a#1\",#16" + block);
  EXPECT_EQ(messages[1], "*IDN?");
  EXPECT_EQ(sgsim::abbreviateBlocks(messages[0]), ":MMEM:DATA \"ARBI:a#1\",#16[6 bytes]");
}

TEST(SgsimFramer, ReportsTheProgressOfABlock) {
  sgsim::MessageFramer framer;
  const std::string head = ":MMEM:DATA \"ARBI:a\",#210abcd";
  framer.feed(head.data(), head.size());
  EXPECT_FALSE(framer.nextMessage());
  std::size_t received = 0, length = 0;
  ASSERT_TRUE(framer.blockInProgress(received, length));
  EXPECT_EQ(received, 4u);
  EXPECT_EQ(length, 10u);
}

TEST(SgsimParser, UnitsParametersAndBadBlocks) {
  const auto units = sgsim::parseMessage(" :freq:fix 2.412 GHz ; :rad:arb:wav \"arbi:say \"\"hi\"\"\";*IDN?");
  ASSERT_EQ(units.size(), 3u);
  EXPECT_EQ(units[0].header, ":freq:fix");
  EXPECT_EQ(units[0].parameters.at(0).value, "2.412 GHz");
  EXPECT_EQ(units[1].parameters.at(0).kind, sgsim::Parameter::Kind::String);
  EXPECT_EQ(units[1].parameters.at(0).value, "arbi:say \"hi\"");
  EXPECT_TRUE(units[2].query);
  const auto codeOf = [](const std::string& message) {
    try {
      sgsim::parseMessage(message);
    } catch (const sgsim::ScpiError& e) {
      return e.code();
    }
    return 0;
  };
  EXPECT_EQ(codeOf(":MMEM:DATA \"ARBI:a\",#14abcdef"), -161);  // more bytes than stated
  EXPECT_EQ(codeOf(":MMEM:DATA \"ARBI:a\",#19abcd"), -161);    // fewer bytes than stated
  EXPECT_EQ(codeOf(":rad:arb:wav \"open"), -151);
  EXPECT_EQ(codeOf(":freq 1,"), -109);
  EXPECT_EQ(codeOf(":freq% 1"), -102);
}

// Runs messages on a fresh instrument and returns the answer of the last one.
std::string answerAfter(const std::vector<std::string>& messages) {
  sgsim::Instrument instrument("", 0);
  std::string last;
  for (const std::string& m : messages) last = instrument.handle(m).value_or("");
  return last;
}

TEST(SgsimInstrument, SettingsAnswerTheirQueryForms) {
  struct Case {
    const char* command;
    const char* query;
    const char* answer;
  };
  const std::vector<Case> cases = {
      {" :source:freq:fix 2412000000Hz", ":FREQ?", "2412000000"},
      {":freq 2.412 GHz", ":source:frequency:fixed?", "2412000000"},
      {" :source:power:level:immediate:amplitude -30dbm", ":pow?", "-30"},
      {":pow -30.5", ":pow:lev:imm:ampl?", "-30.5"},
      {" :source:rad:arb:clock:srate 44000000Hz", ":rad:arb:cloc:srat?", "44000000"},
      {" :source:rad:arb:rfilter 2.5Mhz", ":rad:arb:rfil?", "2500000"},
      {" :source:rad:arb:rfilter through", ":rad:arb:rfil?", "THR"},
      {" :source:dm:bbfilter 2.1MHz", ":dm:bbf?", "2100000"},
      {" :source:rad:ARB:rscaling 95", ":rad:arb:rsc?", "95"},
      {":source:DM:IQAT:AUTO off", ":dm:iqat:auto?", "0"},
      {":source:DM:IQAT 3", ":dm:iqattenuation?", "3"},
      {" :pow:alc:state on", ":pow:alc?", "1"},
      {" :source:rad:arb:marker:rfblank on", ":rad:arb:mark:rfbl?", "1"},
      {" :source:rad:arb:marker:polarity Neg", ":rad:arb:mark:pol?", "NEG"},
      {" :source:rad:arb:clock:ref ext", ":rad:arb:cloc:ref?", "EXT"},
      {" :output:state on", ":outp?", "1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(answerAfter({c.command, c.query}), c.answer) << c.command;
    EXPECT_EQ(answerAfter({c.command, ":syst:err?"}), "0,\"No error\"") << c.command;
  }
  EXPECT_EQ(answerAfter({"*IDN?"}), "Vantrel,Q6200T,SIM0001,A.01.00");
  EXPECT_EQ(answerAfter({":freq 1e9", "*RST", ":freq?"}), "1000000000");
}

TEST(SgsimInstrument, ErrorsGoToTheQueue) {
  struct Case {
    const char* command;
    const char* error;
  };
  const std::vector<Case> cases = {
      {":frobnicate 1", "-113,\"Undefined header\""},
      {":freq 7 GHz", "-222,\"Data out of range\""},
      {":freq 2 dBm", "-131,\"Invalid suffix\""},
      {":freq high", "-104,\"Data type error\""},
      {":freq", "-109,\"Missing parameter\""},
      {":freq 1, 2", "-108,\"Parameter not allowed\""},
      {":rad:arb:rfilter 3MHz", "-224,\"Illegal parameter value\""},
      {":rad:arb:wav \"arbi:none\"", "-256,\"File name not found\""},
      {":rad:arb:state on", "-221,\"Settings conflict;no waveform selected\""},
      {":MMEM:DATA \"ARBI:a\",#13abc", "-161,\"Invalid block data;not whole 16-bit I/Q pairs\""},
      {":MMEM:DATA \"MKRI:a\",#11x", "-256,\"File name not found;no waveform of this title\""},
      {":MMEM:DATA \"ARBI:../a\",#14abcd", "-257,\"File name error\""},
  };
  for (const Case& c : cases) EXPECT_EQ(answerAfter({c.command, ":SYST:ERR?"}), c.error) << c.command;
  EXPECT_EQ(answerAfter({":MMEM:DATA \"ARBI:a\",#14abcd", ":MMEM:DATA \"MKRI:a\",#12xy", ":SYST:ERR?"}),
            "-224,\"Illegal parameter value;marker count differs from sample count\"");
  EXPECT_EQ(answerAfter({":MMEM:DATA \"ARBI:a\",#14abcd", ":MMEM:DATA? \"ARBI:a\""}), "#14abcd");
  EXPECT_EQ(answerAfter({":frobnicate", "*CLS", ":SYST:ERR?"}), "0,\"No error\"");
}

TEST(SgsimInstrument, FaultInjectionFailsTheChosenCommandOnly) {
  sgsim::Instrument instrument("", 2);
  instrument.handle(":outp on");
  instrument.handle("*IDN?");  // queries are not counted
  instrument.handle(":outp off");
  EXPECT_EQ(instrument.handle(":SYST:ERR?").value_or(""), "-200,\"Execution error;fault injected on command 2\"");
  EXPECT_EQ(instrument.handle(":outp?").value_or(""), "1");
}

TEST(SgsimErrorQueue, OverflowKeepsTheOldestAndMarksTheLast) {
  sgsim::ErrorQueue queue;
  for (int k = 0; k < 20; ++k) queue.push(-100 - k, "Error");
  EXPECT_EQ(queue.size(), sgsim::ErrorQueue::kCapacity);
  EXPECT_EQ(queue.pop(), "-100,\"Error\"");
  std::string last;
  while (queue.size() > 0) last = queue.pop();
  EXPECT_EQ(last, "-350,\"Queue overflow\"");
  EXPECT_EQ(queue.pop(), "0,\"No error\"");
}

}  // namespace
}  // namespace instrument_test
