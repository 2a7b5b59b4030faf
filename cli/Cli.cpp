#include "cli/Cli.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/Unit9.h"
#include "link/Commsthread.h"
#include "link/PortRefusal.h"
#include "link/PortSearch.h"

// ---- TerminalUser ---------------------------------------------------------

MessageAnswer TerminalUser::ShowMessage(const Message& message) {
  messages.push_back(message);
  MessageAnswer answer = MessageAnswer::Ok;
  switch (message.buttons) {
    case MessageButtons::YesNo: answer = answerYes ? MessageAnswer::Yes : MessageAnswer::No; break;
    case MessageButtons::OkCancel: answer = answerYes ? MessageAnswer::Ok : MessageAnswer::Cancel; break;
    case MessageButtons::Ok: break;
  }
  if (const auto given = answers.find(message.entry); given != answers.end()) answer = given->second;
  std::cerr << TextOf(message.title) << ": " << message.text;
  // A question is answered from the command line; say how.
  if (message.buttons == MessageButtons::YesNo) std::cerr << " " << (answer == MessageAnswer::Yes ? "yes" : "no");
  std::cerr << "\n";
  if (!message.detail.empty()) std::cerr << "  " << message.detail << "\n";
  return answer;
}

void TerminalUser::ProgressTitle(int entry) { title_ = TextOf(entry); }
void TerminalUser::ProgressMaximum(int maximum) { maximum_ = maximum; }
void TerminalUser::ProgressPosition(int position) { position_ = position; }

void TerminalUser::ProgressStep() {
  ++position_;
  if (shown_) Draw();
}

void TerminalUser::ProgressShow() {
  shown_ = true;
  tenthShown_ = -1;
  Draw();
}

void TerminalUser::ProgressClose() {
  if (shown_ && showProgress && terminal) std::cerr << "\n";
  shown_ = false;
}

void TerminalUser::Draw() {
  if (!showProgress) return;
  if (!terminal) {
    const int shownPosition = maximum_ > 0 ? std::min(position_, maximum_) : 0;
    const int tenth = maximum_ > 0 ? shownPosition * 10 / maximum_ : 0;
    if (tenth == tenthShown_) return;
    tenthShown_ = tenth;
    std::cerr << title_ << " " << shownPosition << "/" << maximum_ << "\n";
    return;
  }
  constexpr int kWidth = 30;
  const int shownPosition = maximum_ > 0 ? std::min(position_, maximum_) : 0;
  const int filled = maximum_ > 0 ? shownPosition * kWidth / maximum_ : 0;
  std::cerr << "\r" << title_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << shownPosition << "/"
            << maximum_ << std::flush;
}

std::optional<std::string> TerminalUser::ChooseOpenFile(const std::string&) { return file; }

std::optional<std::string> TerminalUser::ChooseSaveFile(const std::string&, const std::string&) { return file; }

// ---- CliSession -----------------------------------------------------------

CliSession::CliSession(std::optional<std::string> port) : port_(std::move(port)) {
  user_.terminal = ::isatty(STDERR_FILENO) == 1;
}

namespace {
// "COM4", "com4" or "4": the number; otherwise 0.
int ComNumber(const std::string& text) {
  std::string digits = text;
  if (digits.size() > 3 && (digits.compare(0, 3, "COM") == 0 || digits.compare(0, 3, "com") == 0)) {
    digits = digits.substr(3);
  }
  if (digits.empty() || digits.size() > 2) return 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
  }
  const int n = std::atoi(digits.c_str());
  return n >= 1 && n <= 99 ? n : 0;
}

}  // namespace

std::optional<std::string> CliSession::LostDevice() {
  const Channel* channel = Link().Sensor();
  if (channel == nullptr || !channel->Gone()) return std::nullopt;
  return device_;
}

void CliSession::NoteDevice() {
  // Named as it was while open: a link may lead nowhere once it is gone.
  device_ = Ports().Resolved(Link().m_comnum);
  if (device_.empty()) device_ = Ports().Device(Link().m_comnum);
}

int CliSession::Connect() {
  const int status = port_ ? OpenGivenPort() : SearchSensorPort();
  if (status == kExitOk) NoteDevice();
  return status;
}

int CliSession::OpenGivenPort() {
  int number = ComNumber(*port_);
  if (number != 0) {
    session_.SetPorts(PortMap::Build(DebugLog::DataFolder()));
  } else if (!port_->empty() && (*port_)[0] == '/') {
    number = 1;  // a device path stands in as COM1 of a table of its own
    session_.SetPorts(PortMap::FromEntries({{1, *port_}}));
  } else {
    std::cerr << "oil-debris-cli: --port takes COMn, comn, n (1 to 99) or a device path, not '" << *port_ << "'\n";
    return kExitUsage;
  }
  auto channel = std::make_unique<TCommsThread>(session_.Ports());
  if (!channel->OpenPort(number, kTextBaud)) {
    const std::string device = session_.Ports().Resolved(number);
    std::cerr << "oil-debris-cli: " << *port_ << " (" << (device.empty() ? "no device" : device)
              << "): " << RefusalReason(channel->LastOpenError(), channel->LastOpenErrorText()) << "\n";
    return kExitUsage;
  }
  channel->StartReader();
  session_.UseChannel(number, std::move(channel));
  return kExitOk;
}

int CliSession::SearchSensorPort() {
  session_.SetPorts(PortMap::Build(DebugLog::DataFolder()));
  PortSearchHooks hooks;
  hooks.makeChannel = [this]() -> std::unique_ptr<Channel> { return std::make_unique<TCommsThread>(session_.Ports()); };
  // No dialog: the silent ports are listed and the user names one.
  hooks.choosePort = [this](const std::vector<int>& openPorts) -> std::optional<int> {
    std::cerr << "oil-debris-cli: no sensor answered on";
    for (int n : openPorts) std::cerr << "\n  " << session_.Ports().Describe(n);
    std::cerr << "\nchoose one with --port\n";
    return std::nullopt;
  };
  std::vector<PortRefusal> refusals;
  hooks.openFailed = [this, &refusals](int port, const Channel& channel) {
    if (auto refusal = RefusalOf(port, channel, session_.Ports())) refusals.push_back(*refusal);
  };
  const bool progress = user_.showProgress;
  user_.showProgress = false;  // one "I" per port; the search says what it found
  const PortSearchResult result = SearchPorts(session_.Exchange(), hooks);
  user_.showProgress = progress;
  switch (result.outcome) {
    case SearchOutcome::Chosen: return kExitOk;
    case SearchOutcome::NoPort:
      // Each device that exists and why it did not open.
      if (refusals.empty()) std::cerr << "oil-debris-cli: no serial device found (see 'oil-debris-cli ports')\n";
      for (const PortRefusal& refusal : refusals) std::cerr << "oil-debris-cli: " << DescribeRefusal(refusal) << "\n";
      return kExitUsage;
    case SearchOutcome::SelectionClosed: break;
  }
  session_.Link().m_comnum = kNoPort;
  return kExitUsage;
}

// ---- argument parsing -----------------------------------------------------

bool ParseAddress(const std::string& text, unsigned& address) {
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits = digits.substr(2);
  if (digits.empty() || digits.size() > 4) return false;
  for (char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  address = static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 16));
  return true;
}

bool ParseValue(const std::string& text, long& value) {
  // C's "%i": optional sign, then 0x hexadecimal, leading-0 octal or decimal;
  // the whole argument must be the number.
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 0);
  return errno == 0 && end != text.c_str() && *end == '\0';
}
