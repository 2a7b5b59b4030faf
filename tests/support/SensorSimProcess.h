#pragma once
// The simulated sensor as a background process for end-to-end tests: started
// with its switches, ready once it has printed "ready <device>", stopped when
// the test is done.

#include <sys/types.h>

#include <string>
#include <vector>

class SensorSimProcess {
 public:
  // Starts OD_SIM_PATH with `arguments` and waits for its ready line.
  explicit SensorSimProcess(const std::vector<std::string>& arguments);
  ~SensorSimProcess();
  SensorSimProcess(const SensorSimProcess&) = delete;
  SensorSimProcess& operator=(const SensorSimProcess&) = delete;

  bool Ready() const { return !device_.empty(); }
  // Sends `signal` and waits (at most 5 s, then kills) for the exit; the
  // exit status, or -1 when it did not exit by itself.
  int Stop(int signal);
  const std::string& Device() const { return device_; }
  // What the simulator printed before its ready line, when it did not start.
  const std::string& Output() const { return output_; }

 private:
  pid_t pid_ = -1;
  std::string device_;
  std::string output_;
};

// The text requests a simulator's --log file shows, in order ("I", "",
// "U 5E2B", ...).
std::vector<std::string> LoggedRequests(const std::string& logPath);
