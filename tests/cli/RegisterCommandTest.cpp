// The read, write and features commands against a sensor memory played by
// the test on a pseudo-terminal.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <mutex>
#include <set>

#include "tests/support/Process.h"
#include "tests/support/Pty.h"
#include "tests/support/PtyRegisterSensor.h"

namespace {

class RegisterCommands : public ::testing::Test {
 protected:
  RegisterCommands() { home.Link(4, pty.SlavePath()); }
  ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {OD_CLI_PATH, "--port", "COM4"});
    return RunProcess(args, home.Home());
  }
  Pty pty;
  PortsFolder home;
  PtyRegisterSensor sensor{pty};
};

TEST_F(RegisterCommands, ReadPrintsHexadecimalAndDecimal) {
  sensor.Set16(0x1E, 0x0041);
  sensor.Set32(0xD4, 0xC2010000);
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {{"read", "001e"}, "0x0041 65\n"},
      {{"read", "0x1E", "--bytes", "2"}, "0x0041 65\n"},
      {{"read", "d4", "--bytes=4"}, "0xc2010000 3254845440\n"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Cli(c.args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
  }
  EXPECT_EQ(sensor.Commands(), (std::vector<std::string>{"R 001e 02", "R 001e 02", "R 00d4 04"}));
}

TEST_F(RegisterCommands, WriteUnlocksWritesLowByteFirstAndLocks) {
  const ProcessResult r = Cli({"write", "0026", "1100"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sensor.Commands(), (std::vector<std::string>{"", "U 5E2B", "W 0026 4c", "W 0027 04", "", "U 1"}));

  const ProcessResult wide = Cli({"write", "d4", "0xE100", "--bytes", "4"});
  EXPECT_EQ(wide.status, 0) << wide.err;
  EXPECT_EQ(sensor.At(0xD4), 0x00);
  EXPECT_EQ(sensor.At(0xD5), 0xE1);
  EXPECT_EQ(sensor.At(0xD6), 0x00);

  EXPECT_EQ(Cli({"write", "0030", "-416"}).status, 0);
  EXPECT_EQ(sensor.At(0x30), 0x60);
  EXPECT_EQ(sensor.At(0x31), 0xFE);
}

TEST_F(RegisterCommands, AnUnansweredWriteFailsAndStillLocks) {
  sensor.SilenceWritesTo(0x26);
  const ProcessResult r = Cli({"write", "26", "1100"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("0026"), std::string::npos) << r.err;
  EXPECT_EQ(sensor.Commands(), (std::vector<std::string>{"", "U 5E2B", "W 0026 4c", "W 0026 4c", "", "U 1"}));
}

TEST_F(RegisterCommands, UsageErrorsSendNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"read"},
      {"read", "xyz"},
      {"read", "12345"},
      {"read", "1e", "--bytes", "3"},
      {"read", "ffff", "--bytes", "4"},
      {"write", "26"},
      {"write", "26", "abc"},
      {"write", "26", "70000"},
      {"write", "26", "0x1ffffffff", "--bytes", "4"},
      {"features", "extra"},
  };
  for (const auto& args : cases) {
    const ProcessResult r = Cli(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args) << r.out;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_TRUE(sensor.Commands().empty());
}

TEST_F(RegisterCommands, FeaturesDescribesTheWord) {
  sensor.Set16(0x1E, 0xF4DD);
  const ProcessResult r = Cli({"features"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "features word: f4dd\n"
            "model: with display\n"
            "output type: 4 - 20 mA\n"
            "third channel: temperature (continuous)\n"
            "disabled channels: coarse, fine\n"
            "inhibit outputs during configuration: yes\n"
            "temperature correction: yes\n"
            "volume correction: yes\n"
            "unused bits set: f000\n");
  EXPECT_EQ(sensor.Commands(), (std::vector<std::string>{"R 001e 02"}));

  sensor.Set16(0x1E, 0x0820);
  const ProcessResult modbus = Cli({"features"});
  EXPECT_NE(modbus.out.find("output type: MODBUS\n"), std::string::npos) << modbus.out;
  EXPECT_NE(modbus.out.find("disabled channels: water contamination/temperature\n"), std::string::npos);
  EXPECT_NE(modbus.out.find("model: without display\n"), std::string::npos);
}

}  // namespace

TEST(RegisterCommandsSilent, ASilentSensorFailsTheRead) {
  Pty pty;
  PortsFolder home;
  home.Link(4, pty.SlavePath());
  const ProcessResult r = RunProcess({OD_CLI_PATH, "--port", "COM4", "read", "1e"}, home.Home());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("001e"), std::string::npos) << r.err;
  const ProcessResult f = RunProcess({OD_CLI_PATH, "--port", "COM4", "features"}, home.Home());
  EXPECT_EQ(f.status, 1);
}
