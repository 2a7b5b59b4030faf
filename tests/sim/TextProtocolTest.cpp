// The application's text protocol over a real pseudo-terminal: reply lengths
// and the positions the configurator reads, the register memory, the
// calibration actions and the live readings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "SimHarness.h"

namespace {

const std::string kLfCrStx = "\n\r\x02";

// The two hex digits of register byte k sit at positions 10 + 3k, 11 + 3k.
std::vector<std::uint32_t> RegisterBytes(const std::string& reply, std::size_t count) {
  std::vector<std::uint32_t> bytes;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t at = 10 + 3 * k;
    if (reply.size() < at + 2) break;
    bytes.push_back(static_cast<std::uint32_t>(std::stoul(reply.substr(at, 2), nullptr, 16)));
  }
  return bytes;
}

std::uint32_t Read16(SimPort& port, const char* address) {
  const std::string reply = port.Ask(std::string("R ") + address + " 02", 20);
  const auto bytes = RegisterBytes(reply, 2);
  return bytes.size() == 2 ? bytes[0] | bytes[1] << 8 : 0xFFFFFFFF;
}

struct Sensor {
  explicit Sensor(std::vector<std::string> arguments = {"--seed", "5"}) : sim(arguments), port(sim.LinkPath()) {}
  SimProcess sim;
  SimPort port;
};

}  // namespace

TEST(TextProtocol, EveryAnsweredCommandMeetsItsCountAndLayout) {
  struct Case {
    std::string request;
    std::size_t count;
    std::string header;                        // bytes from position 0
    std::size_t hexFields;                     // "%x" fields from position 5
    std::vector<std::uint32_t> registerBytes;  // at 10-11, 13-14, ...
  };
  const Case cases[] = {
      {"I", 17, kLfCrStx + "I,", 2, {}},
      {"A", 26, kLfCrStx + "A,", 5, {}},
      {"a", 93, kLfCrStx + "a,", 18, {}},
      {"R 001e 02", 20, kLfCrStx + "R", 0, {0xc0, 0x00}},
      {"R 00d4 04", 26, kLfCrStx + "R", 0, {0x80, 0x25, 0x00, 0x00}},
      {"W 00f7 00", 2, "", 0, {}},
      {"cs", 9, "", 0, {}},
      {"ce", 9, "", 0, {}},
      {"cn", 9, "", 0, {}},
      {"cc", 9, "", 0, {}},
      {"cf", 9, "", 0, {}},
      {"cd", 9, "", 0, {}},
      {"co", 9, "", 0, {}},
      {"cp", 9, "", 0, {}},
  };
  Sensor sensor;
  ASSERT_TRUE(sensor.sim.Ready());
  ASSERT_TRUE(sensor.port.IsOpen());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    const std::string reply = sensor.port.Ask(c.request, c.count);
    EXPECT_GE(reply.size(), c.count);
    EXPECT_EQ(reply.substr(0, c.header.size()), c.header);
    if (c.hexFields > 0) {
      EXPECT_EQ(FieldsFrom5(reply).size(), c.hexFields);
    }
    if (!c.registerBytes.empty()) {
      EXPECT_EQ(RegisterBytes(reply, c.registerBytes.size()), c.registerBytes);
    }
  }
  const auto identity = FieldsFrom5(sensor.port.Ask("I", 17));
  ASSERT_EQ(identity.size(), 2u);
  EXPECT_EQ(identity[0], 5819u);
  EXPECT_EQ(identity[1], 111u);
}

TEST(TextProtocol, CommandsWithoutReplyAndMalformedRequestsStayUnanswered) {
  const char* requests[] = {"",  "U 5E2B",  "U 1",      "D 2",     "Z",         "h 4B",      "h 0",
                            "X", "R 1e 02", "R 001e 2", "W 26 4c", "R 00ff 02", "W 0100 00", "D 4"};
  Sensor sensor;
  ASSERT_TRUE(sensor.port.IsOpen());
  for (const char* request : requests) {
    SCOPED_TRACE(request);
    sensor.port.SendText(request);
    EXPECT_TRUE(sensor.port.ReadFor(100).empty());
  }
  // Noise outside STX ... CR is ignored and does not spoil the next request.
  sensor.port.Write({'x', 0x0D, 'I', 0x00});
  EXPECT_TRUE(sensor.port.ReadFor(100).empty());
  EXPECT_GE(sensor.port.Ask("I", 17).size(), 17u);
}

