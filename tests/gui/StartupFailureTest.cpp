// How start-up ends when the search finds no sensor: with no port at all the
// message comes and the program ends, sending nothing; with one silent port
// "Comms:Fail" is shown before the message and the window stays open.

#include <fcntl.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/gui/MainWindowFixture.h"
#include "link/Commsthread.h"
#include "link/PortSearch.h"
#include "tests/support/Pty.h"

namespace {

// A silent port that opens only when the port table names its number.
class TablePort : public FakeChannel {
 public:
  TablePort(VirtualClock& clock, const PortMap& table, std::vector<TablePort*>& opened)
      : FakeChannel(clock), table_(table), opened_(opened) {}
  bool OpenPort(int p, int b) override {
    if (table_.Device(p).empty()) return false;
    opened_.push_back(this);
    return FakeChannel::OpenPort(p, b);
  }

 private:
  const PortMap& table_;
  std::vector<TablePort*>& opened_;
};

class StartupFailureTest : public MainWindowFixture {
 protected:
  StartupFailureTest() {
    form.Link().m_comnum = kNoPort;
    form.SetDataFolder(ports.DataFolder());
    form.SetDebugLogPath(ports.DataFolder() + "/debug.log");
    // Every port of the table opens, and nothing answers.
    form.SetChannelFactory([this](const PortMap& table) -> std::unique_ptr<Channel> {
      return std::make_unique<TablePort>(clock, table, opened);
    });
    user.answerMessage = [this](const Message& message) {
      messages.push_back(message);
      commsWhenMessageShown = LabelText("lbComms");
      return MessageAnswer::Ok;
    };
    QObject::connect(&form, &TForm1::Closed, [this] { ++closed; });
  }

  PortsFolder ports;
  std::vector<TablePort*> opened;
  QString commsWhenMessageShown;
  int closed = 0;
};

TEST_F(StartupFailureTest, NoPortAtAllShowsTheMessageAndEndsSendingNothing) {
  form.FormShow();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            "Cannot communicate with sensor. Please close GUI, powercycle sensor and restart GUI.\n\n"
            "If problem persists please refer to Oil Condition Monitoring Sensor manual.");
  EXPECT_EQ(messages[0].title, 128);
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(opened.empty());
}

TEST_F(StartupFailureTest, DevicesThatWouldNotOpenAreNamedWithWhatToDo) {
  ports.Link(2, "/dev/null");
  ports.Link(3, ports.Home() + "/gone");
  // The serial ports as the configurator opens them, COM2 refused to this user.
  form.SetChannelFactory([](const PortMap& table) -> std::unique_ptr<Channel> {
    auto channel = std::make_unique<TCommsThread>(table);
    channel->openDevice = [](const char* path, int flags) {
      if (std::string(path).find("com2") == std::string::npos) return ::open(path, flags);
      errno = EACCES;
      return -1;
    };
    return channel;
  });
  form.FormShow();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            "Cannot communicate with sensor. Please close GUI, powercycle sensor and restart GUI.\n\n"
            "If problem persists please refer to Oil Condition Monitoring Sensor manual.\n\n"
            "The serial device /dev/null may not be opened by your user. Join the dialout group "
            "(sudo adduser $USER dialout), then log out and in again.");
  EXPECT_EQ(closed, 1);
  std::ifstream in(ports.DataFolder() + "/debug.log", std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(log,
            "\r\nCOM02 /dev/null: permission denied (join the dialout group: sudo adduser $USER dialout, then "
            "log in again)\r\nCOM03 " + ports.Home() + "/gone: no such device");
}

TEST_F(StartupFailureTest, ASilentPortShowsCommsFailThenTheMessage) {
  ports.Link(2, "/dev/null");
  form.FormShow();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(commsWhenMessageShown, QString("Comms:Fail"));
  EXPECT_EQ(closed, 0);
  EXPECT_FALSE(form.Timer1()->isActive());
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]->Texts(), std::vector<std::string>(6, "I"));
}

}  // namespace
