#pragma once
// The simulated sensor's life: one loop that takes bytes from the line,
// judges them by the line rate the configurator set, cuts them into requests
// for the application (text, 19200 baud) or the bootloader (frames, 57600
// baud), and sends the answers back, on time and, with --pace, at the speed
// of the line.

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <variant>

#include "sim/BootFrame.h"
#include "sim/Bootloader.h"
#include "sim/PtyAttachment.h"
#include "sim/RequestLog.h"
#include "sim/SimOptions.h"
#include "sim/TextCommands.h"
#include "sim/TextFaults.h"
#include "sim/TextRequestReader.h"

class SensorSim {
 public:
  using Clock = std::chrono::steady_clock;

  SensorSim(const SimOptions& options, PtyAttachment& pty, RequestLog& log);

  // Runs until a signal arrives on `signalDescriptor`; returns the exit status.
  int Run(int signalDescriptor);

  // Writes the bootloader's record counts and check value to --dump-flash.
  void DumpFlash() const;

 private:
  enum class Mode { kApplication, kBootloader };
  struct TimedByte {
    std::uint8_t byte;
    Clock::time_point at;
  };
  struct Request {
    std::variant<std::string, ReceivedFrame> content;
    Clock::time_point readyAt;
  };

  int ModeRate() const { return mode_ == Mode::kApplication ? 19200 : 57600; }
  Clock::duration ByteTime() const;

  void TakeLineBytes(Clock::time_point now);
  void FeedCrossedInput(Clock::time_point now);
  void HandleReadyRequests(Clock::time_point now);
  void HandleText(const std::string& text, Clock::time_point now);
  void HandleFrame(const ReceivedFrame& frame, Clock::time_point now);
  void Send(const std::vector<std::uint8_t>& reply, Clock::time_point start);
  void WriteDueOutput(Clock::time_point now);
  void SwitchTo(Mode mode);
  Clock::time_point NextWake(Clock::time_point now) const;

  const SimOptions& options_;
  PtyAttachment& pty_;
  RequestLog& log_;
  TextCommands commands_;
  TextFaults faults_;
  Bootloader bootloader_;
  TextRequestReader textReader_;
  BootFrameReader frameReader_;

  Mode mode_ = Mode::kApplication;
  int previousRate_ = 0;
  std::deque<TimedByte> input_;   // bytes still crossing the line
  std::deque<Request> requests_;  // complete requests waiting their turn
  std::deque<TimedByte> output_;  // reply bytes and when they are out
  Clock::time_point inputFreeAt_{};
  Clock::time_point outputFreeAt_{};
  Clock::time_point busyUntil_{};
};
