// The search for the sensor's port, on fake ports and a virtual clock: one
// "I" per port that opens, the highest answering port kept, the port dialog
// among several silent ones, the others closed, and the debug log.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "link/PortSearch.h"
#include "tests/support/FakePorts.h"

namespace {

class PortSearchTest : public ::testing::Test {
 protected:
  PortSearchResult Search(std::set<int> exist, std::set<int> answer) {
    ports.existing = std::move(exist);
    ports.answering = std::move(answer);
    // One file per test: ctest runs tests of this program side by side.
    log = ::testing::TempDir() + "/search-debug-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
    state.m_debuglog.Open(log);
    PortSearchHooks hooks;
    hooks.makeChannel = [this] { return ports.Make(); };
    hooks.choosePort = [this](const std::vector<int>& open) {
      offered = open;
      return choice;
    };
    const PortSearchResult result = SearchPorts(exchange, hooks);
    state.m_debuglog.Close();
    return result;
  }

  std::string Log() const {
    std::ifstream in(log, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  VirtualClock clock;
  ScriptedUser user;
  LinkState state;
  CommandExchange exchange{state, clock, user};
  FakePorts ports{clock};
  std::optional<int> choice;
  std::vector<int> offered;
  std::string log;
};

TEST_F(PortSearchTest, OnlyPortAnswers) {
  const PortSearchResult result = Search({4}, {4});
  EXPECT_EQ(result.outcome, SearchOutcome::Chosen);
  EXPECT_EQ(result.port, 4);
  EXPECT_TRUE(result.answered);
  EXPECT_EQ(state.m_comnum, 4);
  EXPECT_EQ(Log(), "\r\nOpen Port 4\r\nPingcomport 4\r\nm_comnum 4");
  EXPECT_TRUE(offered.empty());
  EXPECT_EQ(ports.Texts(4), std::vector<std::string>{"I"}) << "the search itself asks once";
  EXPECT_EQ(state.m_fwpart, 0x16bbu);
  EXPECT_FALSE(user.statusPollRunning);
}

TEST_F(PortSearchTest, SensorOnTheHigherOfTwoPorts) {
  EXPECT_EQ(Search({1, 5}, {5}).port, 5);
  EXPECT_EQ(state.m_comnum, 5);
  EXPECT_EQ(ports.Texts(1), std::vector<std::string>{"I"});
  EXPECT_EQ(ports.records.at(1).closes, 1);
  EXPECT_EQ(state.m_comms[1], nullptr);
  EXPECT_NE(Log().find("\r\ndeleting comport 1\r\n"), std::string::npos);
}

TEST_F(PortSearchTest, TwoAnsweringPortsTheHigherWins) {
  EXPECT_EQ(Search({3, 7}, {3, 7}).port, 7);
  EXPECT_EQ(state.m_comms[3], nullptr);
}

TEST_F(PortSearchTest, ThreeSilentPortsTheUserChooses) {
  choice = 2;
  const PortSearchResult result = Search({1, 2, 3}, {});
  EXPECT_EQ(result.outcome, SearchOutcome::Chosen);
  EXPECT_FALSE(result.answered);
  EXPECT_EQ(offered, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(state.m_comnum, 2);
  EXPECT_EQ(state.m_comms[1], nullptr);
  EXPECT_EQ(state.m_comms[3], nullptr);
  const std::string log = Log();
  EXPECT_NE(log.find("deleting comport 1"), std::string::npos);
  EXPECT_NE(log.find("deleting comport 3"), std::string::npos);
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(PortSearchTest, ClosingThePortDialogEndsTheSearch) {
  choice.reset();
  EXPECT_EQ(Search({1, 2, 3}, {}).outcome, SearchOutcome::SelectionClosed);
  EXPECT_TRUE(user.messages.empty());
  for (int p : {1, 2, 3}) EXPECT_EQ(ports.Texts(p).size(), 1u);
}

TEST_F(PortSearchTest, OneSilentPortIsKeptWithoutDialog) {
  const PortSearchResult result = Search({6}, {});
  EXPECT_EQ(result.outcome, SearchOutcome::Chosen);
  EXPECT_FALSE(result.answered);
  EXPECT_TRUE(offered.empty());
  EXPECT_EQ(state.m_comnum, 6);
  EXPECT_EQ(clock.NowMs(), 1050);
}

TEST_F(PortSearchTest, NoPortAtAll) {
  EXPECT_EQ(Search({}, {}).outcome, SearchOutcome::NoPort);
  EXPECT_EQ(state.m_comnum, kNoPort);
  EXPECT_EQ(NoSensorMessage().text,
            "Cannot communicate with sensor. Please close GUI, powercycle sensor and restart GUI.\n\n"
            "If problem persists please refer to Oil Condition Monitoring Sensor manual.");
  EXPECT_EQ(NoSensorMessage().title, 128);
  EXPECT_EQ(Log(), "");
}

TEST_F(PortSearchTest, Port99OpenButNotChosenIsClosed) {
  EXPECT_EQ(Search({2, 99}, {2}).port, 2);
  EXPECT_EQ(state.m_comms[99], nullptr);
  EXPECT_EQ(ports.records.at(99).closes, 1);
}

}  // namespace
