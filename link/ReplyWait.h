#pragma once
// How the text exchange and the bootloader wait for a reply. A wait lasts at
// most `polls` polls of 10 ms, measured on the clock from its start. It does
// not look at the count on a timer: it sleeps until the channel's reader
// signals that bytes came in, and wakes every 10 ms only when the caller has
// something to do per poll (the progress window and pending events). Until
// the awaited count is in, the reader leaves it asleep.
//
// Once the awaited count is in, the reply may still run past it (the sensor
// pads some replies, the bootloader's acknowledgements are whole frames), and
// bytes of its tail that arrive after the next request's flush would count as
// the next reply. So the wait ends when the line has then been quiet for two
// byte-times at its rate, or, for a bootloader reply, as soon as the last
// byte received closes a frame (an unescaped 0x04), or, for a text reply,
// as soon as its last two bytes are the CR LF that closes every text reply;
// and never later than the 10 ms poll that first finds the count, as a wait
// that looks every 10 ms would end.
//
// A wait ends at once, as if no reply came, when its request could not be
// written or the device is gone. On a channel marked as echoing, the wait
// first takes the whole copy of its request and counts only the bytes after
// it; the text requests whose replies begin with LF (never with the STX of a
// request) are the ones that may mark it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/Channel.h"
#include "link/Clock.h"

struct ReplyWaitRule {
  // Bytes the caller needs, and the limit in polls of 10 ms.
  int awaited = 0;
  int polls = 0;
  // A bootloader reply: an unescaped 0x04 as the last byte ends it.
  bool frameEnds = false;
  // A text reply: CR LF as its last two bytes ends it.
  bool lineEnds = false;
  // The reply never begins with the request: when it does, the line echoes
  // and the channel is marked so.
  bool detectEcho = false;
  // Run once per 10 ms waited, the poll that finds the reply included.
  std::function<void()> eachPoll;
  // Asked at least once per 10 ms waited: true gives the reply up at once
  // (TimedOut), for a caller that has been asked to stop.
  std::function<bool()> giveUp;
};

enum class ReplyWaitOutcome { Complete, TimedOut };

struct ReplyWaitResult {
  ReplyWaitOutcome outcome = ReplyWaitOutcome::TimedOut;
  // Bytes counted when the wait ended, after the echo of the request on an
  // echoing channel.
  int counted = 0;
  bool Complete() const { return outcome == ReplyWaitOutcome::Complete; }
};

class ReplyWait {
 public:
  static constexpr std::int64_t kPollUs = 10'000;

  // The channel and the clock must agree on time: the threaded channel with
  // the steady clock, the tests' channel with their virtual clock.
  ReplyWait(Channel& channel, Clock& clock) : channel_(channel), clock_(clock) {}

  ReplyWaitResult Run(const ReplyWaitRule& rule);

  // Two byte-times of 10 bits (start bit, 8 data bits, stop bit) at `baud`,
  // rounded up to whole microseconds.
  static std::int64_t QuietUs(int baud);
  // Whether the last of `n` bytes is a 0x04 that no 0x10 escapes.
  static bool EndsFrame(const std::uint8_t* bytes, std::size_t n);
  // Whether `n` bytes end with CR LF.
  static bool EndsLine(const std::uint8_t* bytes, std::size_t n);

 private:
  // The bytes after the echo of the request, if any, close the reply: a
  // bootloader frame or a text line, as the rule says.
  bool ReplyEnded(const ReplyWaitRule& rule, int count);
  // Marks the channel as echoing when the first bytes are its request.
  void DetectEcho(int count);

  Channel& channel_;
  Clock& clock_;
  std::vector<std::uint8_t> received_;
};
