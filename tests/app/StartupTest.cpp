// The main window's start-up with the sensor on fake ports: the search, then
// five identifications of the chosen port, the unlock, 50 ms, the features
// read and the status poll.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Startup.h"
#include "tests/support/FakePorts.h"
#include "tests/support/Pty.h"
#include "tests/support/SessionFixture.h"

namespace {

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { session.AddFeatureView(&view); }

  StartupOutcome Start(std::set<int> exist, std::set<int> answer) {
    ports.existing = std::move(exist);
    ports.answering = std::move(answer);
    PortSearchHooks hooks;
    hooks.makeChannel = [this] { return ports.Make(); };
    hooks.choosePort = [this](const std::vector<int>&) { return choice; };
    return StartSensor(session, hooks);
  }

  VirtualClock clock;
  ScriptedUser user;
  Session session{clock, user};
  FakePorts ports{clock};
  RecordingFeatureView view{session.Config()};
  std::optional<int> choice;
};

TEST_F(StartupTest, AnAnsweringSensorIsIdentifiedUnlockedReadAndPolled) {
  ports.sensor.Set16(0x001E, 0x00C0);
  EXPECT_EQ(Start({4}, {4}), StartupOutcome::SensorFound);
  EXPECT_EQ(ports.Texts(4), (std::vector<std::string>{"I", "I", "", "U 5E2B", "R 001e 02"}));
  EXPECT_EQ(session.Config().FeaturesWord, 0x00C0);
  EXPECT_EQ(view.events, (std::vector<std::string>{"controls", "visibility"}));
  EXPECT_TRUE(view.visibility.brightnessMenuShown);
  EXPECT_TRUE(user.statusPollRunning);
  EXPECT_EQ(user.events.back(), "status start");
  EXPECT_EQ(session.Link().m_failcount, 0);
}

TEST_F(StartupTest, TheFeaturesAreReadFiftyMillisecondsAfterTheUnlock) {
  ASSERT_EQ(Start({4}, {4}), StartupOutcome::SensorFound);
  const std::vector<Written>& writes = ports.records.at(4).writes;
  ASSERT_EQ(writes.size(), 5u);
  EXPECT_EQ(writes[3].Text(), "U 5E2B");
  // The unlock's own 20 ms, the 50 ms pause, then the read's own 50 ms.
  EXPECT_EQ(writes[4].atMs, writes[3].atMs + 20 + 50 + 50);
}

TEST_F(StartupTest, AChosenSilentPortIsAskedFiveTimesMoreAndLeftUnpolled) {
  choice = 2;
  EXPECT_EQ(Start({1, 2, 3}, {}), StartupOutcome::SensorSilent);
  EXPECT_EQ(ports.Texts(2), std::vector<std::string>(6, "I")) << "one search attempt, then five";
  EXPECT_TRUE(user.messages.empty()) << "the caller shows the message after \"Comms:Fail\"";
  EXPECT_FALSE(user.statusPollRunning);
  EXPECT_TRUE(view.events.empty());
}

TEST_F(StartupTest, OneSilentPortCostsTheSearchAndFiveAttempts) {
  EXPECT_EQ(Start({6}, {}), StartupOutcome::SensorSilent);
  EXPECT_EQ(clock.NowMs(), 1050 + 5 * 1050);
}

TEST_F(StartupTest, NoPortAndAClosedDialogEndWithoutFollowUp) {
  EXPECT_EQ(Start({}, {}), StartupOutcome::NoPort);
  EXPECT_EQ(Start({1, 2}, {}), StartupOutcome::SelectionClosed);
  EXPECT_EQ(ports.Texts(1), std::vector<std::string>{"I"});
  EXPECT_FALSE(user.statusPollRunning);
}

}  // namespace

namespace {

// The watch after an unplug: a device that never went (a sensor that is
// only silent) is not taken up again; one that went and came back is, and
// after a reconnection that failed it must go and come back once more.
TEST(SensorWatchTest, OnlyADeviceThatWentAndCameBackIsReopened) {
  PortsFolder home;
  home.Link(3, "/dev/null");
  const PortMap ports = PortMap::Build(home.DataFolder());
  const std::string link = home.DataFolder() + "/ports/com3";
  SensorWatch watch(ports, 3);
  EXPECT_EQ(watch.Look(false), std::nullopt) << "still there: only silent";
  EXPECT_EQ(watch.Look(false), std::nullopt);
  EXPECT_EQ(watch.Look(true), link) << "its channel hung up: back at once";
  watch.StartAgain();
  EXPECT_EQ(watch.Look(false), std::nullopt);
  std::filesystem::remove(link);
  EXPECT_EQ(watch.Look(false), std::nullopt) << "gone";
  home.Link(3, "/dev/zero");
  EXPECT_EQ(watch.Look(false), link) << "back under its link";
}

}  // namespace

namespace {

// Taking the sensor up again on its port, COM4: a port that does not open
// yet is tried again at the next look; one that opens on a silent sensor
// waits for the device to go and come back; an answering sensor is
// identified, unlocked, read and polled as at start-up.
TEST_F(StartupTest, ReconnectingReopensThePortAndRunsTheStartupsLastSteps) {
  ports.sensor.Set16(0x001E, 0x00C0);
  session.Link().m_comnum = 4;
  const ChannelFactory make = [this](const PortMap&) { return ports.Make(); };
  struct Case {
    const char* name;
    std::set<int> exist;
    std::set<int> answer;
    ReconnectOutcome outcome;
    std::vector<std::string> sent;
  } const cases[] = {
      {"not there yet", {}, {}, ReconnectOutcome::PortNotOpened, {}},
      {"silent", {4}, {}, ReconnectOutcome::SensorSilent, {"I", "I", "I", "I", "I"}},
      {"back", {4}, {4}, ReconnectOutcome::Reconnected, {"I", "", "U 5E2B", "R 001e 02"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ports.existing = c.exist;
    ports.answering = c.answer;
    ports.records.clear();
    user.statusPollRunning = false;
    EXPECT_EQ(ReconnectSensor(session, "/dev/ttyUSB1", make), c.outcome);
    EXPECT_EQ(ports.records.count(4) ? ports.Texts(4) : std::vector<std::string>{}, c.sent);
    EXPECT_EQ(user.statusPollRunning, c.outcome == ReconnectOutcome::Reconnected);
    EXPECT_EQ(session.Link().m_comnum, 4);
  }
  EXPECT_EQ(session.Config().FeaturesWord, 0x00C0);
}

}  // namespace
