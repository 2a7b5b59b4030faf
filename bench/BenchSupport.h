#pragma once
// What the benchmarks share: a user interface that shows nothing, a clock
// that adds up the pauses the procedures make, the simulated sensor on a
// pseudo-terminal with its request log read back, and a firmware image of
// realistic size.
//
// A benchmark compares an operation's wall time with its floor: every byte
// of every request and reply at 10 bits a byte at the line rate, plus the
// pauses the procedures make on the clock, plus the time the simulated
// sensor reports itself busy in its log.

#include <sys/types.h>

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "link/Clock.h"
#include "link/UserInterface.h"

// Says what a message is and chooses the file it is given.
class BenchUser : public QuietUser {
 public:
  MessageAnswer ShowMessage(const Message& message) override {
    std::cerr << "message: " << message.text << "\n";
    return QuietUser::ShowMessage(message);
  }
  std::optional<std::string> ChooseOpenFile(const std::string&) override { return file; }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override { return file; }

  // What every file choice returns.
  std::optional<std::string> file;
};

// The steady clock, adding up the pauses asked of it.
class PauseCountingClock : public SteadyClock {
 public:
  void Sleep(int ms) override {
    if (ms > 0) pausedMs += ms;
    SteadyClock::Sleep(ms);
  }
  std::int64_t pausedMs = 0;
};

// The simulated sensor, started with `arguments` after its path; Start waits
// for its "ready <pty>" line.
class SimulatedSensor {
 public:
  ~SimulatedSensor() { Stop(); }
  bool Start(const std::string& path, const std::vector<std::string>& arguments);
  void Stop();
  const std::string& Device() const { return device_; }

 private:
  pid_t pid_ = -1;
  std::string device_;
};

// One request the simulated sensor handled, as its log tells it.
struct SimRequest {
  bool text = false;
  // The text of a text request; the command's name for a bootloader request
  // ("version", "erase", "write", "verify", "run").
  std::string what;
  // Text requests: STX, the text and CR; bootloader requests: the payload
  // before escaping (the wire bytes are the channel's to count).
  int requestBytes = 0;
  int replyBytes = 0;
  int busyMs = 0;
};

// The simulator's request log, read as it grows.
class SimLog {
 public:
  explicit SimLog(std::string path) : path_(std::move(path)) {}
  // The requests logged since the last call.
  std::vector<SimRequest> ReadNew();

 private:
  std::string path_;
  std::size_t offset_ = 0;
};

// Seconds that `bytes` take at `baud`, 10 bits a byte.
inline double WireSeconds(double bytes, int baud) { return bytes * 10.0 / baud; }

// A firmware file of `programSpace` bytes: program words of 24 bits in 4
// bytes (the fourth always 0), 16 data bytes a record, an extended linear
// address at every 64 KiB, as compilers write them.
void WriteFirmware(const std::string& path, std::uint32_t programSpace, unsigned seed = 5824);

// A private folder under the temporary directory; empty when none could be made.
std::string MakeBenchFolder(const std::string& name);
