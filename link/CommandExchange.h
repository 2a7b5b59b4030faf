#pragma once
// The text command exchange with the sensor: requests are STX, text, CR; a
// reply counts as complete once a command-specific number of bytes has
// arrived. Every window talks to the sensor through these operations, which
// always address the sensor's channel m_comms[m_comnum].

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "link/Channel.h"
#include "link/Clock.h"
#include "link/DebugLog.h"
#include "link/UserInterface.h"

constexpr int kNoPort = 999;
constexpr int kTextBaud = 19200;
constexpr int kBootloaderBaud = 57600;

// The main window's link fields.
struct LinkState {
  // Channel table, index = COM port number (slot 0 unused).
  std::array<std::unique_ptr<Channel>, 100> m_comms{};
  int m_comnum = kNoPort;
  std::uint32_t m_fwpart = 0;
  std::uint32_t m_fwversion = 0;
  DebugLog m_debuglog;
  int m_failcount = 0;
  // True while an exchange is in progress (see ExchangeGuard).
  bool m_exchangeActive = false;
  // Told when an exchange starts (true) and ends (false), so that a window
  // can bar its sensor actions for as long as one lasts.
  std::function<void(bool active)> onExchangeChange;

  // The sensor's channel, or null while no port is chosen.
  Channel* Sensor() const;
};

// One exchange at a time: operations that let pending events run can be
// re-entered by a timer tick or a menu click. Whoever talks to the sensor
// takes the guard first; when it is already taken, the caller must skip its
// tick or refuse its action.
class ExchangeGuard {
 public:
  explicit ExchangeGuard(LinkState& state) : state_(state), acquired_(!state.m_exchangeActive) {
    if (!acquired_) return;
    state_.m_exchangeActive = true;
    if (state_.onExchangeChange) state_.onExchangeChange(true);
  }
  ~ExchangeGuard() {
    if (!acquired_) return;
    state_.m_exchangeActive = false;
    if (state_.onExchangeChange) state_.onExchangeChange(false);
  }
  ExchangeGuard(const ExchangeGuard&) = delete;
  ExchangeGuard& operator=(const ExchangeGuard&) = delete;
  bool Acquired() const { return acquired_; }

 private:
  LinkState& state_;
  bool acquired_;
};

// Caller memory for a reply: cleared before use; after a successful wait it
// holds the received bytes followed by a zero byte.
class ReplyBuffer {
 public:
  explicit ReplyBuffer(std::size_t capacity) : bytes_(capacity, 0) {}
  void Clear() { std::fill(bytes_.begin(), bytes_.end(), 0); }
  std::size_t Capacity() const { return bytes_.size(); }
  std::uint8_t* Data() { return bytes_.data(); }
  const std::uint8_t* Data() const { return bytes_.data(); }
  const char* Text() const { return reinterpret_cast<const char*>(bytes_.data()); }
  std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
  // Bytes counted at the last poll of the last wait.
  int counted = 0;

 private:
  std::vector<std::uint8_t> bytes_;
};

class CommandExchange {
 public:
  CommandExchange(LinkState& state, Clock& clock, UserInterface& user)
      : state_(state), clock_(clock), user_(user) {}

  LinkState& State() { return state_; }
  Clock& Time() { return clock_; }
  UserInterface& User() { return user_; }

  // STX, the text (at most 30 characters), CR.
  void SendCommand(std::string_view text);
  // Empties the receive buffer, then writes the bytes in one write.
  bool WriteRaw(const std::uint8_t* bytes, std::size_t count);
  // Waits until `n` bytes have arrived and the reply is over, for at most
  // `polls` polls of 10 ms (see ReplyWait).
  bool WaitReply(ReplyBuffer& reply, int n, int polls);
  // As WaitReply, with the progress window advanced once per 10 ms waited.
  bool WaitReplyProgress(ReplyBuffer& reply, int n, int polls);
  // Up to four sends of a command the sensor acknowledges with 9 bytes;
  // "Message failed" when none is answered.
  bool SendAcknowledgedCommand(std::string_view text);
  // "I" up to `attempts` times; sets m_fwpart and m_fwversion.
  bool IdentifySensor(int attempts);
  void UnlockConfig();
  void LockConfig();
  bool RebootSensor();
  bool RebootWait(int steps);

 private:
  bool Wait(ReplyBuffer& reply, int n, int polls, bool progress);

  LinkState& state_;
  Clock& clock_;
  UserInterface& user_;
};
