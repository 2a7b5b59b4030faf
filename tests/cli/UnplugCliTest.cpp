// The simulated sensor is killed in the middle of a command (its side of the
// pseudo-terminal closes, as an unplugged adapter does): the command ends at
// once, naming the device that went away, with exit status 1; a status watch
// waits for the device to come back and takes the sensor up again.
#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "tests/support/Process.h"
#include "tests/support/Pty.h"
#include "tests/support/SensorSimProcess.h"

namespace {
using namespace std::chrono_literals;

const std::string kFirmware = std::string(OD_TESTDATA_DIR) + "/pic24fj256gb106-buspirate-v4-bootloader.hex";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(CliUnplug, TheDeviceGoesAwayDuringAStatusPollARegisterReadAndAFirmwareWrite) {
  struct Case {
    const char* name;
    std::vector<std::string> simSwitches;
    std::vector<std::string> command;
    // The simulator's log line after which it is killed: the request it
    // is answering (late, or busy with it) at that moment.
    const char* killAt;
  } const cases[] = {
      {"status poll", {"--delay", "600"}, {"status"}, "text \"A\""},
      {"register read", {"--delay", "600"}, {"read", "1e"}, "text \"R 001e 02\""},
      {"firmware write", {"--erase-ms", "100", "--write-ms", "400"}, {"upgrade", kFirmware}, "write records="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PortsFolder home;
    const std::string log = home.Home() + "/sim.log";
    std::vector<std::string> arguments = {"--com", "5", "--home", home.Home(), "--log", log};
    arguments.insert(arguments.end(), c.simSwitches.begin(), c.simSwitches.end());
    SensorSimProcess sim(arguments);
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    const std::string device = sim.Device();

    std::vector<std::string> argv = {OD_CLI_PATH, "--port", "COM5"};
    argv.insert(argv.end(), c.command.begin(), c.command.end());
    ProcessResult result;
    std::chrono::steady_clock::time_point ended;
    std::thread cli([&] {
      result = RunProcess(argv, home.Home(), 30000);
      ended = std::chrono::steady_clock::now();
    });
    const auto limit = std::chrono::steady_clock::now() + 20s;
    while (ReadFile(log).find(c.killAt) == std::string::npos && std::chrono::steady_clock::now() < limit) {
      std::this_thread::sleep_for(2ms);
    }
    const bool reached = ReadFile(log).find(c.killAt) != std::string::npos;
    sim.Stop(SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    cli.join();
    ASSERT_TRUE(reached) << ReadFile(log);

    EXPECT_EQ(result.status, 1) << result.err;
    const std::string said = "oil-debris-cli: the serial device " + device + " was disconnected\n";
    ASSERT_GE(result.err.size(), said.size()) << result.err;
    EXPECT_EQ(result.err.substr(result.err.size() - said.size()), said) << result.err;
    // Not after the reply's polls (one second for the status, ten for a
    // write acknowledgement) or the watch's next failures.
    EXPECT_LT(ended - killed, 800ms);
  }
}

TEST(CliUnplug, AWatchTakesTheSensorUpAgainWhenItsDeviceComesBack) {
  PortsFolder home;
  auto sim = std::make_unique<SensorSimProcess>(std::vector<std::string>{"--com", "5", "--home", home.Home()});
  ASSERT_TRUE(sim->Ready()) << sim->Output();
  const std::string firstDevice = sim->Device();
  std::atomic<int> pid{0};
  ProcessResult result;
  std::thread cli([&] {
    result = RunProcess({OD_CLI_PATH, "--port", "COM5", "status", "--watch"}, home.Home(), 60000,
                        [&](int running) { pid = running; });
  });
  while (pid == 0) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(1500ms);
  // The adapter is pulled: its device goes, and so does its name.
  sim->Stop(SIGKILL);
  std::this_thread::sleep_for(200ms);
  std::filesystem::remove(home.DataFolder() + "/ports/com5");
  std::this_thread::sleep_for(1500ms);

  const std::string log = home.Home() + "/second.log";
  sim = std::make_unique<SensorSimProcess>(
      std::vector<std::string>{"--com", "5", "--home", home.Home(), "--log", log});
  if (!sim->Ready()) {
    ::kill(pid, SIGINT);
    cli.join();
    FAIL() << sim->Output();
  }
  const auto limit = std::chrono::steady_clock::now() + 20s;
  while (ReadFile(log).find("text \"A\"") == std::string::npos && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(20ms);
  }
  std::this_thread::sleep_for(600ms);  // one more reading
  ::kill(pid, SIGINT);
  cli.join();

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find("the serial device " + firstDevice + " was disconnected"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("is back, the sensor answers"), std::string::npos) << result.err;
  // The start-up's final steps, then the status poll, on the device that came back.
  const std::vector<std::string> requests = LoggedRequests(log);
  ASSERT_GE(requests.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(requests.begin(), requests.begin() + 5),
            (std::vector<std::string>{"I", "", "U 5E2B", "R 001e 02", "A"}));
  // Readings before the unplug and after the return.
  std::size_t readings = 0;
  for (std::size_t at = result.out.find("coarse "); at != std::string::npos; at = result.out.find("coarse ", at + 1)) {
    ++readings;
  }
  EXPECT_GE(readings, 3u) << result.out;
}
