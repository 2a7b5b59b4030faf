// The simulated sensor is killed in the middle of a command (its side of the
// pseudo-terminal closes, as an unplugged adapter does): the command ends at
// once, naming the device that went away, with exit status 1.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <fstream>
#include <iterator>
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
      {"status poll", {"--delay", "600"}, {"status", "--watch"}, "text \"A\""},
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
