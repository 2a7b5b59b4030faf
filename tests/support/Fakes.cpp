#include "tests/support/Fakes.h"

#include <algorithm>

void VirtualClock::Sleep(int ms) { Advance(ms > 0 ? static_cast<std::int64_t>(ms) * 1000 : 0); }

void VirtualClock::Advance(std::int64_t us) {
  if (us > 0) nowUs_ += us;
  if (onSleep) onSleep(NowMs());
}

std::string Written::Text() const {
  if (bytes.size() < 2 || bytes.front() != 0x02 || bytes.back() != 0x0D) return "";
  return std::string(bytes.begin() + 1, bytes.end() - 1);
}

bool FakeChannel::OpenPort(int p, int b) {
  if (p < 1 || openFails) return false;
  port = p;
  baud = b;
  isOpen = true;
  gone_ = false;
  arrived_ = 0;
  rx_.clear();
  return true;
}

bool FakeChannel::ClosePort() {
  isOpen = false;
  ++closeCount;
  return true;
}

bool FakeChannel::SetBaud(int b) {
  baudChanges.push_back(b);
  if (!isOpen || gone_ || (refusedBaud != 0 && b == refusedBaud)) return false;
  baud = b;
  return true;
}

void FakeChannel::Disconnect() {
  gone_ = true;
  pending_.clear();
}

void FakeChannel::StartReader() { rx_.clear(); }

void FakeChannel::Deliver() const {
  while (!gone_ && !pending_.empty() && pending_.front().first <= clock_.NowUs()) {
    for (std::uint8_t b : pending_.front().second) {
      if (disconnectAfter && arrived_ >= *disconnectAfter) {
        gone_ = true;
        pending_.clear();
        return;
      }
      if (stallAfter && arrived_ >= *stallAfter) continue;
      rx_.push_back(b);
      ++arrived_;
    }
    pending_.pop_front();
  }
}

int FakeChannel::Available() const {
  Deliver();
  return static_cast<int>(rx_.size());
}

void FakeChannel::Flush() {
  ++flushCount;
  Deliver();
  rx_.clear();
}

std::size_t FakeChannel::CopyOut(std::uint8_t* destination, std::size_t capacity) const {
  const std::size_t n = std::min(capacity, rx_.size());
  std::copy_n(rx_.begin(), n, destination);
  return n;
}

bool FakeChannel::WriteBytes(const std::uint8_t* data, std::size_t n) {
  Written w{std::vector<std::uint8_t>(data, data + n), clock_.NowMs(), baud};
  w.failed = !isOpen || gone_ || (writeFails && writeFails(w));
  writes.push_back(w);
  if (w.failed) return false;
  if (echo) FeedAt(0, w.bytes);
  if (responder) {
    std::vector<std::uint8_t> reply = responder(w);
    if (!reply.empty()) FeedAt(static_cast<std::int64_t>(replyDelayMs) * 1000, reply);
  }
  return true;
}

void FakeChannel::Feed(const std::vector<std::uint8_t>& bytes) {
  rx_.insert(rx_.end(), bytes.begin(), bytes.end());
}

void FakeChannel::FeedAt(std::int64_t afterUs, const std::vector<std::uint8_t>& bytes) {
  const std::int64_t at = clock_.NowUs() + afterUs;
  auto later = std::find_if(pending_.begin(), pending_.end(), [at](const auto& p) { return p.first > at; });
  pending_.insert(later, {at, bytes});
}

int FakeChannel::WaitForCount(int atLeast, std::int64_t timeoutUs) {
  Deliver();
  const std::int64_t until = clock_.NowUs() + std::max<std::int64_t>(timeoutUs, 0);
  while (!gone_ && static_cast<int>(rx_.size()) < atLeast && clock_.NowUs() < until) {
    const std::int64_t next = pending_.empty() ? until : std::min(until, pending_.front().first);
    clock_.Advance(next - clock_.NowUs());
    Deliver();
  }
  return static_cast<int>(rx_.size());
}

std::vector<std::string> FakeChannel::Texts() const {
  std::vector<std::string> texts;
  for (const Written& w : writes) texts.push_back(w.Text());
  return texts;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> TextReply(const std::string& body, std::size_t length) {
  std::string text = "\n\r\x02" + body;
  if (text.size() < length) text.append(length - text.size(), ' ');
  return Bytes(text);
}

MessageAnswer ScriptedUser::ShowMessage(const Message& message) {
  messages.push_back(message);
  events.push_back("message " + std::to_string(message.entry));
  if (onMessage) onMessage(message);
  if (!answers.empty()) {
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void ScriptedUser::ProgressTitle(int entry) { events.push_back("title " + std::to_string(entry)); }
void ScriptedUser::ProgressMaximum(int maximum) {
  progressMaximum = maximum;
  events.push_back("max " + std::to_string(maximum));
}
void ScriptedUser::ProgressPosition(int position) {
  progressPosition = position;
  events.push_back("position " + std::to_string(position));
}
void ScriptedUser::ProgressStep() {
  ++progressPosition;
  ++progressSteps;
}
void ScriptedUser::ProgressShow() { events.push_back("show"); }
void ScriptedUser::ProgressClose() { events.push_back("close"); }
void ScriptedUser::ProcessEvents() {
  ++processEventsCount;
  if (onProcessEvents) onProcessEvents();
}

std::optional<std::string> ScriptedUser::ChooseOpenFile(const std::string& filter) {
  filters.push_back(filter);
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

std::optional<std::string> ScriptedUser::ChooseSaveFile(const std::string& filter, const std::string& defaultExtension) {
  filters.push_back(filter + " ." + defaultExtension);
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

void ScriptedUser::StopStatusPoll() {
  statusPollRunning = false;
  events.push_back("status stop");
}
void ScriptedUser::StartStatusPoll() {
  statusPollRunning = true;
  events.push_back("status start");
}
void ScriptedUser::StopReportingPoll() {
  reportingPollRunning = false;
  events.push_back("reporting stop");
}
void ScriptedUser::StartReportingPoll() {
  reportingPollRunning = true;
  events.push_back("reporting start");
}
