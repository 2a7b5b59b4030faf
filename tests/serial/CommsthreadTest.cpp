// The serial channel over a real pseudo-terminal: the test plays the sensor
// on the master side.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "link/Commsthread.h"
#include "tests/support/Pty.h"

namespace {
using namespace std::chrono_literals;

// The threads of this process, by task id.
std::set<int> Tasks() {
  std::set<int> tasks;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    tasks.insert(std::stoi(entry.path().filename().string()));
  }
  return tasks;
}

// How often a thread has been switched out, voluntarily or not.
long ContextSwitches(int tid) {
  std::ifstream status("/proc/self/task/" + std::to_string(tid) + "/status");
  long total = 0;
  std::string line;
  while (std::getline(status, line)) {
    if (line.find("ctxt_switches:") != std::string::npos) total += std::stol(line.substr(line.find(':') + 1));
  }
  return total;
}

// The reader of COM port `port`, by its thread's name; -1 when there is none.
int ReaderTask(int port) {
  for (int task : Tasks()) {
    std::ifstream comm("/proc/self/task/" + std::to_string(task) + "/comm");
    std::string name;
    std::getline(comm, name);
    if (name == "COM" + std::to_string(port) + " reader") return task;
  }
  return -1;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 3000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class CommsthreadTest : public ::testing::Test {
 protected:
  CommsthreadTest() : map(PortMap::FromEntries({{3, pty.SlavePath()}, {5, "/dev/od-no-such-device"}})) {}

  std::vector<std::uint8_t> Stored(const TCommsThread& channel) {
    std::vector<std::uint8_t> bytes(TCommsThread::kBufferSize + 10, 0xEE);
    bytes.resize(channel.CopyOut(bytes.data(), bytes.size()));
    return bytes;
  }

  Pty pty;
  PortMap map;
};
}  // namespace

TEST_F(CommsthreadTest, OpensRawAtTheGivenRateAndWritesUnchanged) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 19200)) << channel.LastOpenErrorText();
  EXPECT_EQ(pty.Baud(), 19200);
  const std::vector<std::uint8_t> bytes = {0x02, 0x0A, 0x0D, 0x00, 0x11, 0x13, 0x7F, 0xFF, 0x0D};
  ASSERT_TRUE(channel.WriteBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(pty.ReadFor(200), bytes);
  ASSERT_TRUE(channel.SetBaud(57600));
  EXPECT_EQ(pty.Baud(), 57600);
}

TEST_F(CommsthreadTest, StoresEveryByteAndFlushStartsAgainFromZero) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 19200));
  channel.StartReader();
  const std::vector<std::uint8_t> reply = {0x0A, 0x0D, 0x00, 0x02, 0x04, 0x10, 0x2D, 0x11, 0x13};
  pty.Write(reply);
  ASSERT_TRUE(WaitFor([&] { return channel.Available() == 9; }));
  EXPECT_EQ(Stored(channel), reply);
  std::uint8_t two[2] = {0, 0};
  EXPECT_EQ(channel.CopyOut(two, 2), 2u) << "never beyond the caller's capacity";

  channel.Flush();
  EXPECT_EQ(channel.Available(), 0);
  pty.Write({0x41, 0x42});
  ASSERT_TRUE(WaitFor([&] { return channel.Available() == 2; }));
  EXPECT_EQ(Stored(channel), (std::vector<std::uint8_t>{0x41, 0x42}));
}

TEST_F(CommsthreadTest, BytesBeyondTheBufferAreDropped) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 57600));
  channel.StartReader();
  std::vector<std::uint8_t> flood(5000);
  for (std::size_t i = 0; i < flood.size(); ++i) flood[i] = static_cast<std::uint8_t>(i);
  std::thread writer([&] { pty.Write(flood); });
  ASSERT_TRUE(WaitFor([&] { return channel.Available() == 4100; }, 10000ms));
  writer.join();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(channel.Available(), 4100);
  const std::vector<std::uint8_t> stored = Stored(channel);
  EXPECT_TRUE(std::equal(stored.begin(), stored.end(), flood.begin()));
}