TEST(TextProtocol, FactoryRegisterValues) {
  struct Case {
    const char* request;
    std::vector<std::uint32_t> bytes;
  };
  const Case cases[] = {
      {"R 001e 02", {0xc0, 0x00}},          // 4-20 mA, display, all channels on
      {"R 0024 02", {20, 0}},               // filter 2.0 s
      {"R 0026 02", {0x4c, 0x04}},          // no oil 1100
      {"R 0028 02", {0x84, 0x03}},          // water 900
      {"R 000c 02", {172, 0}},              // zero level 4 mA
      {"R 0010 02", {0x5e, 0x03}},          // full scale 20 mA = 862
      {"R 00d2 02", {1, 0}},                // parity EVEN
      {"R 00d4 04", {0x80, 0x25, 0, 0}},    // 9600 baud
      {"R 00d8 04", {'E', 'D', 'R', 'B'}},  // "DEBR", two characters per word, earlier one high
  };
  Sensor sensor;
  ASSERT_TRUE(sensor.port.IsOpen());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(RegisterBytes(sensor.port.Ask(c.request, 14 + 3 * c.bytes.size()), c.bytes.size()), c.bytes);
  }
}

TEST(TextProtocol, WrittenBytesReadBackAndDefaultSetsRestore) {
  Sensor sensor;
  ASSERT_TRUE(sensor.port.IsOpen());
  EXPECT_GE(sensor.port.Ask("W 0026 56", 2).size(), 2u);
  EXPECT_GE(sensor.port.Ask("W 0027 04", 2).size(), 2u);
  EXPECT_GE(sensor.port.Ask("W 00f7 7a", 2).size(), 2u);
  EXPECT_EQ(RegisterBytes(sensor.port.Ask("R 0026 04", 26), 4), (std::vector<std::uint32_t>{0x56, 0x04, 0x84, 0x03}));
  EXPECT_EQ(RegisterBytes(sensor.port.Ask("R 00f6 02", 20), 2), (std::vector<std::uint32_t>{0x00, 0x7a}));

  // A larger probe's set changes the full scales; thresholds go back to theirs.
  const std::uint32_t smallCoarseFull = Read16(sensor.port, "0004");
  sensor.port.SendText("D 3");
  sensor.port.ReadFor(50);
  EXPECT_EQ(Read16(sensor.port, "0026"), 1100u);
  EXPECT_GT(Read16(sensor.port, "0004"), smallCoarseFull);
  EXPECT_EQ(Read16(sensor.port, "001e"), 0x00c0u);
}

TEST(TextProtocol, CalibrationActionsStoreWhatTheSensorMeasures) {
  Sensor sensor;
  ASSERT_TRUE(sensor.port.IsOpen());
  // Scaling is the span from offset (2000, 1800) to full scale (set here).
  for (const char* write : {"W 0004 10", "W 0005 0e", "W 0006 8c", "W 0007 0a"}) sensor.port.Ask(write, 2);
  EXPECT_GE(sensor.port.Ask("co", 9).size(), 9u);
  EXPECT_GE(sensor.port.Ask("cp", 9).size(), 9u);
  EXPECT_EQ(Read16(sensor.port, "003e"), 3600u - 2000u);
  EXPECT_EQ(Read16(sensor.port, "0040"), 2700u - 1800u);

  // The others take the counts of the moment: "a" fields 9 (coarse count),
  // 11 (fine count) and 13 (oil count).
  const auto live = FieldsFrom5(sensor.port.Ask("a", 93));
  ASSERT_EQ(live.size(), 18u);
  struct Case {
    const char* command;
    const char* address;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"cn", "003a", live[8]},  {"cn", "003c", live[10]}, {"cc", "0004", live[8]},
      {"cf", "0006", live[10]}, {"cd", "0022", live[12]},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_GE(sensor.port.Ask(c.command, 9).size(), 9u);
    EXPECT_EQ(Read16(sensor.port, c.address), c.expected);
  }
  // With the clean-oil reference taken now, the oil reads about 1024.
  const auto after = FieldsFrom5(sensor.port.Ask("A", 26));
  ASSERT_EQ(after.size(), 5u);
  EXPECT_NEAR(static_cast<double>(after[2]), 1024.0, 60.0);
}

