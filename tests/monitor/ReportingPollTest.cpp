// The reporting window's poll without the window: "a" and its reply, the
// boxes' texts and chart points, the two data logs line by line, showing
// and closing, and the exchange guard.
#include <gtest/gtest.h>

#include <deque>

#include <fstream>

#include "monitor/ReportingPoll.h"
#include "tests/support/LogHeaders.h"
#include "tests/support/SessionFixture.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kExample = "0a,05,400,1234,2345,190,fff0,64,65,66,67,68,69,fffe,1,0,0,6";
const std::string kExampleRaw = "12,10,5,1024,4660,9029,400,65520,100,101,102,103,104,105,65534,1,0,0,06";
const std::string kExampleUser = "12,,10,5,1000,4660,9029,25.00,-1.00,100,101,102,103,104,105,65534,1,0,0,06";

// LF CR STX "a," and the fields, padded with spaces to `length` bytes.
std::string Extended(const std::string& fields, std::size_t length = 93) {
  std::string reply = "\n\r\x02" "a," + fields;
  if (reply.size() < length) reply.append(length - reply.size(), ' ');
  return reply;
}

class ReportingPollTest : public SessionFixture {
 protected:
  ReportingPollTest() {
    sensor.SetOtherwise([this](const std::string& request) {
      if (request != "a" || replies.empty()) return std::string();
      std::string next = replies.front();
      replies.pop_front();
      return next;
    });
    channel->replyDelayMs = 40;
  }

  // Shows the window: PollStart now, the raw data log afresh.
  void Show() {
    StartReporting(session, state, RawPath());
    shownAtMs = clock.NowMs();
  }
  // Lets `seconds` pass, then polls once with the window's 1000 ms timer.
  ReportingPollResult PollAfter(int seconds, std::string reply) {
    clock.Sleep(seconds * 1000);
    if (!reply.empty()) replies.push_back(std::move(reply));
    return PollReporting(session, state, kReportingIntervalMs);
  }
  // Polls `second` seconds after the showing.
  ReportingPollResult PollAt(int second, std::string reply) {
    clock.Sleep(static_cast<int>(shownAtMs + second * 1000 - clock.NowMs()));
    return PollAfter(0, std::move(reply));
  }
  std::string RawPath() const { return folder.File("rawdata.csv"); }
  std::string UserPath() const { return folder.File("user.csv"); }
  void ChooseUserLog() {
    user.files.push_back(UserPath());
    ASSERT_TRUE(::ChooseUserLog(user, state.userLog));
  }

  TempFolder folder;
  ReportingState state;
  std::int64_t shownAtMs = 0;
  std::deque<std::string> replies;
};

TEST_F(ReportingPollTest, TheWorkedExampleFillsTheBoxesChartsAndBothLogs) {
  ChooseUserLog();
  EXPECT_EQ(user.filters, std::vector<std::string>{" ."}) << "no filter, no default extension";
  Show();
  Forget();
  const ReportingPollResult r = PollAfter(12, Extended(kExample));
  EXPECT_EQ(Sent(), std::vector<std::string>{"a"});
  ASSERT_EQ(r.outcome, ReportOutcome::Shown);
  EXPECT_EQ(r.seconds, 12);
  // Top to bottom: Raw Internal, Internal C, Raw External, External C, Debris
  // Ref Coarse, Debris Coarse, Coarse %, Calibrated, Correction, Debris Ref
  // Fine, Debris Fine, Fine %, Calibrated, Correction, Oil Ref Count, Oil
  // Count, Oil, Status.
  const std::array<std::string, kReportBoxes> boxes = {"4660", "25.00", "9029", "-1.00", "100", "101",
                                                       "10",   "-2",    "1",    "102",   "103", "5",
                                                       "0",    "0",     "104",  "105",   "1000", "06"};
  EXPECT_EQ(r.boxes, boxes);

  const auto& charts = state.charts.charts;
  EXPECT_EQ(charts[chTemperature].series[0], std::vector<double>{25});
  EXPECT_EQ(charts[chTemperature].series[1], std::vector<double>{-1});
  EXPECT_EQ(charts[chDebrisQ].series[0], std::vector<double>{100});
  EXPECT_EQ(charts[chDebrisQ].series[1], std::vector<double>{101});
  EXPECT_EQ(charts[chPercent].series[0], std::vector<double>{10});
  EXPECT_EQ(charts[chPercent].series[1], std::vector<double>{5});
  EXPECT_EQ(charts[chDebrisCount].series[0], std::vector<double>{102});
  EXPECT_EQ(charts[chDebrisCount].series[1], std::vector<double>{103});
  EXPECT_EQ(charts[chOilCount].series[0], std::vector<double>{104});
  EXPECT_EQ(charts[chOilCount].series[1], std::vector<double>{105});
  EXPECT_EQ(charts[chDielectric].series[0], std::vector<double>{1000});
  EXPECT_TRUE(charts[chDielectric].series[1].empty());
  EXPECT_EQ(charts[chCalibrated].series[0], std::vector<double>{-2});
  EXPECT_EQ(charts[chCalibrated].series[1], std::vector<double>{0});
  EXPECT_EQ(charts[chCorrection].series[0], std::vector<double>{1});
  EXPECT_EQ(charts[chCorrection].series[1], std::vector<double>{0});

  StopReporting(state);
  EXPECT_EQ(ReadBytes(RawPath()), std::string(kRawHeader) + "\r\n" + kExampleRaw);
  EXPECT_EQ(ReadBytes(UserPath()), std::string(kUserHeader) + "\r\n" + kExampleUser);
}

