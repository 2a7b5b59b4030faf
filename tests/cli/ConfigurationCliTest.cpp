// The configuration file commands: a round trip against the simulated
// sensor, and the traffic, refusals and exit statuses against a register
// memory played by the test on a pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "tests/support/Process.h"
#include "tests/support/Pty.h"
#include "tests/support/PtyRegisterSensor.h"
#include "tests/support/SensorSimProcess.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(CliConfiguration, ExportImportExportOfAFreshSensorGivesTheSameThirtyEightLines) {
  PortsFolder home;
  SensorSimProcess sim({"--com", "2", "--home", home.Home()});
  ASSERT_TRUE(sim.Ready()) << sim.Output();
  const auto cli = [&home](std::vector<std::string> args) {
    args.insert(args.begin(), {OD_CLI_PATH, "--port", "COM2"});
    return RunProcess(args, home.Home());
  };
  const std::string first = home.Home() + "/first.dsc";
  const std::string second = home.Home() + "/second.dsc";
  ProcessResult r = cli({"export", first});
  ASSERT_EQ(r.status, 0) << r.err;
  // Not a terminal: a line at each tenth of the work, no bar redrawn in place.
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\r'), 0);
  EXPECT_EQ(r.err.substr(0, 26), "Saving configuration 0/38\n");
  EXPECT_NE(r.err.find("\nSaving configuration 4/38\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nSaving configuration 38/38\n"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 11) << r.err;
  const std::string exported = ReadFile(first);
  EXPECT_EQ(exported.substr(0, 9), "1e:00c0\r\n") << "the features word first";
  EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 38);

  r = cli({"import", first});
  ASSERT_EQ(r.status, 0) << r.err;
  r = cli({"export", second});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(second), exported);

  r = cli({"diff", first});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
}

class ConfigurationCommands : public ::testing::Test {
 protected:
  ConfigurationCommands() {
    home.Link(4, pty.SlavePath());
    sensor.Set16(0x001E, 0x0040);
    sensor.Set16(0x0026, 1100);
  }
  ProcessResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {OD_CLI_PATH, "--port", "COM4"});
    return RunProcess(args, home.Home());
  }
  std::string File(const std::string& name, const std::string& text) {
    const std::string path = home.Home() + "/" + name;
    WriteFile(path, text);
    return path;
  }
  Pty pty;
  PortsFolder home;
  PtyRegisterSensor sensor{pty};
};

TEST_F(ConfigurationCommands, ImportSendsTheUnlockTheWritesTheReloadAndTheFeaturesRead) {
  const ProcessResult r = Cli({"import", File("two.dsc", "26:047e\r\n0c:00ac\r\n")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sensor.Requests(), (std::vector<std::string>{"", "U 5E2B", "W 0026 7e", "W 0027 04", "W 000c ac",
                                                         "W 000d 00", "Z", "R 001e 02"}));
  EXPECT_EQ(sensor.Get16(0x0026), 0x047E);
}

TEST_F(ConfigurationCommands, RefusedFilesPutNothingOnTheLine) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::string bad = File("bad.dsc", "1e:0040\n26:047e junk\n");
  const std::string good = File("good.dsc", "26:047e\n");
  // A FIFO nobody reads: writing into it would hang.
  const std::string fifo = home.Home() + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string noFolder = home.Home() + "/missing/backup.dsc";
  const Case cases[] = {
      {{"export", fifo}, fifo + " is not a regular file"},
      {{"import", good, "--backup", fifo}, "cannot create the backup " + fifo + ": nothing written"},
      {{"defaults", "small", "--backup", noFolder}, "cannot create the backup " + noFolder + ": nothing written"},
      {{"import", bad}, bad + ": line 2: something other than spaces follows the value"},
      {{"diff", bad}, bad + ": line 2: something other than spaces follows the value"},
      {{"import", good, "--backup", good}, "the backup would overwrite " + good + " before it is imported"},
      {{"import", home.Home() + "/missing.dsc"}, "cannot open " + home.Home() + "/missing.dsc: No such file"},
      {{"import", home.Home()}, home.Home() + " is not a regular file"},
      {{"defaults", "huge"}, "defaults takes small, medium or large, not 'huge'"},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Cli(c.args);
    EXPECT_EQ(r.status, 2) << c.args[0];
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_TRUE(sensor.Requests().empty());
}

TEST_F(ConfigurationCommands, AnIncompleteBackupStopsTheImportBeforeAnyWrite) {
  sensor.SilenceReadsOf(0x0036);
  const std::string backup = home.Home() + "/backup.dsc";
  const ProcessResult r = Cli({"import", File("good.dsc", "26:047e\n"), "--backup", backup});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("There has been an error saving configuration. Please try again."), std::string::npos);
  for (const std::string& request : sensor.Requests()) EXPECT_NE(request[0], 'W') << request;
  EXPECT_EQ(sensor.Get16(0x0026), 1100);
  const std::string saved = ReadFile(backup);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 37) << "the lines that were read";
}

TEST_F(ConfigurationCommands, DiffListsWhatDiffersAndWhatCannotBeRead) {
  sensor.SilenceReadsOf(0x0050);
  const std::string file = File("mixed.dsc", "1e:0040\n26:047e\n50:0001\n");
  const ProcessResult r = Cli({"diff", file});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out,
            "26  No oil threshold: upper oil status value that indicates the alarm  sensor 044c  file 047e\n"
            "50  (not in the register map)  sensor unreadable  file 0001\n");
  for (const std::string& request : sensor.Requests()) EXPECT_EQ(request[0], 'R') << request;
  EXPECT_EQ(Cli({"diff", File("same.dsc", "1e:0040\n")}).status, 0);
}

TEST_F(ConfigurationCommands, DefaultsAskNothingAndZeroTareOnlyWhenAsked) {
  ProcessResult r = Cli({"defaults", "medium"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sensor.Requests(), (std::vector<std::string>{"", "U 5E2B", "D 2", "R 001e 02"}));
  r = Cli({"defaults", "large", "--zero-tare"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> requests = sensor.Requests();
  EXPECT_EQ(std::vector<std::string>(requests.begin() + 4, requests.end()),
            (std::vector<std::string>{"", "U 5E2B", "D 3", "R 001e 02", "cn", "R 003a 02", "R 003c 02"}));
}

}  // namespace
