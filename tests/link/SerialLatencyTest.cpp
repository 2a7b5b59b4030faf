// The low-latency request for USB serial adapters, with the serial-settings
// ioctl played by the test.
#include <gtest/gtest.h>

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "link/SerialLatency.h"

namespace {
constexpr int kSkipTest = ASYNC_SKIP_TEST;
constexpr int kLowLatency = ASYNC_LOW_LATENCY;

// An adapter's serial settings: what TIOCGSERIAL shows and TIOCSSERIAL takes.
struct FakeAdapter {
  int flags = kSkipTest;
  bool refusesGet = false;
  bool refusesSet = false;
  std::vector<std::string> calls;

  void Attach(SerialLatency& latency, const std::string& resolvesTo) {
    latency.resolve = [resolvesTo](const std::string&) { return resolvesTo; };
    latency.control = [this](int, unsigned long request, serial_struct* settings) {
      if (request == TIOCGSERIAL) {
        calls.push_back("get");
        if (refusesGet) {
          errno = ENOTTY;
          return -1;
        }
        settings->flags = flags;
        return 0;
      }
      calls.push_back("set " + std::to_string(settings->flags));
      if (refusesSet) {
        errno = EPERM;
        return -1;
      }
      flags = settings->flags;
      return 0;
    };
  }
};
}  // namespace

TEST(SerialLatency, OnlyUsbSerialAdaptersAreAsked) {
  struct Case {
    const char* path;
    bool usb;
  } const cases[] = {
      {"/dev/ttyUSB0", true}, {"/dev/ttyUSB12", true}, {"/dev/ttyUSB", false}, {"/dev/ttyUSB0x", false},
      {"/dev/ttyACM0", false}, {"/dev/ttyS0", false},  {"/dev/pts/3", false},  {"/tmp/ttyUSB0", false},
  };
  for (const Case& c : cases) EXPECT_EQ(SerialLatency::IsUsbAdapter(c.path), c.usb) << c.path;

  SerialLatency latency;
  FakeAdapter adapter;
  adapter.Attach(latency, "/dev/ttyACM0");
  EXPECT_FALSE(latency.Request(5, "/home/u/ports/com3"));
  latency.Restore(5);
  EXPECT_TRUE(adapter.calls.empty());
}

TEST(SerialLatency, SwitchedOnAtOpenAndBackOffAtClose) {
  SerialLatency latency;
  FakeAdapter adapter;
  adapter.Attach(latency, "/dev/ttyUSB0");
  EXPECT_TRUE(latency.Request(5, "/home/u/ports/com3"));
  EXPECT_EQ(adapter.flags, kSkipTest | kLowLatency);
  latency.Restore(5);
  EXPECT_EQ(adapter.flags, kSkipTest) << "the other flags stay as they were";
  EXPECT_EQ(adapter.calls, (std::vector<std::string>{"get", "set 8256", "get", "set 64"}));
  latency.Restore(5);
  EXPECT_EQ(adapter.calls.size(), 4u) << "restored once";
}

TEST(SerialLatency, AnAdapterAlreadyInLowLatencyIsLeftAsItIs) {
  SerialLatency latency;
  FakeAdapter adapter;
  adapter.flags = kLowLatency;
  adapter.Attach(latency, "/dev/ttyUSB1");
  EXPECT_TRUE(latency.Request(5, "/dev/ttyUSB1"));
  latency.Restore(5);
  EXPECT_EQ(adapter.flags, kLowLatency);
  EXPECT_EQ(adapter.calls, (std::vector<std::string>{"get"}));
}

TEST(SerialLatency, ARefusalIsIgnored) {
  for (bool refusesGet : {true, false}) {
    SerialLatency latency;
    FakeAdapter adapter;
    adapter.refusesGet = refusesGet;
    adapter.refusesSet = true;
    adapter.Attach(latency, "/dev/ttyUSB0");
    EXPECT_FALSE(latency.Request(5, "/dev/ttyUSB0"));
    latency.Restore(5);
    EXPECT_EQ(adapter.flags, kSkipTest);
    EXPECT_EQ(adapter.calls.size(), refusesGet ? 1u : 2u) << "nothing to put back";
  }
}
