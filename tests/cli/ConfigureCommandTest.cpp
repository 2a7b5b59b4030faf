// The settings, set, calibrate and j1939 commands: the exact commands they
// put on the line between the configure window's opening and closing frames,
// against the register sensor on a pseudo-terminal; and one round against
// the simulated sensor.
#include <gtest/gtest.h>

#include "tests/support/Process.h"
#include "tests/support/Pty.h"
#include "tests/support/PtyRegisterSensor.h"
#include "tests/support/SensorSimProcess.h"

namespace {

using Texts = std::vector<std::string>;

// The configure window's opening and closing around `middle`.
Texts Framed(const Texts& middle) {
  Texts all = {"", "U 5E2B", "R 001e 02", "cs"};
  all.insert(all.end(), middle.begin(), middle.end());
  all.insert(all.end(), {"ce", "", "U 1"});
  return all;
}

class ConfigureCommands : public ::testing::Test {
 protected:
  ConfigureCommands() { home.Link(4, pty.SlavePath()); }
  ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {OD_CLI_PATH, "--port", "COM4"});
    return RunProcess(args, home.Home());
  }
  // The commands the sensor got since the last call.
  Texts Sent() {
    const Texts all = sensor.Commands();
    Texts since(all.begin() + static_cast<long>(seen_), all.end());
    seen_ = all.size();
    return since;
  }
  // The J1939 worked example: NAME ff fe 81 ff ff ff 12 34, PGN 0fef5, CAN-ID 18fef580.
  void StoreJ1939Example() {
    const std::pair<std::uint16_t, std::uint16_t> fields[] = {
        {0x00B6, 0x1234}, {0x00B4, 0x1F}, {0x00B0, 0x7FF}, {0x00C2, 7},    {0x00C0, 0x1F},
        {0x00BA, 0x81},   {0x00BC, 0x7F}, {0x00BE, 7},     {0x00C4, 0xF},  {0x00CC, 0},
        {0x00CA, 0xFE},   {0x00C8, 0xF5}, {0x00C6, 6},     {0x00B8, 0x80},
    };
    for (const auto& [address, value] : fields) sensor.Set16(address, value);
  }

  Pty pty;
  PortsFolder home;
  PtyRegisterSensor sensor{pty};

 private:
  std::size_t seen_ = 0;
};

TEST_F(ConfigureCommands, SetPutsThePagesWritesAndReloadBetweenTheFrames) {
  sensor.Set16(0x001E, 0x0040);
  struct Case {
    Texts args;
    Texts middle;
    std::string out;
  };
  const Case cases[] = {
      {{"set", "no-oil-threshold", "1100"}, {"W 0026 4c", "W 0027 04", "Z"}, ""},
      {{"set", "filter-time", "2.55"}, {"W 0024 19", "W 0025 00", "Z", "R 0024 02"}, "filter-time 2.50\n"},
      {{"set", "error-level", "4"}, {"W 000e ac", "W 000f 00", "Z"}, ""},
      {{"set", "coarse-100", "250"}, {"W 0004 fa", "W 0005 00", "R 0004 02", "Z"}, "coarse-100 250\n"},
      {{"set", "parity", "none-1sb"}, {"W 00d2 03", "W 00d3 00"}, ""},
      {{"set", "baud-rate", "57600"}, {"W 00d4 00", "W 00d5 e1", "W 00d6 00", "W 00d7 00", "Z"}, ""},
      {{"set", "sensor-name", "TANK 3"},
       {"W 00d8 41", "W 00d9 54", "W 00da 4b", "W 00db 4e", "W 00dc 33", "W 00dd 20", "W 00de 00", "W 00df 00",
        "W 00e0 00", "W 00e1 00", "W 00e2 00", "W 00e3 00", "W 00e4 00", "W 00e5 00", "W 00e6 00", "W 00e7 00", "Z"},
       ""},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Cli(c.args);
    EXPECT_EQ(r.status, 0) << c.args[1] << r.err;
    EXPECT_EQ(Sent(), Framed(c.middle)) << c.args[1];
    EXPECT_EQ(r.out, c.out);
  }
}

