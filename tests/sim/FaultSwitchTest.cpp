// The fault switches and the line rate, seen from the configurator's side of
// a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>

#include "SimHarness.h"

namespace {

using Steady = std::chrono::steady_clock;

int MsSince(Steady::time_point start) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count());
}

// One request and how many bytes come back within the window (0: none).
struct Step {
  std::string request;
  std::size_t bytes;
};

}  // namespace

TEST(FaultSwitches, SilenceShortRepliesAndWithheldCommands) {
  struct Case {
    std::string name;
    std::vector<std::string> arguments;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"silent", {"--silent"}, {{"I", 0}, {"A", 0}, {"cs", 0}}},
      {"silent after 2", {"--silent-after", "2"}, {{"I", 17}, {"U 5E2B", 0}, {"I", 0}, {"A", 0}}},
      {"short",
       {"--short"},
       {{"I", 16}, {"A", 25}, {"a", 92}, {"R 001e 02", 19}, {"R 00d4 04", 25}, {"W 0000 19", 1}, {"cs", 8}}},
      {"no ack",
       {"--no-ack", "cs,A,R"},
       {{"cs", 0}, {"A", 0}, {"R 001e 02", 0}, {"ce", 9}, {"a", 93}, {"W 0000 19", 14}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimProcess sim(c.arguments);
    SimPort port(sim.LinkPath());
    ASSERT_TRUE(port.IsOpen());
    for (const Step& step : c.steps) {
      SCOPED_TRACE(step.request);
      port.SendText(step.request);
      Bytes reply = port.ReadAtLeast(step.bytes, 1000);
      const Bytes more = port.ReadFor(step.bytes == 0 ? 120 : 30);
      EXPECT_EQ(reply.size() + more.size(), step.bytes);
    }
  }
}

TEST(FaultSwitches, GarbleSwapsTheLiveDataLetter) {
  SimProcess sim({"--garble"});
  SimPort port(sim.LinkPath());
  ASSERT_TRUE(port.IsOpen());
  const std::string status = port.Ask("A", 26);
  const std::string extended = port.Ask("a", 93);
  ASSERT_GE(status.size(), 26u);
  ASSERT_GE(extended.size(), 93u);
  EXPECT_EQ(status.substr(0, 5),
            "\n\r\x02"
            "a,");
  EXPECT_EQ(extended.substr(0, 5),
            "\n\r\x02"
            "A,");
  EXPECT_EQ(port.Ask("I", 17).substr(0, 5),
            "\n\r\x02"
            "I,");
}

TEST(FaultSwitches, DelayHoldsTheReplyBack) {
  SimProcess sim({"--delay", "400"});
  SimPort port(sim.LinkPath());
  ASSERT_TRUE(port.IsOpen());
  const auto start = Steady::now();
  port.SendText("I");
  EXPECT_TRUE(port.ReadFor(250).empty());
  EXPECT_GE(port.ReadAtLeast(17, 2000).size(), 17u);
  EXPECT_GE(MsSince(start), 390);
}

TEST(FaultSwitches, PaceTakesTheLineTimeOfRequestAndReply) {
  SimProcess sim({"--pace"});
  SimPort port(sim.LinkPath());
  ASSERT_TRUE(port.IsOpen());
  // 3 request bytes and 93 reply bytes of 10 bits at 19200 baud: 50 ms.
  const auto start = Steady::now();
  port.SendText("a");
  const Bytes first = port.ReadAtLeast(1, 1000);
  EXPECT_LT(first.size(), 93u);  // the reply trickles in
  EXPECT_GE(port.ReadAtLeast(93 - first.size(), 2000).size() + first.size(), 93u);
  EXPECT_GE(MsSince(start), 49);
}

TEST(FaultSwitches, LockedWritesWaitForTheUnlockKey) {
  SimProcess sim({"--locked-writes"});
  SimPort port(sim.LinkPath());
  ASSERT_TRUE(port.IsOpen());
  port.SendText("W 0026 00");
  EXPECT_TRUE(port.ReadFor(150).empty());
  EXPECT_EQ(port.Ask("R 0026 02", 20).substr(10, 5), "4c 04");

  port.SendText("U 5E2B");
  port.ReadFor(30);
  EXPECT_GE(port.Ask("W 0026 00", 2).size(), 2u);
  EXPECT_EQ(port.Ask("R 0026 02", 20).substr(10, 5), "00 04");

  port.SendText("U 1");
  port.ReadFor(30);
  port.SendText("W 0027 00");
  EXPECT_TRUE(port.ReadFor(150).empty());
  EXPECT_EQ(port.Ask("R 0026 02", 20).substr(10, 5), "00 04");
}

TEST(LineRate, TextAtAnyRateBut19200IsIgnored) {
  SimProcess sim({});
  SimPort port(sim.LinkPath(), 9600);
  ASSERT_TRUE(port.IsOpen());
  port.SendText("I");
  EXPECT_TRUE(port.ReadFor(200).empty());
  port.SetRate(57600);
  port.SendText("I");
  EXPECT_TRUE(port.ReadFor(200).empty());
  port.SetRate(19200);
  EXPECT_GE(port.Ask("I", 17).size(), 17u);
}
