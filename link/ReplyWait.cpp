#include "link/ReplyWait.h"

#include <algorithm>
#include <optional>

namespace {
constexpr std::int64_t kBitsPerByte = 10;
// A channel that cannot tell its rate is taken at 19200 baud, the slowest
// the sensor speaks, so that its quiet time is never too short.
constexpr int kSlowestRate = 19200;

// Polls begun by `elapsedUs`: a poll that has started counts as one.
std::int64_t PollsBegun(std::int64_t elapsedUs) { return (elapsedUs + ReplyWait::kPollUs - 1) / ReplyWait::kPollUs; }
}  // namespace

std::int64_t ReplyWait::QuietUs(int baud) {
  if (baud <= 0) baud = kSlowestRate;
  const std::int64_t bitsUs = 2 * kBitsPerByte * 1'000'000;
  return (bitsUs + baud - 1) / baud;
}

bool ReplyWait::EndsFrame(const std::uint8_t* bytes, std::size_t n) {
  if (n == 0) return false;
  // A 0x10 escapes the byte after it, itself included when it is a 0x10.
  bool escaped = false;
  for (std::size_t i = 0; i + 1 < n; ++i) escaped = !escaped && bytes[i] == 0x10;
  return !escaped && bytes[n - 1] == 0x04;
}

bool ReplyWait::EndsLine(const std::uint8_t* bytes, std::size_t n) {
  return n >= 2 && bytes[n - 2] == '\r' && bytes[n - 1] == '\n';
}

bool ReplyWait::ReplyEnded(const ReplyWaitRule& rule, int count) {
  if (!rule.frameEnds && !rule.lineEnds) return false;
  const int after = count - static_cast<int>(channel_.EchoLength());
  if (after <= 0) return false;
  received_.resize(static_cast<std::size_t>(after));
  const std::size_t n = channel_.CopyReply(received_.data(), received_.size());
  return rule.frameEnds ? EndsFrame(received_.data(), n) : EndsLine(received_.data(), n);
}

void ReplyWait::DetectEcho(int count) {
  const std::vector<std::uint8_t>& request = channel_.LastRequest();
  if (channel_.Echoing() || request.empty() || static_cast<std::size_t>(count) < request.size()) return;
  received_.resize(request.size());
  const std::size_t n = channel_.CopyOut(received_.data(), received_.size());
  if (n == request.size() && std::equal(request.begin(), request.end(), received_.begin())) channel_.MarkEchoing();
}

ReplyWaitResult ReplyWait::Run(const ReplyWaitRule& rule) {
  const std::int64_t start = clock_.NowUs();
  const std::int64_t deadline = start + static_cast<std::int64_t>(rule.polls) * kPollUs;
  const std::int64_t quiet = QuietUs(channel_.LineRate());
  // The echo of the request is awaited before the reply's own bytes.
  auto awaited = [&] { return rule.awaited + static_cast<int>(channel_.EchoLength()); };
  auto counted = [&](int count) { return std::max(0, count - static_cast<int>(channel_.EchoLength())); };

  int count = channel_.Available();
  if (channel_.LastSendFailed() || channel_.Gone()) return {ReplyWaitOutcome::TimedOut, counted(count)};
  std::int64_t lastArrival = start;
  // When the awaited count was first seen.
  std::optional<std::int64_t> completeAt;
  if (rule.detectEcho) DetectEcho(count);
  if (count >= awaited()) completeAt = start;
  bool ended = completeAt && ReplyEnded(rule, count);

  int polled = 0;
  auto pollUpTo = [&](std::int64_t polls) {
    polls = std::min<std::int64_t>(polls, rule.polls);
    while (polled < polls) {
      ++polled;
      if (rule.eachPoll) rule.eachPoll();
    }
  };

  for (;;) {
    pollUpTo((clock_.NowUs() - start) / kPollUs);
    if (rule.giveUp && rule.giveUp()) return {ReplyWaitOutcome::TimedOut, count};
    const std::int64_t now = clock_.NowUs();
    std::int64_t wakeAt = deadline;
    if (completeAt) {
      // The poll of a 10 ms wait that would have found the count.
      const std::int64_t pollEnd = start + PollsBegun(*completeAt - start) * kPollUs;
      const std::int64_t end = std::min(pollEnd, lastArrival + quiet);
      if (ended || now >= end) {
        pollUpTo(PollsBegun(now - start));
        return {ReplyWaitOutcome::Complete, counted(count)};
      }
      wakeAt = end;
    } else if (now >= deadline) {
      pollUpTo(rule.polls);
      return {ReplyWaitOutcome::TimedOut, counted(count)};
    }
    if (rule.eachPoll || rule.giveUp) wakeAt = std::min(wakeAt, start + (polled + 1) * kPollUs);

    // Before the count, only the count matters; after it, every new byte.
    const int fresh = channel_.WaitForCount(completeAt ? count + 1 : awaited(), wakeAt - now);
    if (fresh == count) {
      // Nothing more can come from a device that went away.
      if (channel_.Gone()) return {completeAt ? ReplyWaitOutcome::Complete : ReplyWaitOutcome::TimedOut, counted(count)};
      continue;
    }
    count = fresh;
    lastArrival = clock_.NowUs();
    if (rule.detectEcho) DetectEcho(count);
    if (!completeAt && count >= awaited()) completeAt = lastArrival;
    if (completeAt) ended = ReplyEnded(rule, count);
  }
}
