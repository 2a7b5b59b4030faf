// The configure window's live update without widgets: the reply checks, the
// gauge and oil values, the debug-log line and the exchange guard.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "config/LiveUpdate.h"
#include "tests/support/SessionFixture.h"

namespace {

// Fields 1, 2, 3 and 18 of a reply; the others are fixed filler.
std::string Body(const std::string& coarse, const std::string& fine, const std::string& oil,
                 const std::string& status) {
  return "a," + coarse + "," + fine + "," + oil + ",1f4,1f5,190,191,10,11,12,13,14,15,16,17,18,19," + status;
}

std::vector<std::uint8_t> Padded(std::string text, std::size_t length) {
  text.resize(std::max(text.size(), length), ' ');
  return Bytes(text);
}

class LiveUpdateTest : public SessionFixture {
 protected:
  LiveUpdateTest() {
    sensor.SetOtherwise([this](const std::string& request) { return request == "a" ? reply : std::string(); });
    channel->replyDelayMs = 30;
  }

  // What the window shows for one exchange whose reply is `bytes`.
  std::optional<LiveDisplay> RunWith(const std::vector<std::uint8_t>& bytes) {
    reply.assign(bytes.begin(), bytes.end());
    const std::optional<ReportRecord> record = RunLiveUpdate(exchange);
    if (!record) return std::nullopt;
    return LiveDisplayOf(*record);
  }

  std::string reply;
};

TEST_F(LiveUpdateTest, AGoodReplyGivesGaugesAndOilValue) {
  const auto reading = RunWith(TextReply(Body("32", "64", "400", "0"), 93));
  ASSERT_TRUE(reading.has_value());
  EXPECT_EQ(reading->coarse, 50);
  EXPECT_FALSE(reading->coarseRed);
  EXPECT_EQ(reading->fine, 100);
  EXPECT_TRUE(reading->fineRed);
  EXPECT_EQ(reading->oilValue, 1000);
  EXPECT_FALSE(reading->oilAlarm);
  EXPECT_EQ(Sent(), std::vector<std::string>{"a"});
}

TEST_F(LiveUpdateTest, GaugeColourFollowsTheHundredPercentMark) {
  struct Case {
    const char* coarse;
    int position;
    bool red;
  };
  // Fields are unsigned: one of 80000000 or more is far above 100.
  for (const Case c : {Case{"96", 100, true}, Case{"63", 99, false}, Case{"64", 100, true}, Case{"0", 0, false},
                       Case{"fffffff6", 100, true}}) {
    const auto reading = RunWith(TextReply(Body(c.coarse, "0", "400", "0"), 93));
    ASSERT_TRUE(reading.has_value()) << c.coarse;
    EXPECT_EQ(reading->coarse, c.position) << c.coarse;
    EXPECT_EQ(reading->coarseRed, c.red) << c.coarse;
  }
}

TEST_F(LiveUpdateTest, OilValueIsRawCountsOverOnePointZeroTwoFourTruncated) {
  struct Case {
    const char* raw;
    int shown;
  };
  for (const Case c : {Case{"400", 1000}, Case{"401", 1000}, Case{"402", 1001}, Case{"3e8", 976}, Case{"0", 0}}) {
    const auto reading = RunWith(TextReply(Body("0", "0", c.raw, "0"), 93));
    ASSERT_TRUE(reading.has_value()) << c.raw;
    EXPECT_EQ(reading->oilValue, c.shown) << c.raw;
  }
}

TEST_F(LiveUpdateTest, EitherOilAlarmFlagTurnsTheOilBoxRed) {
  struct Case {
    const char* status;
    bool alarm;
  };
  for (const Case c : {Case{"2", true}, Case{"4", true}, Case{"6", true}, Case{"1", false}, Case{"f9", false}}) {
    const auto reading = RunWith(TextReply(Body("0", "0", "400", c.status), 93));
    ASSERT_TRUE(reading.has_value()) << c.status;
    EXPECT_EQ(reading->oilAlarm, c.alarm) << c.status;
  }
}

TEST_F(LiveUpdateTest, IncompleteOrMalformedRepliesChangeNothing) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"92 characters", TextReply(Body("32", "64", "400", "0"), 92)},
      {"silent sensor", {}},
      {"status letter", TextReply(std::string("A").append(Body("32", "64", "400", "0"), 1), 93)},
      {"no comma", TextReply(std::string("a;").append(Body("32", "64", "400", "0"), 2), 93)},
      {"space for STX", Padded("\n\r " + Body("32", "64", "400", "0"), 93)},
      {"seventeen fields", TextReply("a,1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,10,11", 93)},
      {"field not hexadecimal", TextReply("a,1,2,zz,4,5,6,7,8,9,a,b,c,d,e,f,10,11,12", 93)},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(RunWith(c.bytes).has_value()) << c.name;
  }
}

TEST_F(LiveUpdateTest, WaitsAtMostOneSecondForTheReply) {
  const std::int64_t start = clock.NowMs();
  EXPECT_FALSE(RunWith({}).has_value());
  EXPECT_EQ(clock.NowMs() - start, 1000);
}

TEST_F(LiveUpdateTest, SkipsTheTickWhileAnotherExchangeRuns) {
  ExchangeGuard busy(link);
  ASSERT_TRUE(busy.Acquired());
  EXPECT_FALSE(RunWith(TextReply(Body("32", "64", "400", "0"), 93)).has_value());
  EXPECT_TRUE(channel->writes.empty());
}

TEST_F(LiveUpdateTest, AppendsFieldsOneTwoThreeAndStatusToTheDebugLog) {
  char path[] = "/tmp/liveupdate-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_TRUE(link.m_debuglog.Open(path));
  ASSERT_TRUE(RunWith(TextReply(Body("32", "64", "400", "1a"), 93)).has_value());
  EXPECT_FALSE(RunWith(TextReply(Body("32", "64", "400", "1a"), 92)).has_value());
  link.m_debuglog.Close();
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::remove(path);
  EXPECT_EQ(text.str(), "50,100,1024,1a\r\n");
}

}  // namespace