TEST(LiveData, StatusAndExtendedRepliesAgreeForTheSameSeed) {
  Sensor a({"--seed", "7"});
  Sensor b({"--seed", "7"});
  ASSERT_TRUE(a.port.IsOpen());
  ASSERT_TRUE(b.port.IsOpen());
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE(i);
    const auto status = FieldsFrom5(a.port.Ask("A", 26));
    const auto extended = FieldsFrom5(b.port.Ask("a", 93));
    ASSERT_EQ(status.size(), 5u);
    ASSERT_EQ(extended.size(), 18u);
    // coarse, fine, oil, temperature (the probe's), status
    const std::vector<std::uint32_t> fromExtended{extended[0], extended[1], extended[2], extended[6], extended[17]};
    EXPECT_EQ(status, fromExtended);
  }
}

TEST(LiveData, ReadingsDriftPlausibly) {
  Sensor sensor({"--seed", "3"});
  ASSERT_TRUE(sensor.port.IsOpen());
  std::vector<std::uint32_t> oil;
  bool coarseFull = false;
  bool fineFull = false;
  bool flagged = false;
  std::map<std::uint32_t, int> coarseValues;
  for (int i = 0; i < 400; ++i) {
    const auto f = FieldsFrom5(sensor.port.Ask("A", 26));
    ASSERT_EQ(f.size(), 5u);
    EXPECT_LE(f[0], 100u);
    EXPECT_LE(f[1], 100u);
    coarseFull |= f[0] == 100;
    fineFull |= f[1] == 100;
    flagged |= f[4] != 0;
    ++coarseValues[f[0]];
    oil.push_back(f[2]);
    const double celsius = static_cast<std::int16_t>(f[3] & 0xFFFF) / 16.0;
    EXPECT_GT(celsius, 25.0);
    EXPECT_LT(celsius, 55.0);
  }
  EXPECT_TRUE(coarseFull);
  EXPECT_TRUE(fineFull);
  EXPECT_TRUE(flagged);
  EXPECT_GT(coarseValues.size(), 20u);  // it wanders, not a constant
  std::nth_element(oil.begin(), oil.begin() + oil.size() / 2, oil.end());
  EXPECT_NEAR(static_cast<double>(oil[oil.size() / 2]), 1024.0, 40.0);
}

TEST(LiveData, DisabledChannelsReadZeroOnceTheSettingsAreTakenUp) {
  Sensor sensor;
  ASSERT_TRUE(sensor.port.IsOpen());
  // Coarse (0x08) and the oil channel (0x20) off.
  sensor.port.Ask("W 001e e8", 2);
  // Not in force before the reload.
  bool coarseSeen = false;
  for (int i = 0; i < 20; ++i) coarseSeen |= FieldsFrom5(sensor.port.Ask("A", 26))[0] != 0;
  EXPECT_TRUE(coarseSeen);

  sensor.port.SendText("Z");
  sensor.port.ReadFor(30);
  bool fineSeen = false;
  for (int i = 0; i < 20; ++i) {
    const auto status = FieldsFrom5(sensor.port.Ask("A", 26));
    const auto extended = FieldsFrom5(sensor.port.Ask("a", 93));
    ASSERT_EQ(status.size(), 5u);
    ASSERT_EQ(extended.size(), 18u);
    EXPECT_EQ(status[0], 0u);
    EXPECT_EQ(status[2], 0u);
    EXPECT_EQ(status[4] & 0x06, 0u);
    EXPECT_EQ(extended[0], 0u);
    EXPECT_EQ(extended[8], 0u);
    EXPECT_EQ(extended[12], 0u);
    fineSeen |= extended[10] != 0;
  }
  EXPECT_TRUE(fineSeen);
}
