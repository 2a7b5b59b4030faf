// `monitor`: the reporting poll from the terminal, against a sensor played
// by the test and against the simulated sensor with "I" unanswered; the
// lines on stdout and the two logs' bytes.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <mutex>
#include <regex>
#include <sstream>

#include "tests/support/LogHeaders.h"
#include "tests/support/Process.h"
#include "tests/support/Pty.h"
#include "tests/support/PtySensor.h"
#include "tests/support/SensorSimProcess.h"
#include "tests/support/TempFolder.h"

namespace {

const char* const kHeader =
    "t RawInternal InternalC RawExternal ExternalC DebrisRefCoarse DebrisCoarse Coarse% CalibratedCoarse "
    "CoarseCorrection DebrisRefFine DebrisFine Fine% CalibratedFine FineCorrection OilRefCount OilCount Oil Status\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Answers "a" with the next reply of a list ("" for none), nothing else.
class ExtendedSensor {
 public:
  ExtendedSensor(Pty& pty, std::deque<std::string> replies)
      : replies_(std::move(replies)), sensor_(pty, [this](const std::string& request) { return Answer(request); }) {}
  std::vector<std::string> Requests() const { return sensor_.Requests(); }

 private:
  std::string Answer(const std::string& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (request != "a" || replies_.empty()) return "";
    std::string next = replies_.front();
    replies_.pop_front();
    return next;
  }
  std::mutex mutex_;
  std::deque<std::string> replies_;
  PtySensor sensor_;  // last: its thread answers from the members above
};

class CliMonitor : public ::testing::Test {
 protected:
  ProcessResult Monitor(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {OD_CLI_PATH, "--port", "COM4", "monitor"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv, home.Home());
  }
  std::string File(const std::string& name) const { return home.Home() + "/" + name; }

  Pty pty;
  PortsFolder home;
};

TEST_F(CliMonitor, PrintsTheBoxesAndWritesBothLogsAsTheWindowDoes) {
  home.Link(4, pty.SlavePath());
  ExtendedSensor sensor(pty, {SensorReply("a,0a,05,400,1234,2345,190,fff0,64,65,66,67,68,69,fffe,1,0,0,6", 93), "",
                              SensorReply("A,0a,05,400,1234,2345,190,fff0,64,65,66,67,68,69,fffe,1,0,0,6", 93)});
  const ProcessResult r = Monitor({"--seconds", "3", "--log", File("u.csv"), "--raw", File("r.csv")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sensor.Requests(), (std::vector<std::string>{"a", "a", "a"})) << "no identification first";

  ASSERT_EQ(r.out.rfind(kHeader, 0), 0u) << r.out;
  const std::vector<std::string> lines = Lines(r.out.substr(std::string(kHeader).size()));
  ASSERT_EQ(lines.size(), 3u) << r.out;
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, std::regex(R"((\d+) (.*))")));
  const std::string t1 = m[1];
  EXPECT_EQ(m[2].str(), "4660 25.00 9029 -1.00 100 101 10 -2 1 102 103 5 0 0 104 105 1000 06");
  ASSERT_TRUE(std::regex_match(lines[1], m, std::regex(R"((\d+) no reply)"))) << lines[1];
  const std::string t2 = m[1];
  ASSERT_TRUE(std::regex_match(lines[2], m, std::regex(R"((\d+) no reply)"))) << lines[2];
  const std::string t3 = m[1];
  EXPECT_LT(std::stoi(t1), std::stoi(t2));
  EXPECT_LT(std::stoi(t2), std::stoi(t3));

  EXPECT_EQ(ReadBytes(File("r.csv")),
            std::string(kRawHeader) + "\r\n" + t1 + ",10,5,1024,4660,9029,400,65520,100,101,102,103,104,105,65534,1,0,0,06");
  EXPECT_EQ(ReadBytes(File("u.csv")),
            std::string(kUserHeader) + "\r\n" + t1 +
                ",,10,5,1000,4660,9029,25.00,-1.00,100,101,102,103,104,105,65534,1,0,0,06\r\n" + t2 + ",,,,,\r\n" +
                t3 + ",,");
}

