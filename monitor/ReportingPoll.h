#pragma once
// The reporting window's poll, without the window: once a second "a" is
// sent, the eighteen fields of the reply become the boxes' texts and one
// point per chart series, and every poll writes to the two data logs. The
// window (and the command-line tool's monitor) keeps a ReportingState for
// as long as it lives and only shows what a poll decided.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "monitor/RawDataLog.h"
#include "monitor/ReportBoxes.h"
#include "monitor/ReportCharts.h"
#include "monitor/ReportRecord.h"
#include "monitor/UserLog.h"

class Session;
class UserInterface;

constexpr int kReportingIntervalMs = 1000;
constexpr int kReportReplyBytes = 93;
constexpr int kReportReplyPolls = 100;
constexpr std::size_t kReportReplyBuffer = 128;

// What lives with the window across its showings.
struct ReportingState {
  // The calendar second of the last showing; the logs' time column counts from it.
  std::int64_t PollStart = 0;
  ReportCharts charts;
  RawDataLog rawDataLog;
  UserLog userLog;
};

// The raw data log's place: rawdata.csv in the data folder.
std::string RawDataLogPath(const std::string& dataFolder);

// The window is shown: PollStart is now, and the raw data log starts afresh
// at `rawDataPath` (none when it cannot be created).
void StartReporting(Session& session, ReportingState& state, const std::string& rawDataPath);
// The window is closed: the raw data log is closed.
void StopReporting(ReportingState& state);

enum class ReportOutcome {
  Skipped,   // another exchange was in progress: nothing sent, nothing logged
  NoReply,   // fewer than 93 bytes within 100 polls
  Rejected,  // not the extended reply, or fewer than eighteen fields
  Shown,     // the boxes and charts follow the record
};

struct ReportingPollResult {
  ReportOutcome outcome = ReportOutcome::Skipped;
  std::int64_t seconds = 0;  // t of the poll
  std::optional<ReportRecord> record;
  std::array<std::string, kReportBoxes> boxes;  // Shown: the boxes' texts
};

// One poll (Button1Click), with `timerIntervalMs` the poll timer's interval
// (the charts span 60000 / interval points). It takes the exchange guard
// first and skips the poll while another exchange holds it.
ReportingPollResult PollReporting(Session& session, ReportingState& state, int timerIntervalMs);

// Choosing the user log (Open1Click): a save dialog without filter or
// default extension; a path of more than 255 bytes is refused with a
// message and changes nothing. Returns whether a log was chosen.
bool ChooseUserLog(UserInterface& user, UserLog& log);
// Whether `path` can name the user log, the refusal shown when it is too
// long; nothing is created.
bool UserLogNameAccepted(UserInterface& user, const std::string& path);