TEST_F(CommsthreadTest, OpenFailures) {
  TCommsThread held(map);
  ASSERT_TRUE(held.OpenPort(3, 19200));

  TCommsThread second(map);
  EXPECT_FALSE(second.OpenPort(3, 19200));
  EXPECT_EQ(second.LastOpenError(), OpenError::HeldByAnotherProgram);

  EXPECT_FALSE(second.OpenPort(5, 19200));
  EXPECT_EQ(second.LastOpenError(), OpenError::NoSuchDevice);
  EXPECT_FALSE(second.OpenPort(42, 19200)) << "a number the table does not name";
  EXPECT_EQ(second.LastOpenError(), OpenError::NoSuchDevice);

  // Port 0 fails at once, leaving the port this object holds open.
  EXPECT_FALSE(held.OpenPort(0, 19200));
  const std::uint8_t ping = 0x49;
  EXPECT_TRUE(held.WriteBytes(&ping, 1));
  EXPECT_EQ(pty.ReadFor(200), (std::vector<std::uint8_t>{0x49}));
}

TEST_F(CommsthreadTest, HeldByAProgramThatTookTheLock) {
  const int other = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  TCommsThread channel(map);
  EXPECT_FALSE(channel.OpenPort(3, 19200));
  EXPECT_EQ(channel.LastOpenError(), OpenError::HeldByAnotherProgram);
  ::close(other);
  EXPECT_TRUE(channel.OpenPort(3, 19200)) << "free again once the holder lets go";
}

TEST_F(CommsthreadTest, PermissionDenied) {
  TCommsThread channel(map);
  channel.openDevice = [](const char*, int) {
    errno = EACCES;
    return -1;
  };
  EXPECT_FALSE(channel.OpenPort(3, 19200));
  EXPECT_EQ(channel.LastOpenError(), OpenError::PermissionDenied);
}

TEST_F(CommsthreadTest, AStopIsHonouredOnlyAfterAnEmptyRead) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 57600));
  // 3000 bytes wait on the line when the reader starts and is told to stop:
  // it stores them all, in several reads, before the read that finds nothing.
  pty.Write(std::vector<std::uint8_t>(3000, 0x55));
  channel.StartReader();
  channel.RequestStop();
  ASSERT_TRUE(WaitFor([&] { return !channel.ReaderRunning(); }, 10000ms));
  EXPECT_EQ(channel.Available(), 3000);
}

TEST_F(CommsthreadTest, AQuietLineCostsTheReaderNoWakeUps) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 19200));
  channel.StartReader();
  int tid = -1;
  ASSERT_TRUE(WaitFor([&] { return (tid = ReaderTask(3)) > 0; }));
  pty.Write({0x41});
  ASSERT_TRUE(WaitFor([&] { return channel.Available() == 1; }));
  std::this_thread::sleep_for(20ms);

  const long switches = ContextSwitches(tid);
  std::this_thread::sleep_for(300ms);
  // A reader that looked every millisecond would have woken about 300 times.
  EXPECT_LE(ContextSwitches(tid) - switches, 2);

  pty.Write({0x42});
  ASSERT_TRUE(WaitFor([&] { return channel.Available() == 2; }));
  EXPECT_FALSE(channel.Gone()) << "an idle live port is not a hang-up";
}

