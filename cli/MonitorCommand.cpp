// `monitor [--seconds N] [--log FILE] [--raw FILE]`: the reporting window's
// poll from the terminal, once a second until interrupted or for N seconds.
// It does not identify the sensor first, so it works with a sensor that
// leaves "I" unanswered (give its --port then: the port search needs "I").
// Prints a header naming the eighteen boxes top to bottom, then per poll the
// time and the boxes' texts, or the time and "no reply"; writes the user log
// and the raw data log as the window does.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/Cli.h"
#include "monitor/ReportingPoll.h"

namespace {

// Waits up to `ms` for an interrupt; true when one came.
bool Interrupted(const sigset_t& stops, std::int64_t ms) {
  if (ms <= 0) return false;
  const timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  return sigtimedwait(&stops, nullptr, &wait) > 0;
}

bool ParseSeconds(const std::string& text, long& seconds) {
  char* end = nullptr;
  seconds = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && seconds >= 1;
}

// A box's text as one word: the temperatures' "%5.2f" may lead with blanks.
std::string Word(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? text : text.substr(first);
}

void PrintHeader() {
  std::string header = "t";
  for (const ReportBoxInfo& box : kReportBoxInfo) header += std::string(" ") + box.column;
  std::printf("%s\n", header.c_str());
}

void PrintPoll(const ReportingPollResult& result) {
  std::string line = std::to_string(result.seconds);
  if (result.outcome == ReportOutcome::Shown) {
    for (const std::string& text : result.boxes) {
      line += ' ';
      line += Word(text);
    }
  } else {
    line += " no reply";
  }
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace

int RunMonitor(CliSession& session, const std::vector<std::string>& args) {
  long seconds = 0;  // 0: until interrupted
  std::optional<std::string> logFile;
  std::optional<std::string> rawFile;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--seconds" && hasValue && ParseSeconds(args[i + 1], seconds)) {
      ++i;
    } else if (arg == "--log" && hasValue) {
      logFile = args[++i];
    } else if (arg == "--raw" && hasValue) {
      rawFile = args[++i];
    } else {
      std::fprintf(stderr, "oil-debris-cli: monitor takes [--seconds N] [--log FILE] [--raw FILE], not '%s'\n",
                   arg.c_str());
      return kExitUsage;
    }
  }

  // The names are checked before the port is opened, the files created
  // (emptied) only once it is open: a port that cannot be opened leaves the
  // logs of an earlier run as they were.
  if (logFile && (logFile->empty() || !UserLogNameAccepted(session.User(), *logFile))) return kExitUsage;

  // Interrupts are taken between polls, so that a poll and its log lines
  // are never cut short and the logs are closed whole.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  sigprocmask(SIG_BLOCK, &stops, nullptr);

  if (const int status = session.Connect(); status != kExitOk) return status;

  ReportingState state;
  if (logFile) {
    session.User().file = *logFile;
    if (!ChooseUserLog(session.User(), state.userLog)) return kExitUsage;
    // The window tries again at every poll; here the user is told at once.
    std::FILE* check = std::fopen(logFile->c_str(), "ab");
    if (check == nullptr) {
      std::fprintf(stderr, "oil-debris-cli: cannot create the log '%s'\n", logFile->c_str());
      return kExitUsage;
    }
    std::fclose(check);
  }
  if (rawFile && !state.rawDataLog.Open(*rawFile)) {
    std::fprintf(stderr, "oil-debris-cli: cannot create the raw data log '%s'\n", rawFile->c_str());
    return kExitUsage;
  }

  Clock& clock = session.Time();
  state.PollStart = clock.CalendarSeconds();
  const std::int64_t start = clock.NowMs();
  PrintHeader();
  std::fflush(stdout);
  long polls = 0;
  long accepted = 0;
  // The polls keep the window's one-second beat, however long each takes.
  while (seconds == 0 || polls < seconds) {
    if (Interrupted(stops, start + (polls + 1) * kReportingIntervalMs - clock.NowMs())) break;
    const ReportingPollResult result = PollReporting(session.Core(), state, kReportingIntervalMs);
    ++polls;
    if (result.outcome == ReportOutcome::Shown) ++accepted;
    PrintPoll(result);
    // A device that went away ends the monitor; the logs are closed whole.
    if (session.LostDevice()) break;
  }
  StopReporting(state);
  return polls > 0 && accepted == 0 ? kExitFailed : kExitOk;
}
