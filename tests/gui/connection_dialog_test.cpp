// SPDX-License-Identifier: GPL-3.0-or-later
// The instrument connection dialog: built for each call, scripted while it waits, destroyed afterwards.
#include "app_driver.h"

namespace dot11b::gui_test {
namespace {

class ConnectionDialog : public AppTest {
 protected:
  // VX_SigGen(parent, record, platform) with `inWindow` run while it waits; gives response and record.
  std::pair<std::string, Value> open(Values in, const std::function<void()>& inWindow) {
    onWait = [inWindow](double) { inWindow(); };
    const Values out = call("VX_SigGen", in, 2);
    return {out.at(0).toUtf8(), out.at(1)};
  }
  std::vector<std::string> entries(const std::string& tag) {
    std::vector<std::string> out;
    const Value list = get(tag, "String");
    for (const Value& v : list.cells()) out.push_back(v.toUtf8());
    return out;
  }
  Value record(const std::string& type, double primary, double secondary, double port) {
    Value r = global("configuration");
    r.setField("type", Value::text(type));
    Value gpib = r.field("GPIB");
    gpib.setField("primary", Value::scalar(primary));
    gpib.setField("secondary", Value::scalar(secondary));
    r.setField("GPIB", gpib);
    Value rs232 = r.field("RS232");
    rs232.setField("port", Value::scalar(port));
    r.setField("RS232", rs232);
    return r;
  }
  static double number(const Value& r, const char* group, const char* field) {
    return r.field(group).field(field).scalarValue();
  }
};

TEST_F(ConnectionDialog, OpensWithTheStartValuesWithoutARecord) {
  double connectionList = 0;
  const auto [response, r] = open({}, [&] {
    connectionList = handle("pmConnection");
    EXPECT_EQ(entries("pmConnection"), (std::vector<std::string>{"RS232", "GPIB", "TCP/IP", "Radio (SoapySDR)"}));
    EXPECT_EQ(value("pmConnection"), 2);
    EXPECT_EQ(value("pmGpibBoard"), 1);
    EXPECT_EQ(value("pmPrimaryAddress"), 20);
    EXPECT_EQ(value("pmSecondaryAddress"), 1);
    EXPECT_EQ(value("pmPortNumber"), 1);
    EXPECT_EQ(entries("pmBaudRate").at(static_cast<std::size_t>(value("pmBaudRate")) - 1), "9600");
    EXPECT_EQ(entries("pmHandShake").at(static_cast<std::size_t>(value("pmHandShake")) - 1), "Xon/Xoff");
    EXPECT_EQ(text("editTCPIPAddress"), "0.0.0.0");
    EXPECT_TRUE(visible("pmPrimaryAddress"));
    EXPECT_FALSE(visible("editTCPIPAddress"));
    EXPECT_EQ(get("pmHandShake", "TooltipString").toUtf8(),
              "Set the following Instrument Parameters\r\n  Transmit Pace = None\r\n  Receive Pace  = Xon\r\n"
              "  RTS/CTS       = Off");
    click("pbOK");
  });
  EXPECT_EQ(response, "OK");
  EXPECT_EQ(r.field("type").toUtf8(), "GPIB");
  EXPECT_EQ(number(r, "GPIB", "primary"), 19);
  EXPECT_EQ(call1("Findobj", {Value::text("figureVisaAddress")}).numel(), 0u) << "the dialog is destroyed";
  // Its handles are invalid now, and reported so.
  EXPECT_THROW(call("Get", {Value::scalar(connectionList), Value::text("Value")}), std::runtime_error);
}

TEST_F(ConnectionDialog, StoredValuesOutsideTheirRangesAreLimited) {
  const auto [response, r] = open({Value::scalar(handle("main")), record("GPIB", 40, -5, 12)}, [&] {
    EXPECT_EQ(value("pmPrimaryAddress"), 31);
    EXPECT_EQ(value("pmSecondaryAddress"), 1);
    EXPECT_EQ(value("pmPortNumber"), 9);
    click("pbOK");
  });
  EXPECT_EQ(number(r, "GPIB", "primary"), 30);
  EXPECT_EQ(number(r, "GPIB", "secondary"), -1);
  EXPECT_EQ(number(r, "RS232", "port"), 9);
  EXPECT_EQ(r.field("LastParameterFilename"), global("configuration").field("LastParameterFilename"));
}

TEST_F(ConnectionDialog, StoredNumbersBetweenEntriesAreRounded) {
  Value stored = record("GPIB", 19.5, 2.4, 3.5);
  Value rs232 = stored.field("RS232");
  rs232.setField("baudrate", Value::scalar(9000));
  stored.setField("RS232", rs232);
  const auto [response, r] = open({Value::scalar(handle("main")), stored}, [&] {
    EXPECT_EQ(value("pmPrimaryAddress"), 21);
    EXPECT_EQ(value("pmSecondaryAddress"), 4);
    EXPECT_EQ(value("pmPortNumber"), 4);
    EXPECT_EQ(entries("pmBaudRate").at(static_cast<std::size_t>(value("pmBaudRate")) - 1), "9600");
    click("pbOK");
  });
  EXPECT_EQ(number(r, "GPIB", "primary"), 20);
  EXPECT_EQ(number(r, "GPIB", "secondary"), 2);
  EXPECT_EQ(number(r, "RS232", "port"), 4);
  EXPECT_EQ(number(r, "RS232", "baudrate"), 9600);
}

TEST_F(ConnectionDialog, ThePlatformLimitsTheConnections) {
  auto [cResponse, cRecord] = open({Value(), record("RS232", 19, -1, 1), Value::text("c")}, [&] {
    EXPECT_EQ(entries("pmConnection"), (std::vector<std::string>{"GPIB", "TCP/IP", "Radio (SoapySDR)"}));
    EXPECT_EQ(value("pmConnection"), 1);
    click("pbOK");
  });
  EXPECT_EQ(cRecord.field("type").toUtf8(), "GPIB");
  auto [bResponse, bRecord] = open({Value(), record("TCPIP", 19, -1, 1), Value::text("B")}, [&] {
    EXPECT_EQ(entries("pmConnection"), (std::vector<std::string>{"RS232", "GPIB", "Radio (SoapySDR)"}));
    EXPECT_EQ(value("pmConnection"), 2);
    click("pbOK");
  });
  EXPECT_EQ(bRecord.field("type").toUtf8(), "GPIB");
  // Any other text titles the dialog.
  open({Value(), Value(), Value::text("Bench")}, [&] {
    EXPECT_EQ(get("figureVisaAddress", "Name").toUtf8(), "Bench IO Connection");
    click("pbCancel");
  });
}

TEST_F(ConnectionDialog, TcpipIsPreselectedAndReturnedAsItsType) {
  const auto [response, r] = open({Value(), record("TCPIP", 19, -1, 1)}, [&] {
    EXPECT_EQ(value("pmConnection"), 3);
    EXPECT_TRUE(visible("editTCPIPAddress"));
    EXPECT_FALSE(visible("pmPrimaryAddress"));
    EXPECT_FALSE(visible("pmBaudRate"));
    set("editTCPIPAddress", "String", Value::text("10.0.0.7:5025"));
    click("pbOK");
  });
  EXPECT_EQ(r.field("type").toUtf8(), "TCPIP");
  EXPECT_EQ(r.field("TCPIP").field("address").toUtf8(), "10.0.0.7:5025");
}

TEST_F(ConnectionDialog, AnOldRecordIsConverted) {
  Value old = Value::record();
  old.setField("Connection", Value::scalar(1));
  old.setField("GPIBboard", Value::scalar(0));
  old.setField("Primary", Value::scalar(19));
  old.setField("Secondary", Value::scalar(-1));
  old.setField("RS232Port", Value::scalar(2));
  old.setField("BaudRate", Value::scalar(19200));
  old.setField("HandShake", Value::scalar(0));
  const auto [response, r] = open({Value(), old}, [&] { click("pbOK"); });
  EXPECT_EQ(r.field("type").toUtf8(), "RS232");
  EXPECT_EQ(number(r, "RS232", "baudrate"), 19200);
  EXPECT_EQ(number(r, "RS232", "port"), 2);
  EXPECT_EQ(r.field("RS232").field("handshake").toUtf8(), "None");
  EXPECT_FALSE(r.hasField("Connection"));
}

TEST_F(ConnectionDialog, EveryListedBaudRateSurvivesReopening) {
  std::vector<std::string> rates;
  open({}, [&] {
    rates = entries("pmBaudRate");
    click("pbCancel");
  });
  ASSERT_FALSE(rates.empty());
  for (const std::string& rate : rates) {
    Value r = global("configuration");
    Value rs232 = r.field("RS232");
    rs232.setField("baudrate", Value::scalar(std::stod(rate)));
    r.setField("RS232", rs232);
    const auto [response, back] = open({Value(), r}, [&] { click("pbOK"); });
    EXPECT_EQ(number(back, "RS232", "baudrate"), std::stod(rate)) << rate;
  }
}

TEST_F(ConnectionDialog, CancelAndCloseBoxAnswerCancel) {
  for (const char* ending : {"pbCancel", "figureVisaAddress"}) {
    const auto [response, r] = open({}, [&] { click(ending); });
    EXPECT_EQ(response, "Cancel") << ending;
  }
  // From the menu, Cancel keeps the application's record.
  const Value before = global("configuration");
  onWait = [&](double) {
    choose("pmConnection", 2);
    click("pbCancel");
  };
  click("menuConfigSigGenIO");
  EXPECT_EQ(global("configuration"), before);
}

TEST_F(ConnectionDialog, TheConnectionTestShowsTheModulesAnswer) {
  std::string status;
  open({Value(), record("TCPIP", 19, -1, 1)}, [&] {
    set("editTCPIPAddress", "String", Value::text("127.0.0.1:1"));
    click("pbCheckHardware");
    status = text("lblStatus");
    click("pbCancel");
  });
  EXPECT_NE(status.find("127.0.0.1"), std::string::npos) << status;
  EXPECT_EQ(status.find("Checking"), std::string::npos) << status;
}

}  // namespace
}  // namespace dot11b::gui_test
