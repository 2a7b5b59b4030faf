#pragma once
// Time as the procedures see it: sleeping on the user-interface thread and
// reading the time. The steady clock is the real one; tests use a virtual
// clock that advances on sleep.

#include <cstdint>

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(int ms) = 0;
  // Monotonic milliseconds, for measuring waits.
  virtual std::int64_t NowMs() = 0;
  // The same clock in microseconds: a reply wait ends a fraction of a
  // millisecond after the reply's last byte.
  virtual std::int64_t NowUs() { return NowMs() * 1000; }
  // Calendar time in whole seconds, for the time column of the data logs.
  virtual std::int64_t CalendarSeconds() = 0;
};

class SteadyClock : public Clock {
 public:
  void Sleep(int ms) override;
  std::int64_t NowMs() override;
  std::int64_t NowUs() override;
  std::int64_t CalendarSeconds() override;
};
