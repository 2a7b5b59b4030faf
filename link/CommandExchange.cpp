#include "link/CommandExchange.h"

#include <algorithm>

#include "app/Unit9.h"
#include "link/Reply.h"
#include "link/ReplyWait.h"

Channel* LinkState::Sensor() const {
  if (m_comnum < 1 || m_comnum >= static_cast<int>(m_comms.size())) return nullptr;
  return m_comms[static_cast<std::size_t>(m_comnum)].get();
}

void CommandExchange::SendCommand(std::string_view text) {
  // Requests are assembled in a 32-byte area: STX, up to 30 characters, CR.
  std::array<std::uint8_t, 32> request{};
  const std::size_t length = std::min<std::size_t>(text.size(), request.size() - 2);
  request[0] = 0x02;
  std::copy_n(text.begin(), length, request.begin() + 1);
  request[length + 1] = 0x0D;
  WriteRaw(request.data(), length + 2);
}

bool CommandExchange::WriteRaw(const std::uint8_t* bytes, std::size_t count) {
  Channel* channel = state_.Sensor();
  if (channel == nullptr) return false;
  channel->Flush();
  return channel->Send(bytes, std::min<std::size_t>(count, 1024));
}

namespace {
// The requests whose replies begin with LF, never with a request's STX: the
// identification "I", the status "A", the extended status "a" and a register
// read "R ...". A reply to one of them that begins with the request is an echo.
bool RepliesWithLineFeed(const std::vector<std::uint8_t>& request) {
  if (request.size() < 3 || request.front() != 0x02 || request.back() != 0x0D) return false;
  const std::string_view text(reinterpret_cast<const char*>(request.data()) + 1, request.size() - 2);
  return text == "I" || text == "A" || text == "a" || text.starts_with("R ");
}
}  // namespace

bool CommandExchange::Wait(ReplyBuffer& reply, int n, int polls, bool progress) {
  ReplyWaitRule rule;
  rule.awaited = n;
  rule.polls = polls;
  if (progress) {
    rule.eachPoll = [this] {
      user_.ProgressStep();
      user_.ProcessEvents();
    };
  }
  Channel* channel = state_.Sensor();
  if (channel == nullptr) {
    // Without a port nothing can arrive: the wait runs out its polls.
    for (int poll = 0; poll < polls; ++poll) {
      clock_.Sleep(10);
      if (rule.eachPoll) rule.eachPoll();
    }
    reply.counted = 0;
    return false;
  }
  rule.detectEcho = RepliesWithLineFeed(channel->LastRequest());
  rule.lineEnds = true;
  const ReplyWaitResult result = ReplyWait(*channel, clock_).Run(rule);
  reply.counted = result.counted;
  if (!result.Complete()) return false;
  // Never beyond the buffer: the last byte is kept for the terminator.
  const std::size_t room = reply.Capacity() - 1;
  const std::size_t copied =
      channel->CopyReply(reply.Data(), std::min<std::size_t>(room, static_cast<std::size_t>(result.counted)));
  reply.Data()[std::min(copied, room)] = 0;
  return true;
}

bool CommandExchange::WaitReply(ReplyBuffer& reply, int n, int polls) {
  return Wait(reply, n, polls, false);
}

bool CommandExchange::WaitReplyProgress(ReplyBuffer& reply, int n, int polls) {
  user_.ProgressMaximum(polls);
  user_.ProgressShow();
  const bool ok = Wait(reply, n, polls, true);
  user_.ProgressClose();
  return ok;
}

bool CommandExchange::SendAcknowledgedCommand(std::string_view text) {
  user_.StopStatusPoll();
  user_.StopReportingPoll();
  ReplyBuffer reply(64);
  bool answered = false;
  for (int attempt = 0; attempt < 4 && !answered; ++attempt) {
    reply.Clear();
    clock_.Sleep(50);
    SendCommand(text);
    answered = WaitReply(reply, 9, 100);
  }
  if (!answered) user_.ShowMessage(ErrorMessage(176, TextOf(176)));
  if (user_.ReportingVisible()) {
    user_.StartReportingPoll();
  } else {
    user_.StartStatusPoll();
  }
  return answered;
}

bool CommandExchange::IdentifySensor(int attempts) {
  user_.ProgressTitle(124);
  user_.ProgressPosition(0);
  // The bar knows its maximum before it is first drawn.
  user_.ProgressMaximum(attempts);
  user_.ProgressShow();
  ReplyBuffer reply(64);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    clock_.Sleep(50);
    SendCommand("I");
    if (WaitReply(reply, 17, 100)) {
      // Part number and version in hexadecimal after LF, CR, STX, "I", ",".
      // A field that cannot be read keeps its previous value.
      std::uint32_t fields[2] = {state_.m_fwpart, state_.m_fwversion};
      const int read = ScanHexFields(ReplyFields(reply), 2, fields);
      if (read >= 1) state_.m_fwpart = fields[0];
      if (read >= 2) state_.m_fwversion = fields[1];
      user_.SetMainCaption(TextOf(2));
      user_.ProgressClose();
      return true;
    }
    user_.ProgressStep();
    user_.ProcessEvents();
  }
  user_.ProgressClose();
  return false;
}

void CommandExchange::UnlockConfig() {
  SendCommand("");
  clock_.Sleep(20);
  SendCommand("U 5E2B");
  clock_.Sleep(20);
}

void CommandExchange::LockConfig() {
  SendCommand("");
  clock_.Sleep(20);
  SendCommand("U 1");
  clock_.Sleep(20);
}

bool CommandExchange::RebootSensor() {
  SendCommand("Q");
  RebootWait(60);
  return true;
}

bool CommandExchange::RebootWait(int steps) {
  user_.ProgressPosition(0);
  user_.ProgressMaximum(steps);
  user_.ProgressTitle(129);
  user_.ProgressShow();
  for (int i = 0; i < steps; ++i) {
    clock_.Sleep(100);
    user_.ProgressStep();
    user_.ProcessEvents();
  }
  user_.ProgressClose();
  return true;
}