TEST_F(CommsthreadTest, AFarEndThatClosesLeavesTheChannelGone) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const PortMap table = PortMap::FromEntries({{7, ::ptsname(master)}, {3, pty.SlavePath()}});
  TCommsThread channel(table);
  ASSERT_TRUE(channel.OpenPort(7, 19200));
  channel.StartReader();
  ASSERT_TRUE(WaitFor([&] { return ReaderTask(7) > 0; }));
  const std::uint8_t two[2] = {0x0A, 0x0D};
  ASSERT_EQ(::write(master, two, 2), 2);
  ASSERT_TRUE(WaitFor([&] { return channel.Available() == 2; }));
  EXPECT_FALSE(channel.Gone());

  // The far end goes away while a reply is awaited: the waiter wakes at
  // once, not at its five-second timeout, with what had arrived.
  std::thread unplug([master] {
    std::this_thread::sleep_for(50ms);
    ::close(master);
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(channel.WaitForCount(17, 5'000'000), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
  unplug.join();
  EXPECT_TRUE(channel.Gone());
  EXPECT_TRUE(WaitFor([&] { return !channel.ReaderRunning() && ReaderTask(7) < 0; })) << "the reader stops";
  EXPECT_EQ(Stored(channel), (std::vector<std::uint8_t>(two, two + 2)));

  EXPECT_FALSE(channel.WriteBytes(two, 2));
  EXPECT_FALSE(channel.SetBaud(57600));
  const auto again = std::chrono::steady_clock::now();
  EXPECT_EQ(channel.WaitForCount(3, 5'000'000), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - again, 100ms) << "a wait on a gone channel ends at once";
  EXPECT_TRUE(channel.ClosePort());

  // The same object opens a device again, and reads from it.
  ASSERT_TRUE(channel.OpenPort(3, 19200));
  EXPECT_FALSE(channel.Gone());
  channel.StartReader();
  pty.Write({0x49});
  EXPECT_TRUE(WaitFor([&] { return channel.Available() == 1; }));
}

TEST_F(CommsthreadTest, StopAndCloseWakeASleepingReaderAtOnce) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 19200));
  channel.StartReader();
  std::this_thread::sleep_for(20ms);
  auto start = std::chrono::steady_clock::now();
  channel.RequestStop();
  ASSERT_TRUE(WaitFor([&] { return !channel.ReaderRunning(); }));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);

  channel.StartReader();
  std::this_thread::sleep_for(20ms);
  start = std::chrono::steady_clock::now();
  EXPECT_TRUE(channel.ClosePort());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_FALSE(channel.ReaderRunning());
}

TEST_F(CommsthreadTest, AWaiterWakesOnceItsCountIsInAndOtherwiseAtItsTimeout) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 19200));
  channel.StartReader();
  EXPECT_EQ(channel.LineRate(), 19200);

  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(channel.WaitForCount(1, 30'000), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);

  std::thread sensor([&] {
    std::this_thread::sleep_for(50ms);
    pty.Write({0x0A});
    std::this_thread::sleep_for(50ms);
    pty.Write({0x0D});
  });
  start = std::chrono::steady_clock::now();
  const int count = channel.WaitForCount(2, 5'000'000);
  const auto took = std::chrono::steady_clock::now() - start;
  sensor.join();
  EXPECT_EQ(count, 2);
  EXPECT_GE(took, 90ms) << "the first byte alone does not end the wait";
  EXPECT_LT(took, 1000ms) << "woken by the second byte, not by the five-second timeout";
  EXPECT_EQ(Stored(channel), (std::vector<std::uint8_t>{0x0A, 0x0D}));
}

TEST_F(CommsthreadTest, APortThatRefusesLowLatencyStillOpens) {
  TCommsThread channel(map);
  // Taken for a USB adapter: a pseudo-terminal refuses the serial settings.
  channel.Latency().resolve = [](const std::string&) { return std::string("/dev/ttyUSB0"); };
  ASSERT_TRUE(channel.OpenPort(3, 19200)) << channel.LastOpenErrorText();
  channel.StartReader();
  pty.Write({0x49});
  ASSERT_TRUE(WaitFor([&] { return channel.Available() == 1; }));
  EXPECT_TRUE(channel.ClosePort());
}

TEST_F(CommsthreadTest, ClosingWhileBytesKeepArrivingReturnsPromptly) {
  TCommsThread channel(map);
  ASSERT_TRUE(channel.OpenPort(3, 57600));
  channel.StartReader();
  std::atomic<bool> talking{true};
  std::thread sensor([&] {
    const std::vector<std::uint8_t> chunk(16, 0x5A);
    while (talking) {
      pty.Write(chunk);
      std::this_thread::sleep_for(200us);
    }
  });
  std::this_thread::sleep_for(30ms);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(channel.ClosePort());
  const auto took = std::chrono::steady_clock::now() - start;
  talking = false;
  sensor.join();
  EXPECT_LT(took, 500ms);
  EXPECT_FALSE(channel.ReaderRunning());
  EXPECT_TRUE(channel.ClosePort()) << "closing a closed port is fine";
}
