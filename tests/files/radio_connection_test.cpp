// SPDX-License-Identifier: GPL-3.0-or-later
// A radio as the connection: the record from soapy:ARGS, and defaults.mat both ways (a file with a radio
// read as an older reader reads it, a file without one read unchanged).
#include <gtest/gtest.h>

#include "files/connection_settings.h"
#include "runtime/matfile/matfile.h"
#include "settings/instrument_uri.h"
#include "settings/radio_connection.h"
#include "settings/start_values.h"
#include "test_support.h"

namespace dot11b::files {
namespace {

using rt::Value;
using settings::RadioConnection;

Value radioRecord() {
  Value c = settings::initialConfiguration();
  c.setField("type", Value::text("TCPIP"));
  c.field("TCPIP").setField("address", Value::text("10.0.0.7"));
  return settings::withRadio(c, {"driver=hackrf,serial=ab12", "TX/RX", 1, -40.5});
}

TEST(RadioConnection, SoapyAddressGivesARadioRecordBesideTheStartValues) {
  const Value c = settings::configurationFromUri("soapy:driver=hackrf,serial=ab12");
  EXPECT_TRUE(settings::isRadioConnection(c));
  EXPECT_EQ(c.field("type").toUtf8(), "SOAPY");
  const RadioConnection r = settings::radioConnection(c);
  EXPECT_EQ(r.args, "driver=hackrf,serial=ab12");
  EXPECT_EQ(r.antenna, "");
  EXPECT_EQ(r.channel, 0);
  EXPECT_EQ(r.offset, 0);
  EXPECT_EQ(c.field("GPIB"), settings::initialConfiguration().field("GPIB"));
  EXPECT_FALSE(settings::isRadioConnection(settings::configurationFromUri("tcpip:10.0.0.1")));
  EXPECT_THROW(settings::configurationFromUri("sopy:driver=x"), std::invalid_argument);
}

TEST(RadioConnection, FieldsOfTheWrongKindAreRefused) {
  Value c = radioRecord();
  c.field("SOAPY").setField("channel", Value::scalar(1.5));
  EXPECT_THROW(settings::radioConnection(c), std::invalid_argument);
  c = radioRecord();
  c.field("SOAPY").setField("offset", Value::text("high"));
  EXPECT_THROW(settings::radioConnection(c), std::invalid_argument);
}

TEST(RadioConnection, DefaultsFileKeepsTheRadioAndTheInstrument) {
  test::ScratchDir dir;
  const Value c = radioRecord();
  ASSERT_TRUE(saveConnectionSettings(c, dir / "defaults.mat"));
  const Value back = loadConnectionSettings(dir / "defaults.mat");
  EXPECT_EQ(back, c);
  const RadioConnection r = settings::radioConnection(back);
  EXPECT_EQ(r.antenna, "TX/RX");
  EXPECT_EQ(r.channel, 1);
  EXPECT_EQ(r.offset, -40.5);
}

// What an older reader sees: the instrument last chosen, its fields unchanged, and a record beside them.
TEST(RadioConnection, DefaultsFileReadsAsTheInstrumentToAnOlderReader) {
  test::ScratchDir dir;
  ASSERT_TRUE(saveConnectionSettings(radioRecord(), dir / "defaults.mat"));
  Value stored;
  for (auto& [name, value] : rt::readMatFile(dir / "defaults.mat"))
    if (name == "fileParameters") stored = value;
  EXPECT_EQ(stored.field("type").toUtf8(), "TCPIP");
  EXPECT_EQ(stored.field("TCPIP").field("address").toUtf8(), "10.0.0.7");
  EXPECT_NO_THROW(validateConfiguration(stored));
  EXPECT_EQ(stored.field("SOAPY").field("selected").scalarValue(), 1);

  // The user went back to the instrument: the radio's fields stay for the next time, not chosen.
  const Value instrument = settings::withInstrument(radioRecord(), "GPIB");
  ASSERT_TRUE(saveConnectionSettings(instrument, dir / "defaults.mat"));
  const Value back = loadConnectionSettings(dir / "defaults.mat");
  EXPECT_FALSE(settings::isRadioConnection(back));
  EXPECT_EQ(back.field("type").toUtf8(), "GPIB");
  EXPECT_EQ(settings::radioConnection(back).args, "driver=hackrf,serial=ab12");
}

TEST(RadioConnection, OlderFileOpensUnchangedAndAnUnsoundRadioLeavesTheInstrument) {
  test::ScratchDir dir;
  const Value old = settings::initialConfiguration();
  rt::writeMatFile(dir / "defaults.mat", {{"fileParameters", old}});
  EXPECT_EQ(loadConnectionSettings(dir / "defaults.mat"), old);

  Value damaged = settings::storedForm(radioRecord());
  damaged.field("SOAPY").setField("channel", Value::text("one"));
  rt::writeMatFile(dir / "defaults.mat", {{"fileParameters", damaged}});
  const Value back = loadConnectionSettings(dir / "defaults.mat");
  EXPECT_EQ(back.field("type").toUtf8(), "TCPIP");
  EXPECT_FALSE(back.hasField("SOAPY"));
}

}  // namespace
}  // namespace dot11b::files
