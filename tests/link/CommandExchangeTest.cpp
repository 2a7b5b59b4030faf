// The text command exchange on an in-memory channel and a virtual clock.
#include <gtest/gtest.h>

#include "app/Unit9.h"
#include "link/CommandExchange.h"
#include "tests/support/Fakes.h"

namespace {
class ExchangeTest : public ::testing::Test {
 protected:
  ExchangeTest() {
    auto channel = std::make_unique<FakeChannel>(clock);
    sensor = channel.get();
    sensor->OpenPort(4, kTextBaud);
    state.m_comms[4] = std::move(channel);
    state.m_comnum = 4;
  }

  VirtualClock clock;
  ScriptedUser user;
  LinkState state;
  CommandExchange exchange{state, clock, user};
  FakeChannel* sensor = nullptr;
};
}  // namespace

TEST_F(ExchangeTest, RequestsAreStxTextCr) {
  exchange.SendCommand("");
  exchange.SendCommand("h 4B");
  ASSERT_EQ(sensor->writes.size(), 2u);
  EXPECT_EQ(sensor->writes[0].bytes, (std::vector<std::uint8_t>{0x02, 0x0D}));
  EXPECT_EQ(sensor->writes[1].bytes, (std::vector<std::uint8_t>{0x02, 0x68, 0x20, 0x34, 0x42, 0x0D}));
  EXPECT_EQ(sensor->flushCount, 2) << "every request empties the receive buffer first";
}

TEST_F(ExchangeTest, WaitReplyTakesExactlyNBytesAndTerminatesThem) {
  sensor->Feed(Bytes("0123456789ABCDEFG"));  // 17 bytes
  ReplyBuffer reply(64);
  ASSERT_TRUE(exchange.WaitReply(reply, 17, 100));
  EXPECT_EQ(reply.counted, 17);
  EXPECT_STREQ(reply.Text(), "0123456789ABCDEFG");
  EXPECT_EQ(clock.NowMs(), 0) << "bytes already there need no poll";
}

TEST_F(ExchangeTest, WaitReplyTimesOutAfterItsPolls) {
  sensor->Feed(Bytes("0123456789ABCDEF"));  // one byte short
  ReplyBuffer reply(64);
  reply.Data()[0] = 'x';
  EXPECT_FALSE(exchange.WaitReply(reply, 17, 100));
  EXPECT_EQ(reply.counted, 16);
  EXPECT_EQ(clock.NowMs(), 1000);
  EXPECT_EQ(reply[0], 'x') << "a failed wait leaves the buffer as it was";
}

TEST_F(ExchangeTest, WaitReplyNeverOverrunsTheCallersBuffer) {
  sensor->Feed(std::vector<std::uint8_t>(300, 'z'));
  ReplyBuffer reply(64);
  ASSERT_TRUE(exchange.WaitReply(reply, 26, 100));
  EXPECT_EQ(reply.counted, 300);
  EXPECT_EQ(reply[63], 0);
  EXPECT_EQ(std::string(reply.Text()).size(), 63u);
}

namespace {
// Bytes that arrive on the line at a virtual time, in microseconds from the
// start of the wait.
struct Arrival {
  std::int64_t atUs;
  std::string bytes;
};

// One byte of `text` every `everyUs` from `fromUs` on.
std::vector<Arrival> Paced(std::int64_t fromUs, std::int64_t everyUs, const std::string& text) {
  std::vector<Arrival> line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    line.push_back({fromUs + static_cast<std::int64_t>(i) * everyUs, text.substr(i, 1)});
  }
  return line;
}

// The exchange over one in-memory channel on COM4 at 19200 baud.
struct Line {
  explicit Line(std::int64_t startUs = 0) { clock.Sleep(startUs); }
  static FakeChannel& Open(LinkState& state, VirtualClock& clock) {
    auto owned = std::make_unique<FakeChannel>(clock);
    FakeChannel& channel = *owned;
    channel.OpenPort(4, kTextBaud);
    state.m_comms[4] = std::move(owned);
    state.m_comnum = 4;
    return channel;
  }
  VirtualClock clock;
  ScriptedUser user;
  LinkState state;
  CommandExchange exchange{state, clock, user};
  FakeChannel& channel = Open(state, clock);
};
}  // namespace