TEST_F(ReportingPollTest, BoxesAndChartsShowTheDerivedValues) {
  struct Case {
    const char* fields;
    const char* internal;  // Edit2
    const char* oil;       // Edit13
    double oilPlotted;
    const char* userOil;   // the user log's Dielectric column
  };
  const Case cases[] = {
      {"0,0,400,0,0,fff0,0,0,0,0,0,0,0,0,0,0,0,0", "-1.00", "1000", 1000, "1000"},
      {"0,0,3ff,0,0,190,0,0,0,0,0,0,0,0,0,0,0,0", "25.00", "999", 999, "999"},
      {"0,0,1,0,0,58,0,0,0,0,0,0,0,0,0,0,0,0", " 5.50", "0", 0, "1"},
  };
  ChooseUserLog();
  Show();
  std::string expectedLog = kUserHeader;
  int t = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    const ReportingPollResult r = PollAfter(1, Extended(c.fields));
    ++t;
    ASSERT_EQ(r.outcome, ReportOutcome::Shown);
    EXPECT_EQ(r.boxes[1], c.internal);
    EXPECT_EQ(r.boxes[16], c.oil);
    EXPECT_EQ(state.charts.charts[chDielectric].series[0].back(), c.oilPlotted);
    const std::string internal = std::string(c.internal).substr(c.internal[0] == ' ' ? 1 : 0);
    expectedLog += "\r\n" + std::to_string(t) + ",,0,0," + c.userOil + ",0,0," + internal + ",0.00,0,0,0,0,0,0,0,0,0,0,00";
  }
  EXPECT_EQ(ReadBytes(UserPath()), expectedLog);
}

TEST_F(ReportingPollTest, MissingAndRejectedRepliesLeaveTheirOwnUserLogLines) {
  ChooseUserLog();
  Show();
  struct Case {
    const char* name;
    int at;  // seconds after the showing (a missing reply takes a second)
    std::string reply;
    ReportOutcome outcome;
    const char* userLine;
  };
  const Case cases[] = {
      {"no reply", 1, "", ReportOutcome::NoReply, "\r\n1,,,,,"},
      {"92 bytes", 3, Extended(kExample, 92), ReportOutcome::NoReply, "\r\n3,,,,,"},
      {"the status letter", 5, "\n\r\x02" "A," + Extended(kExample).substr(5), ReportOutcome::Rejected, "\r\n5,,"},
      {"seventeen fields", 6, Extended("0a,05,400,1234,2345,190,fff0,64,65,66,67,68,69,fffe,1,0,0"),
       ReportOutcome::Rejected, "\r\n6,,"},
      {"93 bytes", 7, Extended(kExample, 93), ReportOutcome::Shown, nullptr},
  };
  std::string expectedLog = kUserHeader;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Forget();
    const ReportingPollResult r = PollAt(c.at, c.reply);
    EXPECT_EQ(Sent(), std::vector<std::string>{"a"});
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.seconds, c.at);
    if (c.userLine != nullptr) {
      expectedLog += c.userLine;
      for (const ChartData& chart : state.charts.charts) EXPECT_TRUE(chart.series[0].empty());
    }
  }
  expectedLog += "\r\n7" + kExampleUser.substr(2);
  StopReporting(state);
  EXPECT_EQ(ReadBytes(UserPath()), expectedLog);
  EXPECT_EQ(ReadBytes(RawPath()), std::string(kRawHeader) + "\r\n7" + kExampleRaw.substr(2))
      << "only the accepted record reaches the raw data log";
}