TEST_F(ConfigureCommands, RefusedSettingsWriteNothing) {
  // 4-20 mA, water contamination channel, no inhibit, CAN pages hidden.
  sensor.Set16(0x001E, 0x0040);
  struct Case {
    Texts args;
    bool framed;  // refused by the visibility rules once the frame has read the word
  };
  const Case cases[] = {
      {{"set", "no-oil-threshold", "1151"}, false},
      {{"set", "no-oil-threshold", "1000"}, false},
      {{"set", "no-oil-threshold", "01100"}, false},
      {{"set", "filter-time", "0.05"}, false},
      {{"set", "low-temperature", "151"}, false},
      {{"set", "coarse-100", "abc"}, false},
      {{"set", "baud-rate", "9601"}, false},
      {{"set", "parity", "NONE 1SB"}, false},
      {{"set", "sensor-name", "TANK #3"}, false},
      {{"set", "sensor-name", "TANK,3"}, false},
      {{"set", "no-such-setting", "1"}, false},
      {{"set", "coarse-100"}, false},
      {{"calibrate", "tare"}, false},
      {{"settings", "extra"}, false},
      {{"set", "inhibit-level", "3.5"}, true},
      {{"set", "low-temperature", "20"}, true},
      {{"set", "ecu-instance", "3"}, true},
      {{"j1939"}, true},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Cli(c.args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(c.args) << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(Sent(), c.framed ? Framed({}) : Texts{}) << ::testing::PrintToString(c.args);
  }
  EXPECT_NE(Cli({"set", "no-oil-threshold", "1151"}).err.find("1001 to 1150"), std::string::npos);
}

TEST_F(ConfigureCommands, WithoutTheFeaturesWordNothingIsDone) {
  sensor.SilenceReadsOf(0x001E);
  const ProcessResult r = Cli({"set", "slave-address", "5"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("001e"), std::string::npos) << r.err;
  Texts expected = {"", "U 5E2B"};
  expected.insert(expected.end(), 18, "R 001e 02");
  expected.insert(expected.end(), {"cs", "ce", "", "U 1"});
  EXPECT_EQ(Sent(), expected);
}

TEST_F(ConfigureCommands, TemperatureAlarmsReadTheOtherFirst) {
  // Temperature alarm channel on a CAN sensor.
  sensor.Set16(0x001E, 0x0004);
  sensor.Set16(0x0032, 80 * 16);
  ProcessResult r = Cli({"set", "low-temperature", "-26"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Sent(), Framed({"R 0032 02", "W 0030 60", "W 0031 fe", "R 0030 02", "Z"}));
  EXPECT_EQ(r.out, "low-temperature -26\n");

  r = Cli({"set", "low-temperature", "80"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("high alarm is 80"), std::string::npos) << r.err;
  EXPECT_EQ(Sent(), Framed({"R 0032 02"}));

  // The other alarm cannot be read: refused, nothing written.
  sensor.SilenceReadsOf(0x0032);
  r = Cli({"set", "low-temperature", "20"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Sent(), Framed(Texts(18, "R 0032 02")));
}

TEST_F(ConfigureCommands, CalibrateSendsItsCommandAndPrintsTheReadBack) {
  sensor.Set16(0x001E, 0x0040);
  sensor.Set16(0x003A, 0xFFF6);
  sensor.Set16(0x003C, 12);
  ProcessResult r = Cli({"calibrate", "zero"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "coarse-offset -10\nfine-offset 12\n");
  EXPECT_EQ(Sent(), Framed({"cn", "R 003a 02", "R 003c 02"}));

  // Not acknowledged: "Message failed", the offsets read anyway, exit 1.
  sensor.WithholdAcknowledgementOf("cn");
  r = Cli({"calibrate", "zero"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Message failed"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "coarse-offset -10\nfine-offset 12\n");
  EXPECT_EQ(Sent(), Framed({"cn", "cn", "cn", "cn", "R 003a 02", "R 003c 02"}));

  // Both debris channels disabled: no Debris page, so no Zero Tare; the
  // scaling shortcuts still work.
  sensor.Set16(0x001E, 0x0058);
  EXPECT_EQ(Cli({"calibrate", "zero"}).status, 2);
  EXPECT_EQ(Sent(), Framed({}));
  sensor.Set16(0x003E, 1500);
  r = Cli({"calibrate", "coarse-scale"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "coarse-scaling 1500\n");
  EXPECT_EQ(Sent(), Framed({"co", "R 003e 02"}));
}

TEST_F(ConfigureCommands, J1939ShowsTheFieldsAndTheComposedValues) {
  sensor.Set16(0x001E, 0x0000);
  StoreJ1939Example();
  sensor.Set16(0x00BE, 0x0127);
  const ProcessResult r = Cli({"j1939"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "function-instance 001f\n"
            "ecu-instance 0007\n"
            "industry-group 0127\n"
            "vehicle-system-instance 000f\n"
            "vehicle-system 007f\n"
            "function 0081\n"
            "manufacturer-code 07ff\n"
            "identity-high 001f\n"
            "identity-low 1234\n"
            "priority 0006\n"
            "data-page 0000\n"
            "pdu-format 00fe\n"
            "pdu-specific 00f5\n"
            "source-address 0080\n"
            "NAME ff fe 81 ff ff ff 12 34\n"
            "PGN 0fef5 (65269)\n"
            "CAN-ID 18fef580\n");
  EXPECT_EQ(Sent(), Framed({"R 00b0 02", "R 00b4 02", "R 00b6 02", "R 00ba 02", "R 00bc 02", "R 00be 02", "R 00c4 02",
                            "R 00c2 02", "R 00c0 02", "R 00cc 02", "R 00ca 02", "R 00c8 02", "R 00c6 02",
                            "R 00b8 02"}));
}

TEST_F(ConfigureCommands, EcuInstanceSetWritesReadsTheNameAndReloads) {
  sensor.Set16(0x001E, 0x0800);
  const ProcessResult r = Cli({"set", "ecu-instance", "3"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "ecu-instance 0003\n");
  EXPECT_EQ(Sent(), Framed({"W 00c2 03", "W 00c3 00", "R 00b0 02", "R 00b4 02", "R 00b6 02", "R 00ba 02",
                            "R 00bc 02", "R 00be 02", "R 00c4 02", "R 00c2 02", "R 00c0 02", "Z"}));
}

TEST_F(ConfigureCommands, SettingsReadsEveryShownPageInOrder) {
  // MODBUS output: every page but Analog is shown.
  sensor.Set16(0x001E, 0x0800);
  StoreJ1939Example();
  sensor.Set16(0x0004, 250);
  sensor.Set16(0x0006, 750);
  sensor.Set16(0x003A, 0xFFF6);
  sensor.Set16(0x003C, 12);
  sensor.Set16(0x0022, 1024);
  sensor.Set16(0x0026, 1100);
  sensor.Set16(0x0028, 900);
  sensor.Set16(0x0024, 20);
  sensor.Set16(0x0030, static_cast<std::uint16_t>(-20 * 16));
  sensor.Set16(0x0032, 100 * 16);
  sensor.Set16(0x00D0, 7);
  sensor.Set32(0x00D4, 9600);
  sensor.Set16(0x00D2, 2);
  // "DEBRIS SENSOR": two characters to a word, the earlier in the high byte.
  const std::uint8_t name[] = {'E', 'D', 'R', 'B', 'S', 'I', 'S', ' ', 'N', 'E', 'O', 'S', 0, 'R', 0, 0};
  for (std::size_t i = 0; i < sizeof name; i += 2) {
    sensor.Set16(static_cast<std::uint16_t>(0x00D8 + i), static_cast<std::uint16_t>(name[i] | name[i + 1] << 8));
  }
  const ProcessResult r = Cli({"settings"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "coarse-100 250\n"
            "fine-100 750\n"
            "coarse-offset -10\n"
            "fine-offset 12\n"
            "oil-reference 1024\n"
            "no-oil-threshold 1100\n"
            "water-threshold 900\n"
            "filter-time 2.00\n"
            "high-temperature 100\n"
            "low-temperature -20\n"
            "function-instance 001f\n"
            "ecu-instance 0007\n"
            "source-address 0080\n"
            "slave-address 7\n"
            "baud-rate 9600\n"
            "parity NONE-2SB\n"
            "sensor-name DEBRIS SENSOR\n"
            "sensor-location \n"
            "NAME ff fe 81 ff ff ff 12 34\n"
            "PGN 0fef5 (65269)\n"
            "CAN-ID 18fef580\n");
  const Texts sent = Sent();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "a"), 0);
  EXPECT_EQ(sent[4], "R 0004 02");
  EXPECT_EQ(sent[sent.size() - 4], "R 00f4 04");
}

}  // namespace

TEST(ConfigureCommandsSim, SettingsAndSetAgainstTheSimulatedSensor) {
  PortsFolder home;
  SensorSimProcess sim({"--com", "5", "--home", home.Home()});
  ASSERT_TRUE(sim.Ready()) << sim.Output();
  const auto cli = [&home](std::vector<std::string> args) {
    args.insert(args.begin(), {OD_CLI_PATH, "--port", "COM5"});
    return RunProcess(args, home.Home());
  };
  ProcessResult r = cli({"set", "sensor-name", "TANK 3"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = cli({"set", "water-threshold", "850"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = cli({"settings"});
  EXPECT_EQ(r.status, 0) << r.err;
  // The simulated sensor's factory settings: 4-20 mA output, with display.
  for (const char* line : {"no-oil-threshold 1100\n", "water-threshold 850\n", "filter-time 2.00\n",
                           "error-level 2.00\n", "zero-level 3.99\n", "full-scale-level 20.00\n", "parity EVEN\n",
                           "baud-rate 9600\n", "sensor-name TANK 3\n", "sensor-location GEARBOX 1\n"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
  }
  EXPECT_EQ(r.out.find("NAME"), std::string::npos) << "no CAN pages on an analogue sensor";
}
