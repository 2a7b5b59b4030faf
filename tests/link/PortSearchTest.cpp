// The start-up search for the sensor's port, on fake ports and a virtual clock.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "link/PortSearch.h"
#include "tests/support/Fakes.h"

namespace {
// What happened on one port; it outlives the channel, which the search deletes.
struct PortRecord {
  std::vector<Written> writes;
  int closes = 0;
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Written& w : writes) texts.push_back(w.Text());
    return texts;
  }
};

// A port that exists (or not) and has a sensor behind it (or not).
class FakePort : public FakeChannel {
 public:
  FakePort(VirtualClock& clock, const std::set<int>& existing, const std::set<int>& answering,
           std::map<int, PortRecord>& records)
      : FakeChannel(clock), existing_(existing), answering_(answering), records_(records) {}

  bool WriteBytes(const std::uint8_t* data, std::size_t n) override {
    const bool ok = FakeChannel::WriteBytes(data, n);
    records_[port].writes.push_back(writes.back());
    return ok;
  }

  bool ClosePort() override {
    ++records_[port].closes;
    return FakeChannel::ClosePort();
  }

  bool OpenPort(int p, int b) override {
    if (!existing_.count(p)) return false;
    FakeChannel::OpenPort(p, b);
    records_[p];
    if (answering_.count(p)) {
      responder = [](const Written& w) {
        return w.Text() == "I" ? TextReply("I,16bb,6f", 20) : std::vector<std::uint8_t>{};
      };
    }
    return true;
  }

 private:
  const std::set<int>& existing_;
  const std::set<int>& answering_;
  std::map<int, PortRecord>& records_;
};

class PortSearchTest : public ::testing::Test {
 protected:
  SearchOutcome Search(std::set<int> exist, std::set<int> answer) {
    existing = std::move(exist);
    answering = std::move(answer);
    // One file per test: ctest runs tests of this program side by side.
    log = ::testing::TempDir() + "/search-debug-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    state.m_debuglog.Open(log);
    PortSearchHooks hooks;
    hooks.makeChannel = [this] { return std::make_unique<FakePort>(clock, existing, answering, opened); };
    hooks.choosePort = [this](const std::vector<int>& ports) {
      offered = ports;
      return choice;
    };
    hooks.readFeatures = [this] {
      featuresReadAt = clock.NowMs();
      featuresRead = true;
    };
    const SearchOutcome outcome = SearchPorts(exchange, hooks);
    state.m_debuglog.Close();
    return outcome;
  }

  std::string Log() const {
    std::ifstream in(log, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::vector<std::string> Texts(int port) { return opened.at(port).Texts(); }

  VirtualClock clock;
  ScriptedUser user;
  LinkState state;
  CommandExchange exchange{state, clock, user};
  std::set<int> existing, answering;
  std::map<int, PortRecord> opened;
  std::optional<int> choice;
  std::vector<int> offered;
  bool featuresRead = false;
  std::int64_t featuresReadAt = -1;
  std::string log;
};
}  // namespace

TEST_F(PortSearchTest, OnlyPortAnswers) {
  EXPECT_EQ(Search({4}, {4}), SearchOutcome::SensorFound);
  EXPECT_EQ(state.m_comnum, 4);
  EXPECT_EQ(Log(), "\r\nOpen Port 4\r\nPingcomport 4\r\nm_comnum 4");
  EXPECT_TRUE(offered.empty());
  EXPECT_EQ(Texts(4), (std::vector<std::string>{"I", "I", "", "U 5E2B"}));
  EXPECT_TRUE(featuresRead);
  EXPECT_TRUE(user.statusPollRunning);
  EXPECT_EQ(state.m_fwpart, 0x16bbu);
}

TEST_F(PortSearchTest, SensorOnTheHigherOfTwoPorts) {
  EXPECT_EQ(Search({1, 5}, {5}), SearchOutcome::SensorFound);
  EXPECT_EQ(state.m_comnum, 5);
  EXPECT_EQ(Texts(1), (std::vector<std::string>{"I"})) << "COM1 is asked once";
  EXPECT_EQ(opened.at(1).closes, 1);
  EXPECT_EQ(state.m_comms[1], nullptr);
  EXPECT_NE(Log().find("\r\ndeleting comport 1\r\n"), std::string::npos);
}

TEST_F(PortSearchTest, TwoAnsweringPortsTheHigherWins) {
  EXPECT_EQ(Search({3, 7}, {3, 7}), SearchOutcome::SensorFound);
  EXPECT_EQ(state.m_comnum, 7);
  EXPECT_EQ(state.m_comms[3], nullptr);
}

TEST_F(PortSearchTest, ThreeSilentPortsTheUserChooses) {
  choice = 2;
  EXPECT_EQ(Search({1, 2, 3}, {}), SearchOutcome::SensorSilent);
  EXPECT_EQ(offered, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(state.m_comnum, 2);
  EXPECT_EQ(state.m_comms[1], nullptr);
  EXPECT_EQ(state.m_comms[3], nullptr);
  EXPECT_EQ(Texts(2), std::vector<std::string>(6, "I")) << "one search attempt, then five";
  const std::string log = Log();
  EXPECT_NE(log.find("deleting comport 1"), std::string::npos);
  EXPECT_NE(log.find("deleting comport 3"), std::string::npos);
  EXPECT_TRUE(user.messages.empty()) << "the caller shows the message after \"Comms:Fail\"";
  EXPECT_FALSE(user.statusPollRunning);
}

TEST_F(PortSearchTest, ClosingThePortDialogEndsTheSearch) {
  choice.reset();
  EXPECT_EQ(Search({1, 2, 3}, {}), SearchOutcome::SelectionClosed);
  EXPECT_TRUE(user.messages.empty());
  for (int p : {1, 2, 3}) EXPECT_EQ(Texts(p).size(), 1u);
}

TEST_F(PortSearchTest, OneSilentPortIsKeptWithoutDialog) {
  EXPECT_EQ(Search({6}, {}), SearchOutcome::SensorSilent);
  EXPECT_TRUE(offered.empty());
  EXPECT_EQ(state.m_comnum, 6);
  EXPECT_EQ(clock.NowMs(), 1050 + 5 * 1050);
  EXPECT_FALSE(featuresRead);
}

TEST_F(PortSearchTest, NoPortAtAll) {
  EXPECT_EQ(Search({}, {}), SearchOutcome::NoPort);
  EXPECT_EQ(state.m_comnum, kNoPort);
  EXPECT_EQ(NoSensorMessage().text,
            "Cannot communicate with sensor. Please close GUI, powercycle sensor and restart GUI.\n\n"
            "If problem persists please refer to Oil Condition Monitoring Sensor manual.");
  EXPECT_EQ(NoSensorMessage().title, 128);
  EXPECT_EQ(Log(), "");
}

TEST_F(PortSearchTest, Port99OpenButNotChosenIsClosed) {
  EXPECT_EQ(Search({2, 99}, {2}), SearchOutcome::SensorFound);
  EXPECT_EQ(state.m_comms[99], nullptr);
  EXPECT_EQ(opened.at(99).closes, 1);
}

TEST_F(PortSearchTest, FeaturesAreReadAfterTheUnlockAndBeforeThePoll) {
  ASSERT_EQ(Search({4}, {4}), SearchOutcome::SensorFound);
  const Written unlock = opened.at(4).writes.back();
  EXPECT_EQ(unlock.Text(), "U 5E2B");
  EXPECT_EQ(featuresReadAt, unlock.atMs + 20 + 50);
  EXPECT_EQ(user.events.back(), "status start");
}
