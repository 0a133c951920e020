// SPDX-License-Identifier: GPL-3.0-or-later
// The MAC header dialog, opened from the panel's set-up button and scripted while it waits.
#include "app_driver.h"

namespace dot11b::gui_test {
namespace {

class MacHeaderDialog : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    check("chkMACheader", true);
  }
  // Opens the dialog, runs `edit` while it waits, and returns once it has closed.
  void openWith(const std::function<void()>& edit) {
    onWait = [edit](double) { edit(); };
    click("pbMACheaderSetup");
  }
  Value contents() { return global("parameters").field("MACheader").field("Contents"); }
  Value bits() { return global("MACheader").field("BitStream"); }
  std::vector<double> bitRange(std::size_t from, std::size_t count) {
    const std::vector<double> all = bits().real();
    return {all.begin() + static_cast<long>(from), all.begin() + static_cast<long>(from + count)};
  }
};

TEST_F(MacHeaderDialog, OpensWithTheDefaultRecord) {
  openWith([&] {
    for (const char* f : {"FrameCntrl", "DurationID", "SeqCntrl"}) {
      EXPECT_EQ(text(std::string("txt") + f), "0000");
      EXPECT_EQ(value(std::string("chk") + f), 1);
    }
    for (const char* f : {"Address1", "Address2", "Address3", "Address4"}) {
      EXPECT_EQ(text(std::string("txt") + f), "000000000000");
    }
    EXPECT_EQ(bits().numel(), 240u);
    click("pbCancel");
  });
}

TEST_F(MacHeaderDialog, HexadecimalEntriesAreStoredClampedAndShownNormalised) {
  openWith([&] {
    type("txtDurationID", "1a");
    EXPECT_EQ(global("MACheader").field("DurationID").field("Contents").scalarValue(), 26);
    EXPECT_EQ(text("txtDurationID"), "001A");
    EXPECT_EQ(bitRange(16, 16), (std::vector<double>{0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    type("txtFrameCntrl", "0208");
    EXPECT_EQ(bitRange(0, 16), (std::vector<double>{0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
    type("txtSeqCntrl", "12345");
    EXPECT_EQ(text("txtSeqCntrl"), "FFFF");
    type("txtAddress2", "FFFFFFFFFFFFFF");
    EXPECT_EQ(global("MACheader").field("Address2").field("Contents").scalarValue(), 281474976710655.0);
    EXPECT_EQ(text("txtAddress2"), "FFFFFFFFFFFF");
    // Text that is no hexadecimal number changes nothing; the field keeps what was typed until redrawn.
    type("txtAddress1", "xyz");
    EXPECT_EQ(global("MACheader").field("Address1").field("Contents").scalarValue(), 0);
    type("txtAddress1", "");
    EXPECT_EQ(global("MACheader").field("Address1").field("Contents").scalarValue(), 0);
    click("pbOK");
  });
  EXPECT_EQ(contents().field("DurationID").field("Contents").scalarValue(), 26);
  EXPECT_EQ(contents().field("SeqCntrl").field("Contents").scalarValue(), 65535);
}

TEST_F(MacHeaderDialog, ClearingAnAddressShortensTheHeader) {
  openWith([&] {
    check("chkAddress4", false);
    EXPECT_FALSE(enabled("txtAddress4"));
    EXPECT_EQ(bits().numel(), 192u);
    click("pbOK");
  });
  EXPECT_EQ(global("parameters").field("MACheader").field("Length").scalarValue(), 24);
  EXPECT_EQ(parameter("totalLength"), 1048);
  EXPECT_EQ(text("txtTotalLength"), "1048");
}

TEST_F(MacHeaderDialog, CancelAndCloseBoxKeepTheStoredRecord) {
  const Value before = contents();
  for (const char* ending : {"pbCancel", "figMACconfig"}) {
    openWith([&] {
      type("txtDurationID", "ABCD");
      click(ending);
    });
    EXPECT_EQ(contents(), before) << ending;
  }
  // The next opening shows the stored record again.
  openWith([&] {
    EXPECT_EQ(text("txtDurationID"), "0000");
    click("pbOK");
  });
}

}  // namespace
}  // namespace dot11b::gui_test