TEST_F(CliMonitor, WithoutTheLogOptionsThereAreNoLogs) {
  home.Link(4, pty.SlavePath());
  ExtendedSensor sensor(pty, {});
  const ProcessResult r = Monitor({"--seconds", "1"});
  EXPECT_EQ(r.status, 1) << "no poll was answered";
  EXPECT_EQ(Lines(r.out).size(), 2u) << r.out;
  EXPECT_FALSE(std::ifstream(home.DataFolder() + "/rawdata.csv").good()) << "no raw data log in the data folder";
}

TEST_F(CliMonitor, RefusesBadArgumentsAndLogsItCannotCreate) {
  home.Link(4, pty.SlavePath());
  ExtendedSensor sensor(pty, {});
  const std::vector<std::vector<std::string>> cases = {
      {"--seconds", "0"},
      {"--seconds", "x"},
      {"--log"},
      {"--frobnicate"},
      {"--raw", File("missing/r.csv")},
      {"--log", File("missing/u.csv")},
      {"--log", home.Home()},
      {"--log", File(std::string(256, 'u'))},
  };
  for (const auto& args : cases) {
    const ProcessResult r = Monitor(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args) << r.out;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_TRUE(sensor.Requests().empty());
}

TEST_F(CliMonitor, APortThatCannotBeOpenedLeavesEarlierLogsAsTheyWere) {
  home.Link(4, File("unplugged"));
  const std::string log = File("u.csv");
  const std::string raw = File("r.csv");
  std::ofstream(log) << "earlier user log\n";
  std::ofstream(raw) << "earlier raw log\n";
  const ProcessResult r = Monitor({"--seconds", "1", "--log", log, "--raw", raw});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(ReadBytes(log), "earlier user log\n");
  EXPECT_EQ(ReadBytes(raw), "earlier raw log\n");
}

TEST(CliMonitorSimulated, FollowsTheSimulatedSensorThatLeavesIdentifyUnanswered) {
  PortsFolder home;
  SensorSimProcess sim({"--com", "5", "--home", home.Home(), "--no-ack", "I"});
  ASSERT_TRUE(sim.Ready()) << sim.Output();
  const std::string raw = home.Home() + "/r.csv";
  const std::string log = home.Home() + "/u.csv";
  const ProcessResult r = RunProcess({OD_CLI_PATH, "--port", "COM5", "monitor", "--seconds", "2", "--log", log,
                                      "--raw", raw},
                                     home.Home());
  EXPECT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  // t, Raw Internal, Internal C, Raw External, External C, thirteen counts, the status.
  const std::regex shown(R"(\d+ -?\d+ -?\d+\.\d\d -?\d+ -?\d+\.\d\d( -?\d+){13} [0-9a-f]{2,})");
  const std::string rawLine = R"(\r\n\d+(,-?\d+){17},[0-9a-f]{2,})";
  const std::string userLine = R"(\r\n\d+,,\d+,\d+,\d+,\d+,\d+,-?\d+\.\d\d,-?\d+\.\d\d(,\d+){10},[0-9a-f]{2,})";
  EXPECT_EQ(lines[0] + "\n", kHeader);
  for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_TRUE(std::regex_match(lines[i], shown)) << lines[i];
  const std::string rawBytes = ReadBytes(raw);
  ASSERT_EQ(rawBytes.rfind(kRawHeader, 0), 0u) << rawBytes;
  EXPECT_TRUE(std::regex_match(rawBytes.substr(std::string(kRawHeader).size()), std::regex("(" + rawLine + "){2}")))
      << rawBytes;
  const std::string userBytes = ReadBytes(log);
  ASSERT_EQ(userBytes.rfind(kUserHeader, 0), 0u) << userBytes;
  EXPECT_TRUE(std::regex_match(userBytes.substr(std::string(kUserHeader).size()), std::regex("(" + userLine + "){2}")))
      << userBytes;
}

}  // namespace