TEST(ReplyWaitTiming, AReplyIsTakenOnceTheLineIsQuietAfterIt) {
  // At 19200 baud a byte takes 521 us; the line counts as quiet after two,
  // unless the CR LF that closes a text reply has come in.
  const std::string padded = "\n\r\x02W 0026 4c\r\n";  // 14 bytes, 2 awaited
  struct Case {
    const char* name;
    std::vector<Arrival> line;
    int n;
    int polls;
    bool ok;
    int counted;
    std::int64_t endUs;
  } const cases[] = {
      {"a 2-byte reply complete 3 ms into the wait is taken two byte-times later", {{3000, "ok"}}, 2, 20, true, 2, 4042},
      {"a reply longer than its count is taken whole, as its closing CR LF comes in", Paced(12000, 521, padded), 2,
       20, true, 14, 18773},
      {"a text reply closed by CR LF at its count is taken at once", {{3000, "\n\r\x02R,1e,c0\r\n"}}, 12, 20, true, 12,
       3000},
      {"a CR LF short of the count does not end the wait", {{3000, "\r\n"}, {6000, "ok"}}, 4, 20, true, 4, 7042},
      {"a reply that trickles on is taken at the 10 ms poll that finds its count", Paced(3000, 900, std::string(30, 'x')),
       2, 20, true, 8, 10000},
      {"a late reply that arrives at once", {{35000, std::string(20, 'I')}}, 17, 100, true, 20, 36042},
      {"a missing reply times out at exactly its limit", {}, 2, 20, false, 0, 200000},
      {"a reply one byte short times out at exactly its limit", {{5000, std::string(19, 'R')}}, 20, 20, false, 19,
       200000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Line line(1234);  // a wait's polls count from its own start
    VirtualClock& clock = line.clock;
    FakeChannel& channel = line.channel;
    CommandExchange& exchange = line.exchange;
    for (const Arrival& a : c.line) channel.FeedAt(a.atUs, Bytes(a.bytes));

    const std::int64_t start = clock.NowUs();
    ReplyBuffer reply(64);
    EXPECT_EQ(exchange.WaitReply(reply, c.n, c.polls), c.ok);
    EXPECT_EQ(clock.NowUs() - start, c.endUs);
    EXPECT_EQ(reply.counted, c.counted);
    if (c.ok) {
      std::string expected;
      for (const Arrival& a : c.line) expected += a.bytes;
      EXPECT_EQ(reply.Text(), expected.substr(0, static_cast<std::size_t>(c.counted)));
    }
  }
}

TEST_F(ExchangeTest, ProgressAdvancesOncePerTenMillisecondsWaitedNotPerArrival) {
  // A byte every 0.5 ms keeps waking the wait; the bar moves with the time.
  for (const Arrival& a : Paced(0, 500, std::string(90, 'z'))) sensor->FeedAt(a.atUs, Bytes(a.bytes));
  ReplyBuffer reply(128);
  EXPECT_FALSE(exchange.WaitReplyProgress(reply, 100, 5));
  EXPECT_EQ(clock.NowUs(), 50000);
  EXPECT_EQ(user.progressSteps, 5);
  EXPECT_EQ(user.processEventsCount, 5);
  EXPECT_EQ(user.progressMaximum, 5);
  EXPECT_EQ(reply.counted, 90);
}

TEST_F(ExchangeTest, AcknowledgedCommandOnASilentSensor) {
  EXPECT_FALSE(exchange.SendAcknowledgedCommand("cs"));
  EXPECT_EQ(sensor->Texts(), (std::vector<std::string>{"cs", "cs", "cs", "cs"}));
  EXPECT_EQ(clock.NowMs(), 4 * (50 + 1000));
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].entry, 176);
  EXPECT_EQ(user.messages[0].title, 128);
  EXPECT_EQ(user.messages[0].text, "Message failed");
  EXPECT_TRUE(user.statusPollRunning) << "the status poll runs again afterwards";
}

