#pragma once
// Test doubles for the core's edges: an in-memory channel whose replies come
// from a responder, a virtual clock that advances on sleep, and a scripted
// user that records what the procedures show and answers from a queue. The
// channel also injects the faults of a real line: a failed write, a failed
// rate change, a stall, a device that goes away in the middle of a reply, and
// an echo of every request.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/Channel.h"
#include "link/Clock.h"
#include "link/UserInterface.h"

class VirtualClock : public Clock {
 public:
  void Sleep(int ms) override;
  std::int64_t NowMs() override { return nowUs_ / 1000; }
  std::int64_t NowUs() override { return nowUs_; }
  std::int64_t CalendarSeconds() override { return calendarBase + NowMs() / 1000; }
  // Lets `us` microseconds pass, as a wait on the in-memory channel does.
  void Advance(std::int64_t us);

  std::int64_t calendarBase = 1'800'000'000;
  // Called after every sleep, with the new time in milliseconds (to let
  // "events" happen).
  std::function<void(std::int64_t)> onSleep;

 private:
  std::int64_t nowUs_ = 0;
};

// What the fake channel saw written, with the virtual time and the baud rate.
struct Written {
  std::vector<std::uint8_t> bytes;
  std::int64_t atMs = 0;
  int baud = 0;
  // The write failed: nothing went out and nothing answers it.
  bool failed = false;
  // The request text of a text command (between STX and CR), or "" otherwise.
  std::string Text() const;
};

class FakeChannel : public Channel {
 public:
  explicit FakeChannel(VirtualClock& clock) : clock_(clock) {}

  bool OpenPort(int port, int baud) override;
  bool ClosePort() override;
  bool SetBaud(int baud) override;
  int LineRate() const override { return baud; }
  void StartReader() override;
  int Available() const override;
  void Flush() override;
  // Lets virtual time pass, delivery by delivery, until the count is reached
  // or the timeout has passed.
  int WaitForCount(int atLeast, std::int64_t timeoutUs) override;
  std::size_t CopyOut(std::uint8_t* destination, std::size_t capacity) const override;
  bool WriteBytes(const std::uint8_t* data, std::size_t n) override;
  bool Gone() const override { return gone_; }

  // Bytes delivered `delayMs` after the write that produced them.
  std::function<std::vector<std::uint8_t>(const Written&)> responder;
  int replyDelayMs = 0;
  // Deliver bytes now (as if they arrived on the line).
  void Feed(const std::vector<std::uint8_t>& bytes);
  // Deliver bytes `afterUs` microseconds from now.
  void FeedAt(std::int64_t afterUs, const std::vector<std::uint8_t>& bytes);

  std::vector<Written> writes;
  std::vector<std::string> Texts() const;  // Text() of every write
  bool openFails = false;
  bool isOpen = false;
  int port = 0;
  int baud = 0;
  int closeCount = 0;
  int flushCount = 0;
  // Every rate asked for, refused ones included.
  std::vector<int> baudChanges;

  // Faults. A write for which `writeFails` is true fails (it is still listed
  // in `writes`, marked failed); SetBaud to `refusedBaud` fails and leaves the
  // rate as it was; with `echo` every request comes back at once, before its
  // reply. Once `stallAfter` bytes have arrived in all, the line falls
  // silent; once `disconnectAfter` bytes have, the device goes away (Gone),
  // and what was still on its way is lost. Disconnect() unplugs it now.
  std::function<bool(const Written&)> writeFails;
  int refusedBaud = 0;
  bool echo = false;
  std::optional<std::size_t> stallAfter;
  std::optional<std::size_t> disconnectAfter;
  void Disconnect();
  // Bytes that have arrived since the port was opened.
  std::size_t Arrived() const { return arrived_; }

 private:
  void Deliver() const;
  VirtualClock& clock_;
  mutable std::vector<std::uint8_t> rx_;
  // Bytes that arrived since the port was opened, and whether it went away.
  mutable std::size_t arrived_ = 0;
  mutable bool gone_ = false;
  // Deliveries in order of their virtual time in microseconds.
  mutable std::deque<std::pair<std::int64_t, std::vector<std::uint8_t>>> pending_;
};

// A text-protocol responder: the reply to a command text, or nothing.
std::vector<std::uint8_t> Bytes(const std::string& text);
// LF CR STX, then `body` (for example "A,32,64,400,190,0"), padded with
// spaces to at least `length` bytes.
std::vector<std::uint8_t> TextReply(const std::string& body, std::size_t length = 0);

class ScriptedUser : public UserInterface {
 public:
  MessageAnswer ShowMessage(const Message& message) override;
  void ProgressTitle(int entry) override;
  void ProgressMaximum(int maximum) override;
  void ProgressPosition(int position) override;
  void ProgressStep() override;
  void ProgressShow() override;
  void ProgressClose() override;
  void ProcessEvents() override;
  void SetMainCaption(const std::string& caption) override { mainCaption = caption; }
  std::optional<std::string> ChooseOpenFile(const std::string& filter) override;
  std::optional<std::string> ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) override;
  void StopStatusPoll() override;
  void StartStatusPoll() override;
  void StopReportingPoll() override;
  void StartReportingPoll() override;
  bool ReportingVisible() override { return reportingVisible; }

  std::vector<Message> messages;
  std::deque<MessageAnswer> answers;  // default Ok / Yes
  std::deque<std::optional<std::string>> files;
  std::vector<std::string> filters;
  // Progress window and poll events in order, e.g. "title 124", "max 5",
  // "step", "show", "close", "status stop", "status start".
  std::vector<std::string> events;
  int progressMaximum = 0;
  int progressPosition = 0;
  int progressSteps = 0;
  int processEventsCount = 0;
  std::function<void()> onProcessEvents;
  std::function<void(const Message&)> onMessage;
  std::string mainCaption;
  bool statusPollRunning = false;
  bool reportingPollRunning = false;
  bool reportingVisible = false;
};
