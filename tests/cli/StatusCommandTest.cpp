// `status`: the main window's status poll from the terminal, against a
// sensor played by the test on a pseudo-terminal.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "tests/support/Process.h"
#include "tests/support/Pty.h"
#include "tests/support/PtySensor.h"
#include "tests/support/RegisterSensor.h"

namespace {

// A sensor whose features word is given and whose answers to "A" are the
// next status fields ("" or none left: silent). Records the times of the "A"s.
class StatusSensor {
 public:
  StatusSensor(Pty& pty, std::uint16_t features, std::deque<std::string> statusFields)
      : status_(std::move(statusFields)), sensor_(pty, [this](const std::string& request) {
          return memory_.Answer(request);
        }) {
    memory_.Set16(0x001E, features);
    memory_.SetOtherwise([this](const std::string& request) { return Status(request); });
  }
  std::vector<std::chrono::steady_clock::time_point> StatusTimes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return statusTimes_;
  }

 private:
  std::string Status(const std::string& text) {
    if (text != "A") return "";
    std::lock_guard<std::mutex> lock(mutex_);
    statusTimes_.push_back(std::chrono::steady_clock::now());
    if (status_.empty()) return "";
    const std::string fields = status_.front();
    status_.pop_front();
    return fields.empty() ? "" : SensorReply("A," + fields, 26);
  }

  std::deque<std::string> status_;
  mutable std::mutex mutex_;
  std::vector<std::chrono::steady_clock::time_point> statusTimes_;
  RegisterSensor memory_;
  PtySensor sensor_;  // last: its thread answers from the members above
};

ProcessResult Status(const std::vector<std::string>& args, const std::string& home,
                     const std::function<void(int pid)>& whileRunning = {}) {
  std::vector<std::string> argv = {OD_CLI_PATH, "--port", "COM4", "status"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, home, 60000, whileRunning);
}

TEST(CliStatus, OnePollShowsTheFieldsAsTheMainWindowDoes) {
  struct Case {
    std::uint16_t features;
    const char* fields;
    const char* shown;
  };
  const Case cases[] = {
      {0x0800, "32,64,400,190,0",
       "coarse 50% yellow, fine 100% red, oil 1000 green, temperature 25\u00B0C green, Status:Ok"},
      {0x0014, "96,1,3e8,ffb0,7",
       "coarse 100% red, fine DISABLED, oil DISABLED, temperature -5\u00B0C red, Status:07"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    Pty pty;
    PortsFolder home;
    home.Link(4, pty.SlavePath());
    StatusSensor sensor(pty, c.features, {c.fields});
    const ProcessResult r = Status({}, home.Home());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string("fields ") + c.fields + "\n" + c.shown + "\n");
  }
}

TEST(CliStatus, ASilentSensorFailsAndAWrongArgumentIsAUsageError) {
  Pty pty;
  PortsFolder home;
  home.Link(4, pty.SlavePath());
  StatusSensor sensor(pty, 0, {});
  const ProcessResult silent = Status({}, home.Home());
  EXPECT_EQ(silent.status, 1);
  EXPECT_TRUE(silent.out.empty());
  EXPECT_NE(silent.err.find("did not answer"), std::string::npos) << silent.err;
  EXPECT_EQ(Status({"--forever"}, home.Home()).status, 2);
}

// After the sixth failure the watch waits for the device to go and come
// back; a sensor that is only silent keeps it waiting until Ctrl-C, which
// then ends it with the failure's exit status.
TEST(CliStatus, WatchPollsEveryHalfSecondUntilTheSixthFailureInARow) {
  Pty pty;
  PortsFolder home;
  home.Link(4, pty.SlavePath());
  StatusSensor sensor(pty, 0, {"1,2,400,190,0", "3,4,400,190,0"});
  std::optional<std::chrono::steady_clock::time_point> sixthFailure;
  const ProcessResult r = Status({"--watch"}, home.Home(), [&](int pid) {
    if (!sixthFailure && sensor.StatusTimes().size() >= 8) sixthFailure = std::chrono::steady_clock::now();
    if (sixthFailure && std::chrono::steady_clock::now() - *sixthFailure > std::chrono::milliseconds(2500)) {
      ::kill(pid, SIGINT);
    }
  });
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("waiting for the sensor's device to come back"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "fields 1,2,400,190,0\ncoarse 1% yellow, fine 2% yellow, oil 1000 green, temperature DISABLED, Status:Ok\n"
                   "fields 3,4,400,190,0\ncoarse 3% yellow, fine 4% yellow, oil 1000 green, temperature DISABLED, Status:Ok\n");
  EXPECT_NE(r.err.find("Cannot communicate with sensor."), std::string::npos) << r.err;
  const auto times = sensor.StatusTimes();
  ASSERT_EQ(times.size(), 8u);  // two good, then six failed
  const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(times[1] - times[0]).count();
  EXPECT_GE(gap, 480);
  EXPECT_LT(gap, 800);
}

}  // namespace