TEST_F(ExchangeTest, AcknowledgedCommandAnsweredOnTheSecondAttempt) {
  int sends = 0;
  sensor->responder = [&sends](const Written&) {
    return ++sends == 2 ? Bytes("\n\r\x02" "cs,ok\r\n") : std::vector<std::uint8_t>{};
  };
  EXPECT_TRUE(exchange.SendAcknowledgedCommand("cs"));
  EXPECT_EQ(sends, 2);
  EXPECT_TRUE(user.messages.empty());
  EXPECT_EQ(clock.NowMs(), 50 + 1000 + 50);
}

TEST_F(ExchangeTest, AcknowledgedCommandRestartsTheReportingPollWhenThatWindowIsVisible) {
  user.reportingVisible = true;
  sensor->responder = [](const Written&) { return Bytes("123456789"); };
  EXPECT_TRUE(exchange.SendAcknowledgedCommand("cn"));
  EXPECT_TRUE(user.reportingPollRunning);
  EXPECT_FALSE(user.statusPollRunning);
  EXPECT_EQ(user.events.front(), "status stop");
}

TEST_F(ExchangeTest, IdentifyReadsPartAndVersionFromPositionFive) {
  sensor->responder = [](const Written& w) {
    return w.Text() == "I" ? TextReply("I,1c,2f", 17) : std::vector<std::uint8_t>{};
  };
  ASSERT_TRUE(exchange.IdentifySensor(5));
  EXPECT_EQ(state.m_fwpart, 28u);
  EXPECT_EQ(state.m_fwversion, 47u);
  EXPECT_EQ(user.mainCaption, "Oil Debris Sensor Configurator");
  EXPECT_EQ(sensor->writes.size(), 1u);
}

TEST_F(ExchangeTest, IdentifyKeepsAFieldThatCannotBeRead) {
  state.m_fwpart = 7;
  state.m_fwversion = 9;
  sensor->responder = [](const Written&) { return TextReply("I,zz", 17); };
  EXPECT_TRUE(exchange.IdentifySensor(1)) << "17 bytes count as identified whatever they hold";
  EXPECT_EQ(state.m_fwpart, 7u);
  EXPECT_EQ(state.m_fwversion, 9u);
}

TEST_F(ExchangeTest, IdentifyGivesUpOnASilentSensor) {
  EXPECT_FALSE(exchange.IdentifySensor(5));
  EXPECT_EQ(sensor->Texts(), std::vector<std::string>(5, "I"));
  for (const Written& w : sensor->writes) EXPECT_EQ(w.bytes, (std::vector<std::uint8_t>{0x02, 0x49, 0x0D}));
  EXPECT_EQ(clock.NowMs(), 5 * 1050);
  EXPECT_EQ(user.progressSteps, 5);
  EXPECT_EQ(user.progressMaximum, 5);
  ASSERT_GE(user.events.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(user.events.begin(), user.events.begin() + 4),
            (std::vector<std::string>{"title 124", "position 0", "max 5", "show"}))
      << "the bar is shown with its maximum already set";
  EXPECT_EQ(user.events.back(), "close");
  EXPECT_EQ(user.processEventsCount, 5);
}

TEST_F(ExchangeTest, UnlockLockAndReboot) {
  exchange.UnlockConfig();
  exchange.LockConfig();
  EXPECT_EQ(sensor->Texts(), (std::vector<std::string>{"", "U 5E2B", "", "U 1"}));
  EXPECT_EQ(clock.NowMs(), 80);
  EXPECT_EQ(sensor->writes[1].atMs, 20);

  EXPECT_TRUE(exchange.RebootSensor());
  EXPECT_EQ(sensor->Texts().back(), "Q");
  EXPECT_EQ(clock.NowMs(), 80 + 6000);
  EXPECT_EQ(user.progressMaximum, 60);
  EXPECT_EQ(user.progressSteps, 60);
}

TEST_F(ExchangeTest, NothingIsSentWithoutAChosenPort) {
  state.m_comnum = kNoPort;
  exchange.SendCommand("A");
  EXPECT_TRUE(sensor->writes.empty());
  ReplyBuffer reply(64);
  EXPECT_FALSE(exchange.WaitReply(reply, 1, 3));
}

