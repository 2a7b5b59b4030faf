// `upgrade` from the command line against the simulated sensor over a
// pseudo-terminal: the sensor checks the programmed image against the
// verify request itself, so a success here means the image arrived whole.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "tests/support/SensorSimProcess.h"
#include "tests/support/Process.h"
#include "tests/support/Pty.h"

namespace {
const std::string kFirmware = std::string(OD_TESTDATA_DIR) + "/pic24fj256gb106-buspirate-v4-bootloader.hex";
// 137 lines: fourteen write requests.
const std::string kSmallFirmware = std::string(OD_TESTDATA_DIR) + "/dspic33fj128gp204-webplatform-ds33intro.hex";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Upgrade {
  PortsFolder home;
  std::string log = home.Home() + "/sim.log";

  ProcessResult Run(const std::vector<std::string>& simSwitches, const std::string& firmware) {
    std::vector<std::string> arguments = {"--com", "5", "--home", home.Home(), "--log", log, "--erase-ms", "100"};
    arguments.insert(arguments.end(), simSwitches.begin(), simSwitches.end());
    SensorSimProcess sim(arguments);
    EXPECT_TRUE(sim.Ready()) << sim.Output();
    return RunProcess({OD_CLI_PATH, "--port", "COM5", "upgrade", firmware}, home.Home());
  }
};
}  // namespace