TEST_F(ReportingPollTest, ClearThenAPollStartsEveryChartAtPositionZero) {
  Show();
  for (int i = 0; i < 70; ++i) PollAfter(1, Extended(kExample));
  for (const ChartData& chart : state.charts.charts) EXPECT_EQ(chart.series[0].size(), 61u);
  state.charts.Clear();
  const ReportingPollResult r = PollAfter(1, Extended("1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,10,11,12"));
  ASSERT_EQ(r.outcome, ReportOutcome::Shown);
  for (const ChartData& chart : state.charts.charts) {
    EXPECT_EQ(chart.series[0].size(), 1u);
    EXPECT_EQ(chart.series[1].size(), chart.seriesCount == 2 ? 1u : 0u);
  }
  EXPECT_EQ(state.charts.charts[chPercent].series[0], std::vector<double>{1});
}

TEST_F(ReportingPollTest, ShowingAgainRestartsTheTimeAndTheRawLogWhileTheUserLogGoesOn) {
  ChooseUserLog();
  Show();
  PollAfter(1, Extended(kExample));
  PollAfter(1, Extended(kExample));
  StopReporting(state);
  EXPECT_FALSE(state.rawDataLog.IsOpen());
  clock.Sleep(30000);  // closed for half a minute

  Show();
  EXPECT_EQ(ReadBytes(RawPath()), kRawHeader) << "a new showing empties the raw data log";
  const ReportingPollResult r = PollAfter(1, Extended(kExample));
  EXPECT_EQ(r.seconds, 1) << "the time column starts again";
  StopReporting(state);
  EXPECT_EQ(ReadBytes(RawPath()), std::string(kRawHeader) + "\r\n1" + kExampleRaw.substr(2));
  const std::string line = kExampleUser.substr(2);
  EXPECT_EQ(ReadBytes(UserPath()), std::string(kUserHeader) + "\r\n1" + line + "\r\n2" + line + "\r\n1" + line);
  EXPECT_EQ(state.charts.charts[chPercent].series[0].size(), 3u) << "the charts keep the earlier points";
}

TEST_F(ReportingPollTest, NoPollWhileAnotherExchangeHoldsTheGuard) {
  ChooseUserLog();
  Show();
  Forget();
  ReportingPollResult r;
  {
    ExchangeGuard busy(link);
    r = PollAfter(1, Extended(kExample));
  }
  EXPECT_EQ(r.outcome, ReportOutcome::Skipped);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(ReadBytes(UserPath()), kUserHeader);
  EXPECT_FALSE(link.m_exchangeActive);
  replies.clear();
  EXPECT_EQ(PollAfter(0, Extended(kExample)).outcome, ReportOutcome::Shown);
  EXPECT_FALSE(link.m_exchangeActive) << "the poll gives the guard back";
}

TEST_F(ReportingPollTest, AUserLogPathOfMoreThan255BytesIsRefusedWithAMessage) {
  user.files.push_back(std::string(256, 'x'));
  EXPECT_FALSE(::ChooseUserLog(user, state.userLog));
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].title, 128);
  EXPECT_FALSE(state.userLog.Enabled());
  user.files.push_back(std::nullopt);  // cancelled: nothing changes, nothing said
  EXPECT_FALSE(::ChooseUserLog(user, state.userLog));
  EXPECT_EQ(user.messages.size(), 1u);
  EXPECT_FALSE(state.userLog.Enabled());
}

}  // namespace
