// `upgrade` from the command line against the simulated sensor over a
// pseudo-terminal: the sensor checks the programmed image against the
// verify request itself, so a success here means the image arrived whole.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/SensorSimProcess.h"
#include "tests/support/Process.h"
#include "tests/support/Pty.h"

namespace {
const std::string kFirmware = std::string(OD_TESTDATA_DIR) + "/pic24fj256gb106-buspirate-v4-bootloader.hex";

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
  const ProcessResult r = upgrade.Run({}, kFirmware);
  EXPECT_EQ(r.status, 0) << r.err;
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