TEST(CliUpgrade, ProgramsTheSensorAndIdentifiesTheNewApplication) {
  Upgrade upgrade;
  const ProcessResult r = upgrade.Run({"--fw", "5819.112"}, kFirmware);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "FW-5819.112\n") << "the new application's version, as identify prints it";
  EXPECT_NE(r.err.find("Application programmed"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Downloading firmware"), std::string::npos) << "progress on stderr";
  const std::string log = ReadFile(upgrade.log);
  EXPECT_NE(log.find("text \"Q\""), std::string::npos) << "the running application was sent to its bootloader";
  EXPECT_NE(log.find(" match"), std::string::npos) << log;
  EXPECT_NE(log.find("application running"), std::string::npos);
}

TEST(CliUpgrade, ARefusedFileIsNamedOnceWithItsReason) {
  PortsFolder home;
  const std::string missing = home.Home() + "/missing.hex";
  ProcessResult r = RunProcess({OD_CLI_PATH, "--port", "COM5", "upgrade", missing}, home.Home());
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Error: Cannot import hex file\n  cannot open " + missing + ": No such file or directory\n");
  const std::string bad = home.Home() + "/bad.hex";
  std::ofstream(bad) << ":0400000001020304F2\nxyz\n:00000001FF\n";
  r = RunProcess({OD_CLI_PATH, "--port", "COM5", "upgrade", bad}, home.Home());
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Error: Cannot import hex file\n  " + bad + ": line 2: the line does not begin with a colon\n");
}

TEST(CliUpgrade, FailuresExitWithTheFailedStepsMessage) {
  struct Case {
    std::vector<std::string> simSwitches;
    std::string firmware;
    int status;
    const char* message;
  } const cases[] = {
      // Left in its bootloader by an earlier upgrade: not identified, not
      // rebooted, and its version request goes unanswered.
      {{"--boot", "--boot-silent", "1"}, kFirmware, 1, "Cannot read Bootloader version"},
      // The run request is not heard: the sensor stays in its bootloader.
      {{"--boot-silent", "5"}, kSmallFirmware, 1, "the application was programmed but does not answer"},
      {{}, std::string(OD_TESTDATA_DIR) + "/arm-stm32f042-daytripper-rx-keil.hex", 2,
       "Cannot import hex file"},
  };
  for (const Case& c : cases) {
    Upgrade upgrade;
    const ProcessResult r = upgrade.Run(c.simSwitches, c.firmware);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    if (c.status == 2) {
      EXPECT_NE(r.err.find("no data lies below 0x7FC000"), std::string::npos) << r.err;
      EXPECT_EQ(ReadFile(upgrade.log).find("text"), std::string::npos) << "a refused file sends nothing";
    }
  }
}

TEST(CliUpgrade, ASignalInTheBootloaderPhasePutsThePortBackAndSaysWhatTheSensorIsLeftIn) {
  struct Case {
    const char* name;
    std::vector<std::string> simSwitches;
    const char* logLine;  // the request during which the signals are sent
    std::vector<int> signals;
    int status;
    const char* said;  // "" : nothing, the program ended at once
  } const cases[] = {
      {"Ctrl-C while writing", {"--write-ms", "60"}, "write records=", {SIGINT}, 130,
       "oil-debris-cli: upgrade interrupted by SIGINT: the sensor stays in its bootloader with a partly written "
       "application; run upgrade again\n"},
      {"SIGTERM while erasing", {"--erase-ms", "20000"}, " erase busy", {SIGTERM}, 143,
       "oil-debris-cli: upgrade interrupted by SIGTERM: the sensor stays in its bootloader with its application "
       "possibly partly erased; run upgrade again\n"},
      {"SIGHUP while erasing", {"--erase-ms", "20000"}, " erase busy", {SIGHUP}, 129,
       "oil-debris-cli: upgrade interrupted by SIGHUP: the sensor stays in its bootloader with its application "
       "possibly partly erased; run upgrade again\n"},
      // Two signals of one kind may merge into one while pending; two kinds cannot.
      {"a second signal ends it at once", {"--erase-ms", "20000"}, " erase busy", {SIGINT, SIGTERM}, 143, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PortsFolder home;
    const std::string log = home.Home() + "/sim.log";
    std::vector<std::string> arguments = {"--com", "5", "--home", home.Home(), "--log", log};
    arguments.insert(arguments.end(), c.simSwitches.begin(), c.simSwitches.end());
    SensorSimProcess sim(arguments);
    ASSERT_TRUE(sim.Ready()) << sim.Output();

    bool sent = false;
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult r = RunProcess(
        {OD_CLI_PATH, "--port", "COM5", "upgrade", kSmallFirmware}, home.Home(), 60000, [&](int pid) {
          if (sent || ReadFile(log).find(c.logLine) == std::string::npos) return;
          for (int signal : c.signals) ::kill(pid, signal);
          sent = true;
        });
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    ASSERT_TRUE(sent) << r.err;
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_LT(seconds.count(), 15) << "the erase's 20 s are not waited out";
    EXPECT_EQ(r.err.find("Application programmed"), std::string::npos) << r.err;
    if (*c.said == '\0') {
      EXPECT_EQ(r.err.find("interrupted"), std::string::npos) << r.err;
      continue;
    }
    ASSERT_GE(r.err.size(), std::string(c.said).size()) << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - std::string(c.said).size()), c.said);
    EXPECT_EQ(ReadFile(log).find("verify"), std::string::npos) << "nothing more was sent";
    EXPECT_EQ(ReadFile(log).find("run:"), std::string::npos);

    // The port was left at the text protocol's rate.
    const int fd = ::open(sim.Device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    termios settings{};
    ASSERT_EQ(::tcgetattr(fd, &settings), 0);
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B19200));
    ::close(fd);
  }
}

TEST(CliUpgrade, AnInterruptedUpgradeIsRunAgainOnTheSensorLeftInItsBootloader) {
  PortsFolder home;
  const std::string log = home.Home() + "/sim.log";
  SensorSimProcess sim({"--com", "5", "--home", home.Home(), "--log", log, "--write-ms", "60", "--fw", "5819.112"});
  ASSERT_TRUE(sim.Ready()) << sim.Output();
  bool sent = false;
  ProcessResult r = RunProcess({OD_CLI_PATH, "--port", "COM5", "upgrade", kSmallFirmware}, home.Home(), 60000,
                               [&](int pid) {
                                 if (!sent && ReadFile(log).find("write records=") != std::string::npos) {
                                   ::kill(pid, SIGINT);
                                   sent = true;
                                 }
                               });
  ASSERT_EQ(r.status, 130) << r.err;
  r = RunProcess({OD_CLI_PATH, "--port", "COM5", "upgrade", kSmallFirmware}, home.Home());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "FW-5819.112\n");
  EXPECT_NE(ReadFile(log).find(" match"), std::string::npos) << "verified whole the second time";
}
