// The firmware upgrade from the main window's Help menu: while it runs, a
// status tick, a menu click and a close of the window send nothing, and the
// close is done once the upgrade has ended.

#include <QMenu>
#include <fstream>

#include "tests/gui/MainWindowFixture.h"

namespace {

class UpgradeFromMainWindowTest : public MainWindowFixture {
 protected:
  UpgradeFromMainWindowTest() {
    // Twelve data records and the end-of-file record: two write requests.
    firmware = ::testing::TempDir() + "main-window-upgrade-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".hex";
    std::ofstream file(firmware);
    for (int i = 0; i < 12; ++i) {
      const int address = i * 4;
      const int sum = 4 + address + 0x11 + 0x22 + 0x33;
      char line[64];
      std::snprintf(line, sizeof line, ":04%04X0011223300%02X\n", address, (0x100 - (sum & 0xFF)) & 0xFF);
      file << line;
    }
    file << ":00000001FF\n";
    file.close();
    user.answerFileChoice = [this](const std::string&, const std::string&, bool) {
      return std::optional<std::string>(firmware);
    };
    // The application answers "I" and goes into its bootloader on "Q"; the
    // bootloader answers every frame at 57600 baud with more than enough bytes.
    fake->responder = [this](const Written& w) {
      if (w.baud == kBootloaderBaud && !w.bytes.empty() && w.bytes[0] == 0x01) {
        if (w.bytes.size() > 1 && w.bytes[1] == 0x03) OnWriteRequest();
        return std::vector<std::uint8_t>(8, 0x55);
      }
      if (w.baud == kTextBaud && w.Text() == "I") return TextReply("I,16bb,70", 17);
      return std::vector<std::uint8_t>{};
    };
  }

  void OnWriteRequest() {
    if (++writeRequests != 1) return;
    // Runs when the upgrade next lets pending events run, between the two
    // write requests.
    QTimer::singleShot(0, &form, [this] {
      const std::size_t before = fake->writes.size();
      menuBarredDuringUpgrade = !Action("Max1")->isEnabled() && !Action("EEPROM1")->isEnabled() &&
                                !Action("SensorUpgrade1")->isEnabled();
      form.Timer1Timer();
      Action("Max1")->trigger();
      form.close();
      sentDuringUpgrade = fake->writes.size() - before;
      closedDuringUpgrade = closed;
    });
  }

  std::string firmware;
  int writeRequests = 0;
  bool menuBarredDuringUpgrade = false;
  std::size_t sentDuringUpgrade = 99;
  int closedDuringUpgrade = -1;
  int closed = 0;
};

TEST_F(UpgradeFromMainWindowTest, TicksClicksAndACloseWaitForTheUpgrade) {
  QObject::connect(&form, &TForm1::Closed, [this] { ++closed; });
  form.Timer1()->start();

  Action("SensorUpgrade1")->trigger();

  EXPECT_EQ(writeRequests, 2);
  EXPECT_TRUE(menuBarredDuringUpgrade);
  EXPECT_EQ(sentDuringUpgrade, 0u);
  EXPECT_EQ(closedDuringUpgrade, 0);
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().entry, 138) << messages.back().text;
  EXPECT_EQ(closed, 1) << "the held-back close is done once the upgrade ends";
  EXPECT_EQ(fake->writes.back().bytes, std::vector<std::uint8_t>({0x02, 0x0D}));
  EXPECT_EQ(fake->baud, kTextBaud);
  EXPECT_FALSE(form.FirmwareFile().IsOpen());
  EXPECT_EQ(form.Link().m_fwversion, 0x70u);
}

TEST_F(UpgradeFromMainWindowTest, CancellingTheFileChoiceChangesNothing) {
  user.answerFileChoice = [](const std::string&, const std::string&, bool) { return std::optional<std::string>(); };
  form.Timer1()->start();
  Action("SensorUpgrade1")->trigger();
  EXPECT_TRUE(fake->writes.empty());
  EXPECT_TRUE(form.Timer1()->isActive());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].entry, 132);
  EXPECT_TRUE(Action("SensorUpgrade1")->isEnabled());
}

}  // namespace