TEST(ExchangeGuardTest, OnlyTheFirstHolderAcquires) {
  LinkState state;
  {
    ExchangeGuard outer(state);
    EXPECT_TRUE(outer.Acquired());
    ExchangeGuard inner(state);
    EXPECT_FALSE(inner.Acquired());
  }
  EXPECT_FALSE(state.m_exchangeActive);
}

// The faults of a real line, each through an identification (two attempts)
// and an acknowledged command, against a sensor that answers both.
TEST(LineFaults, EchoWriteFailureStallAndDisconnect) {
  struct Case {
    const char* name;
    std::function<void(FakeChannel&)> fault;
    bool sensorBehind;
    bool identified, echoing, gone, acknowledged;
    std::int64_t elapsedMs;
  } const cases[] = {
      {"echo with a sensor behind it: the replies follow the copies", [](FakeChannel& c) { c.echo = true; }, true,
       true, true, false, true, 50 + 50},
      {"bare echo: nothing answers", [](FakeChannel& c) { c.echo = true; }, false, false, true, false, false,
       2 * 1050 + 4 * 1050},
      {"every write fails: each wait ends at once", [](FakeChannel& c) { c.writeFails = [](const Written&) { return true; }; },
       true, false, false, false, false, 2 * 50 + 4 * 50},
      {"the line stalls in the middle of the first reply", [](FakeChannel& c) { c.stallAfter = 8; }, true, false, false,
       false, false, 2 * 1050 + 4 * 1050},
      {"the device goes away in the middle of the first reply", [](FakeChannel& c) { c.disconnectAfter = 8; }, true,
       false, false, true, false, 2 * 50 + 4 * 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Line line;
    VirtualClock& clock = line.clock;
    FakeChannel& channel = line.channel;
    CommandExchange& exchange = line.exchange;
    const LinkState& state = line.state;
    const ScriptedUser& user = line.user;
    if (c.sensorBehind) {
      channel.responder = [](const Written& w) {
        return w.Text() == "I" ? TextReply("I,1c,2f", 17) : Bytes("\n\r\x02W,ok\r\n");
      };
    }
    c.fault(channel);

    EXPECT_EQ(exchange.IdentifySensor(2), c.identified);
    EXPECT_EQ(exchange.SendAcknowledgedCommand("W 0010 05"), c.acknowledged);
    EXPECT_EQ(channel.Echoing(), c.echoing);
    EXPECT_EQ(channel.Gone(), c.gone);
    EXPECT_EQ(clock.NowMs(), c.elapsedMs);
    if (c.identified) {
      EXPECT_EQ(state.m_fwpart, 28u) << "the fields are read after the copy of the request";
      EXPECT_EQ(state.m_fwversion, 47u);
    }
    EXPECT_EQ(user.messages.size(), c.acknowledged ? 0u : 1u);
    EXPECT_EQ(channel.writes.size(), c.identified ? 2u : 6u) << "the retries stay as they are";
  }
}

TEST(LineFaults, OnlyTheRepliesThatBeginWithLineFeedMarkAnEcho) {
  // A reply that repeats a request the sensor answers freely ("cs") marks
  // nothing; a register read answered by its own copy does.
  Line line;
  FakeChannel& channel = line.channel;
  CommandExchange& exchange = line.exchange;
  channel.echo = true;
  channel.responder = [](const Written&) { return Bytes("\n\r\x02R,0010,1234   "); };
  EXPECT_TRUE(exchange.SendAcknowledgedCommand("cs"));
  EXPECT_FALSE(channel.Echoing());
  exchange.SendCommand("R 0010 02");
  ReplyBuffer reply(64);
  ASSERT_TRUE(exchange.WaitReply(reply, 17, 100));
  EXPECT_TRUE(channel.Echoing());
  EXPECT_EQ(reply.counted, 17);
  EXPECT_STREQ(reply.Text(), "\n\r\x02R,0010,1234   ");
}
