// The main window's status poll: the reply, the display it gives and the
// counting of failed polls.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/StatusPoll.h"
#include "app/Unit9.h"
#include "link/CommandExchange.h"
#include "tests/support/SessionFixture.h"

namespace {

class StatusPollTest : public SessionFixture {
 protected:
  void SetUp() override {
    SetLanguage(0);
    sensor.SetOtherwise([this](const std::string& request) {
      if (request != "A" || replies.empty()) return std::string();
      std::string reply = replies.front();
      replies.pop_front();
      return reply;
    });
  }

  // The poll's answer: "" means the sensor stays silent.
  void Answer(const std::string& fields) { replies.push_back(fields.empty() ? "" : StatusText(fields)); }
  static std::string StatusText(const std::string& fields) { return AsText(TextReply("A," + fields, 26)); }
  static std::string AsText(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

  std::deque<std::string> replies;
};

struct DisplayCase {
  const char* name;
  const char* fields;
  std::uint16_t features;
  // Gauges: value shown or -1 for the "DISABLED" box; colour when shown.
  int coarse;
  StateColour coarseColour;
  int fine;
  StateColour fineColour;
  // Boxes: text, or "DISABLED" for a disabled box; background when shown.
  const char* oil;
  StateColour oilBackground;
  const char* temperature;
  StateColour temperatureBackground;
  const char* errors;
};

using C = StateColour;
const DisplayCase kDisplayCases[] = {
    {"all channels shown", "32,64,400,190,0", 0x0800, 50, C::Yellow, 100, C::Red, "1000", C::Green, "25\u00B0C",
     C::Green, "Status:Ok"},
    {"oil 1000 counts shows 976", "0,0,3E8,0,0", 0x0000, 0, C::Yellow, 0, C::Yellow, "976", C::Green, "DISABLED",
     C::Window, "Status:Ok"},
    {"minus half a degree truncates to 0", "0,0,0,FFF8,0", 0x0004, 0, C::Yellow, 0, C::Yellow, "DISABLED",
     C::Window, "0\u00B0C", C::Green, "Status:Ok"},
    {"minus five degrees", "0,0,0,FFB0,0", 0x0004, 0, C::Yellow, 0, C::Yellow, "DISABLED", C::Window,
     "-5\u00B0C", C::Green, "Status:Ok"},
    {"only the low 16 bits carry the temperature", "0,0,0,10190,0", 0x0004, 0, C::Yellow, 0, C::Yellow,
     "DISABLED", C::Window, "25\u00B0C", C::Green, "Status:Ok"},
    {"status 6 colours the oil box", "1,2,400,190,6", 0x0800, 1, C::Yellow, 2, C::Yellow, "1000", C::Red,
     "25\u00B0C", C::Green, "Status:06"},
    {"status 1 colours the temperature box", "1,2,400,190,1", 0x0800, 1, C::Yellow, 2, C::Yellow, "1000",
     C::Green, "25\u00B0C", C::Red, "Status:01"},
    {"a wide status in upper-case hexadecimal", "1,2,400,190,1ab", 0x0800, 1, C::Yellow, 2, C::Yellow, "1000",
     C::Red, "25\u00B0C", C::Red, "Status:1AB"},
    {"coarse above full scale", "96,63,400,190,0", 0x0000, 150, C::Red, 99, C::Yellow, "1000", C::Green,
     "DISABLED", C::Window, "Status:Ok"},
    {"temperature channel without MODBUS", "1,2,400,190,0", 0x0004, 1, C::Yellow, 2, C::Yellow, "DISABLED",
     C::Window, "25\u00B0C", C::Green, "Status:Ok"},
    {"third channel disabled", "1,2,400,190,0", 0x0824, 1, C::Yellow, 2, C::Yellow, "DISABLED", C::Window,
     "DISABLED", C::Window, "Status:Ok"},
    {"both debris channels disabled", "1,2,400,190,0", 0x0018, -1, C::Yellow, -1, C::Yellow, "1000", C::Green,
     "DISABLED", C::Window, "Status:Ok"},
    {"negative fields", "FFFFFFFF,-2,-400,190,0", 0x0000, -1, C::Yellow, -2, C::Yellow, "-1000", C::Green,
     "DISABLED", C::Window, "Status:Ok"},
};

void ExpectGauge(const GaugeDisplay& gauge, int value, StateColour colour) {
  if (value == -1 && gauge.disabled) {
    EXPECT_EQ(gauge.disabledText, "DISABLED");
    return;
  }
  EXPECT_FALSE(gauge.disabled);
  EXPECT_EQ(gauge.value, value);
  EXPECT_EQ(gauge.colour, colour);
}

void ExpectBox(const ValueBoxDisplay& box, const std::string& text, StateColour background) {
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.background, background);
  if (text == "DISABLED") {
    EXPECT_EQ(box.fontPoints, 16);
    EXPECT_EQ(box.alignment, BoxAlignment::Left);
    EXPECT_FALSE(box.enabled);
  } else {
    EXPECT_EQ(box.fontPoints, 28);
    EXPECT_EQ(box.alignment, BoxAlignment::Centre);
    EXPECT_TRUE(box.enabled);
  }
}

TEST_F(StatusPollTest, GoodRepliesFillTheDisplay) {
  for (const DisplayCase& c : kDisplayCases) {
    SCOPED_TRACE(c.name);
    link.m_failcount = 3;
    Answer(c.fields);
    const StatusPollResult result = PollStatus(exchange, c.features);
    ASSERT_EQ(result.outcome, PollOutcome::Shown);
    ASSERT_TRUE(result.display);
    ExpectGauge(result.display->coarse, c.coarse, c.coarseColour);
    ExpectGauge(result.display->fine, c.fine, c.fineColour);
    ExpectBox(result.display->oil, c.oil, c.oilBackground);
    ExpectBox(result.display->temperature, c.temperature, c.temperatureBackground);
    EXPECT_EQ(result.errorsLabel, c.errors);
    EXPECT_EQ(result.commsLabel, "Comms:Ok");
    EXPECT_EQ(result.timerInterval, 500);
    EXPECT_FALSE(result.stopTimer);
    EXPECT_FALSE(result.failureMessage);
    EXPECT_EQ(link.m_failcount, 0);
  }
  EXPECT_EQ(Sent(), std::vector<std::string>(std::size(kDisplayCases), "A"));
}

TEST(GaugePercentTest, ClampsToTheGaugeRange) {
  EXPECT_EQ(GaugePercent(150), 100);
  EXPECT_EQ(GaugePercent(100), 100);
  EXPECT_EQ(GaugePercent(42), 42);
  EXPECT_EQ(GaugePercent(0), 0);
  EXPECT_EQ(GaugePercent(-7), 0);
}

TEST(StatusReplyTest, OnlyAWholeStatusReplyIsRead) {
  struct Case {
    const char* name;
    std::string reply;
    bool read;
  };
  const Case cases[] = {
      {"well formed", std::string("\n\r\x02" "A,1,2,3,4,5"), true},
      {"trailing bytes ignored", std::string("\n\r\x02" "A,1,2,3,4,5,6,7  junk"), true},
      {"0x prefixes and blanks as %x reads them", std::string("\n\r\x02" "A, 0x1,2,3,4,5"), true},
      {"extended reply letter", std::string("\n\r\x02" "a,1,2,3,4,5"), false},
      {"semicolon separator", std::string("\n\r\x02" "A;1,2,3,4,5"), false},
      {"missing STX", std::string("\n\r" "A,1,2,3,4,5   "), false},
      {"four fields", std::string("\n\r\x02" "A,1,2,3,4"), false},
      {"a field that is not hexadecimal", std::string("\n\r\x02" "A,1,2,x,4,5"), false},
      {"a blank before a comma", std::string("\n\r\x02" "A,1 ,2,3,4,5"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseStatusReply(c.reply).has_value(), c.read);
  }
  const auto reading = ParseStatusReply(std::string("\n\r\x02" "A,32,64,400,190,ffffffff"));
  ASSERT_TRUE(reading);
  EXPECT_EQ(reading->coarse, 50);
  EXPECT_EQ(reading->fine, 100);
  EXPECT_EQ(reading->oil, 1024);
  EXPECT_EQ(reading->temperature, 400);
  EXPECT_EQ(reading->status, -1);
}

TEST_F(StatusPollTest, AnExtendedReplyChangesNothing) {
  link.m_failcount = 2;
  replies.push_back(AsText(TextReply("a,32,64,400,190,0", 40)));
  const StatusPollResult result = PollStatus(exchange, 0);
  EXPECT_EQ(result.outcome, PollOutcome::Ignored);
  EXPECT_FALSE(result.display);
  EXPECT_FALSE(result.errorsLabel);
  EXPECT_FALSE(result.commsLabel);
  EXPECT_FALSE(result.timerInterval);
  EXPECT_EQ(link.m_failcount, 2);
}

TEST_F(StatusPollTest, AShortReplyIsAFailure) {
  replies.push_back(StatusText("1,2,3,4,5").substr(0, 25));
  const std::int64_t start = clock.NowMs();
  const StatusPollResult result = PollStatus(exchange, 0);
  EXPECT_EQ(result.outcome, PollOutcome::Failed);
  EXPECT_EQ(result.errorsLabel, "Status");
  EXPECT_EQ(link.m_failcount, 1);
  EXPECT_EQ(clock.NowMs() - start, 1000);
}

TEST_F(StatusPollTest, TheSixthConsecutiveFailureStopsThePoll) {
  // Five failures, then a good reply: no message and the count starts again.
  for (int i = 0; i < 5; ++i) Answer("");
  Answer("1,2,3,4,0");
  for (int i = 0; i < 5; ++i) {
    const StatusPollResult failed = PollStatus(exchange, 0);
    EXPECT_EQ(failed.outcome, PollOutcome::Failed);
    EXPECT_FALSE(failed.failureMessage);
    EXPECT_FALSE(failed.stopTimer);
    EXPECT_FALSE(failed.commsLabel);
    EXPECT_FALSE(failed.timerInterval);
  }
  EXPECT_EQ(link.m_failcount, 5);
  EXPECT_EQ(PollStatus(exchange, 0).outcome, PollOutcome::Shown);
  EXPECT_EQ(link.m_failcount, 0);

  // Six in a row: the sixth stops the timer at 1000 ms and tells the user.
  int messages = 0;
  for (int i = 0; i < 6; ++i) {
    Answer("");
    const StatusPollResult result = PollStatus(exchange, 0);
    if (result.failureMessage) ++messages;
    if (i < 5) continue;
    EXPECT_TRUE(result.stopTimer);
    EXPECT_EQ(result.timerInterval, 1000);
    EXPECT_EQ(result.commsLabel, "Comms:Fail");
    ASSERT_TRUE(result.failureMessage);
    EXPECT_EQ(result.failureMessage->title, 128);
    EXPECT_EQ(result.failureMessage->entry, 125);
    EXPECT_EQ(result.failureMessage->buttons, MessageButtons::Ok);
    EXPECT_EQ(result.failureMessage->text,
              "Cannot communicate with sensor. Check connections and restart GUI\n"
              "If communication issues persist refer to Oil Condition Monitoring Sensor");
  }
  EXPECT_EQ(messages, 1);
  EXPECT_EQ(link.m_failcount, 5);

  // A restarted poll that fails again stops at once with the message.
  Answer("");
  const StatusPollResult again = PollStatus(exchange, 0);
  EXPECT_TRUE(again.stopTimer);
  EXPECT_TRUE(again.failureMessage);
  // And a good reply returns to polling at 500 ms.
  Answer("1,2,3,4,0");
  const StatusPollResult good = PollStatus(exchange, 0);
  EXPECT_EQ(good.timerInterval, 500);
  EXPECT_EQ(link.m_failcount, 0);
}

TEST_F(StatusPollTest, TheFailureMessageFollowsTheLanguage) {
  SetLanguage(1);
  for (int i = 0; i < 6; ++i) Answer("");
  StatusPollResult result;
  for (int i = 0; i < 6; ++i) result = PollStatus(exchange, 0);
  SetLanguage(0);
  ASSERT_TRUE(result.failureMessage);
  EXPECT_EQ(result.failureMessage->text, TextIn(125, 1) + " " + TextIn(147, 1) + "\n" + TextIn(148, 1));
  EXPECT_EQ(result.commsLabel, TextIn(46, 1));
}

TEST_F(StatusPollTest, EachGoodReplyIsLoggedAsDecimalFieldsAndHexadecimalStatus) {
  const std::string path = ::testing::TempDir() + "status-poll-debug.log";
  ASSERT_TRUE(link.m_debuglog.Open(path));
  Answer("32,64,400,190,0");
  Answer("");  // a failure logs nothing
  replies.push_back(AsText(TextReply("a,1,2,3,4,5", 30)));
  Answer("FFFFFFFF,0,0,FFB0,1a");
  for (int i = 0; i < 4; ++i) PollStatus(exchange, 0);
  link.m_debuglog.Close();
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  EXPECT_EQ(content.str(), "50,100,1024,400,0\r\n-1,0,0,65456,1a\r\n");
  std::remove(path.c_str());
}

}  // namespace
