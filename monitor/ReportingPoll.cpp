#include "monitor/ReportingPoll.h"

#include "app/OwnTexts.h"
#include "config/Session.h"
#include "link/CommandExchange.h"

std::string RawDataLogPath(const std::string& dataFolder) { return dataFolder + "/rawdata.csv"; }

void StartReporting(Session& session, ReportingState& state, const std::string& rawDataPath) {
  state.PollStart = session.Time().CalendarSeconds();
  state.rawDataLog.Open(rawDataPath);
}

void StopReporting(ReportingState& state) { state.rawDataLog.Close(); }

ReportingPollResult PollReporting(Session& session, ReportingState& state, int timerIntervalMs) {
  ReportingPollResult result;
  ExchangeGuard guard(session.Link());
  if (!guard.Acquired()) return result;

  const int chartWindow = 60000 / (timerIntervalMs > 0 ? timerIntervalMs : kReportingIntervalMs);
  result.seconds = session.Time().CalendarSeconds() - state.PollStart;
  state.userLog.BeginLine(result.seconds);

  CommandExchange& exchange = session.Exchange();
  ReplyBuffer reply(kReportReplyBuffer);
  reply.Clear();
  exchange.SendCommand("a");
  if (!exchange.WaitReply(reply, kReportReplyBytes, kReportReplyPolls)) {
    state.userLog.EndWithoutReply();
    result.outcome = ReportOutcome::NoReply;
    return result;
  }
  result.record = ParseReportReply(reply);
  if (!result.record) {
    state.userLog.EndRejected();
    result.outcome = ReportOutcome::Rejected;
    return result;
  }

  state.rawDataLog.Write(result.seconds, *result.record);
  result.boxes = ReportBoxTexts(*result.record);
  state.charts.Append(*result.record, chartWindow);
  state.userLog.EndWithRecord(*result.record);
  result.outcome = ReportOutcome::Shown;
  return result;
}

bool ChooseUserLog(UserInterface& user, UserLog& log) {
  const std::optional<std::string> path = user.ChooseSaveFile("", "");
  if (!path || path->empty()) return false;
  return UserLogNameAccepted(user, *path) && log.Choose(*path);
}

bool UserLogNameAccepted(UserInterface& user, const std::string& path) {
  if (path.size() <= kUserLogNameLimit) return true;
  Message refused = ErrorMessage(-1, OwnTextOf(OwnText::LogPathTooLong, ""));
  refused.detail = path;
  user.ShowMessage(refused);
  return false;
}
