// The command-line tool as a user runs it: usage, exit statuses, and the
// identify command against a sensor played by the test on a pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "tests/support/Process.h"
#include "tests/support/Pty.h"
#include "tests/support/PtySensor.h"

namespace {
ProcessResult Cli(const std::vector<std::string>& args, const std::string& home) {
  std::vector<std::string> argv = {OD_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, home);
}

// Answers every "I" request with part 16bb, version 6f, unless silent.
PtySensor::Answer Identifying(bool silent = false) {
  return [silent](const std::string& request) {
    return request == "I" && !silent ? SensorReply("I,16bb,6f,0000", 17) : std::string();
  };
}
}  // namespace

TEST(Cli, UsageErrors) {
  PortsFolder home;
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"--port"},
      {"--port", "COM100", "identify"},
      {"--port", "bogus", "identify"},
      {"ports", "extra"},
  };
  for (const auto& args : cases) {
    const ProcessResult r = Cli(args, home.Home());
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args) << r.err;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_EQ(Cli({"--help"}, home.Home()).status, 0);
}

TEST(Cli, PortsListsTheTableWithDevices) {
  Pty a, b;
  PortsFolder home;
  home.Link(3, a.SlavePath());
  home.Link(12, b.SlavePath());
  const ProcessResult r = Cli({"ports"}, home.Home());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "COM03  " + a.SlavePath() + "\nCOM12  " + b.SlavePath() + "\n");
}

TEST(Cli, PortThatCannotBeOpenedIsNamedWithItsReason) {
  PortsFolder home;
  home.Link(7, "/dev/od-missing-device");
  const ProcessResult missing = Cli({"--port", "com7", "identify"}, home.Home());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("/dev/od-missing-device"), std::string::npos) << missing.err;
  EXPECT_NE(missing.err.find("no such device"), std::string::npos) << missing.err;
  const ProcessResult absent = Cli({"identify"}, home.Home());
  EXPECT_EQ(absent.status, 2) << "no port at all";
  EXPECT_EQ(absent.err, "oil-debris-cli: COM07 /dev/od-missing-device: no such device\n");
}

TEST(Cli, WhenTheSearchOpensNoPortEachDeviceIsNamedWithItsReason) {
  Pty held;
  PortsFolder home;
  home.Link(2, held.SlavePath());
  home.Link(5, "/dev/od-missing-device");
  // Another program holds COM2.
  const int other = ::open(held.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  const ProcessResult r = Cli({"identify"}, home.Home());
  ::close(other);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "oil-debris-cli: COM02 " + held.SlavePath() + ": busy: held by another program\n"
            "oil-debris-cli: COM05 /dev/od-missing-device: no such device\n");

  PortsFolder empty;
  EXPECT_EQ(Cli({"identify"}, empty.Home()).err, "oil-debris-cli: no serial device found (see 'oil-debris-cli ports')\n");
}

TEST(Cli, IdentifyPrintsTheFirmware) {
  Pty pty;
  PortsFolder home;
  home.Link(4, pty.SlavePath());
  PtySensor sensor(pty, Identifying());
  for (const std::string& port : std::vector<std::string>{"COM4", "com4", "4", pty.SlavePath()}) {
    const ProcessResult r = Cli({"--port", port, "identify"}, home.Home());
    EXPECT_EQ(r.status, 0) << port << r.err;
    EXPECT_EQ(r.out, "FW-5819.111\n") << port;
  }
  const ProcessResult searched = Cli({"identify"}, home.Home());
  EXPECT_EQ(searched.status, 0) << searched.err;
  EXPECT_EQ(searched.out, "FW-5819.111\n");
}

TEST(Cli, IdentifyGivesUpAfterFiveAttempts) {
  Pty pty;
  PortsFolder home;
  home.Link(4, pty.SlavePath());
  PtySensor sensor(pty, Identifying(/*silent=*/true));
  const ProcessResult r = Cli({"--port", "COM4", "identify"}, home.Home());
  EXPECT_EQ(r.status, 1);
  // STX "I" CR, five times.
  const std::vector<std::uint8_t> expected = {0x02, 0x49, 0x0D, 0x02, 0x49, 0x0D, 0x02, 0x49,
                                              0x0D, 0x02, 0x49, 0x0D, 0x02, 0x49, 0x0D};
  EXPECT_EQ(sensor.Received(), expected);
}
