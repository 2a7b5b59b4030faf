// The "Set" actions of the Debris, Water Contamination, Analog Output and
// Temperature pages on the wire, and the Debris page's spin step.
#include "config/MeasuringPages.h"
#include "config/SpinStep.h"
#include "tests/support/SessionFixture.h"

namespace {

using Texts = std::vector<std::string>;

class MeasuringPages : public SessionFixture {
 protected:
  // Types `text` into the register's box and runs `action`.
  template <typename Action>
  SetOutcome Type(std::uint16_t address, const std::string& text, Action action) {
    Forget();
    BoxOf(address).text = text;
    BoxOf(address).background = Background::Normal;
    return action();
  }
};

TEST_F(MeasuringPages, DebrisSetWritesWaitsReadsBackAndReloads) {
  EXPECT_EQ(Type(0x0004, "260", [&] { return SetDebrisValue(session, 0x0004); }), SetOutcome::Written);
  EXPECT_EQ(Sent(), (Texts{"W 0004 04", "W 0005 01", "R 0004 02", "Z"}));
  // The re-read starts 20 ms after the write, then pauses the poll 50 ms.
  const auto& w = channel->writes;
  EXPECT_EQ(w[w.size() - 2].atMs - w[w.size() - 3].atMs, 70);
  EXPECT_EQ(BoxOf(0x0004).text, "260");

  // A text without a leading number writes nothing; the re-read shows what
  // the sensor holds.
  EXPECT_EQ(Type(0x003A, "abc", [&] { return SetDebrisValue(session, 0x003A); }), SetOutcome::Failed);
  EXPECT_EQ(Sent(), (Texts{"R 003a 02", "Z"}));
  EXPECT_EQ(BoxOf(0x003A).text, "0");

  EXPECT_EQ(Type(0x003C, "-10", [&] { return SetDebrisValue(session, 0x003C); }), SetOutcome::Written);
  EXPECT_EQ(Sent(), (Texts{"W 003c f6", "W 003d ff", "R 003c 02", "Z"}));
}

TEST_F(MeasuringPages, OilReferenceWritesAndReloadsWithoutReadingBack) {
  EXPECT_EQ(Type(0x0022, "3000", [&] { return SetOilReference(session); }), SetOutcome::Written);
  EXPECT_EQ(Sent(), (Texts{"W 0022 b8", "W 0023 0b", "Z"}));
  EXPECT_EQ(channel->writes.back().atMs - channel->writes[channel->writes.size() - 2].atMs, 50);
}

TEST_F(MeasuringPages, ThresholdsAreWrittenOnlyWithinTheirLimits) {
  struct Case {
    std::uint16_t address;
    const char* typed;
    Texts sent;  // empty: rejected
  };
  const Case cases[] = {
      {0x0026, "1100", {"W 0026 4c", "W 0027 04", "Z"}},
      {0x0026, "1001", {"W 0026 e9", "W 0027 03", "Z"}},
      {0x0026, "1150", {"W 0026 7e", "W 0027 04", "Z"}},
      {0x0026, "+1050", {"W 0026 1a", "W 0027 04", "Z"}},
      {0x0026, "1050,5", {"W 0026 1a", "W 0027 04", "Z"}},
      {0x0026, "1000", {}},
      {0x0026, "1151", {}},
      {0x0026, "1050.5", {}},
      {0x0026, "1e3", {}},
      // Checked as 1100 but "%i" would write 576 (octal).
      {0x0026, "01100", {}},
      {0x0028, "850", {"W 0028 52", "W 0029 03", "Z"}},
      {0x0028, "999", {"W 0028 e7", "W 0029 03", "Z"}},
      {0x0028, "849", {}},
      {0x0028, "1000", {}},
      {0x0028, "0900", {}},
  };
  for (const Case& c : cases) {
    const SetOutcome outcome = Type(c.address, c.typed, [&] { return SetOilThreshold(session, c.address); });
    EXPECT_EQ(Sent(), c.sent) << c.typed;
    const bool accepted = !c.sent.empty();
    EXPECT_EQ(outcome, accepted ? SetOutcome::Written : SetOutcome::Rejected) << c.typed;
    EXPECT_EQ(BoxOf(c.address).background, accepted ? Background::Normal : Background::Yellow) << c.typed;
  }
}

TEST_F(MeasuringPages, FilterTimeIsCheckedWrittenTruncatedAndReadBack) {
  struct Case {
    const char* typed;
    Texts sent;
    const char* shown;
  };
  const Case cases[] = {
      {"2.55", {"W 0024 19", "W 0025 00", "Z", "R 0024 02"}, " 2.50"},
      {"0.1", {"W 0024 01", "W 0025 00", "Z", "R 0024 02"}, " 0.10"},
      {"10", {"W 0024 64", "W 0025 00", "Z", "R 0024 02"}, "10.00"},
      {"0.05", {}, "0.05"},
      {"10.5", {}, "10.5"},
      {"1e1", {}, "1e1"},
      {"abc", {}, "abc"},
  };
  for (const Case& c : cases) {
    Type(0x0024, c.typed, [&] { return SetFilterTime(session); });
    EXPECT_EQ(Sent(), c.sent) << c.typed;
    EXPECT_EQ(BoxOf(0x0024).text, c.shown) << c.typed;
    EXPECT_EQ(BoxOf(0x0024).background, c.sent.empty() ? Background::Yellow : Background::Normal) << c.typed;
  }
}

TEST_F(MeasuringPages, AnalogueLevelsFollowTheOutputTypesScale) {
  struct Case {
    float scale;
    const char* typed;
    Texts sent;
  };
  const Case cases[] = {
      {43.1f, "4", {"W 000e ac", "W 000f 00", "Z"}},
      {91.2f, "4", {"W 000e 6c", "W 000f 01", "Z"}},
      // Beyond the 32-bit range the product is clamped to it, then its low
      // 16 bits go out.
      {43.1f, "1e12", {"W 000e ff", "W 000f ff", "Z"}},
      {43.1f, "-1e12", {"W 000e 00", "W 000f 00", "Z"}},
      {43.1f, "mA", {"Z"}},
  };
  for (const Case& c : cases) {
    state.AnalogueScale = c.scale;
    Type(0x000E, c.typed, [&] { return SetAnalogueLevel(session, 0x000E); });
    EXPECT_EQ(Sent(), c.sent) << c.typed << " at " << c.scale;
  }
}

TEST_F(MeasuringPages, TemperatureAlarmsMustStayInOrderAndTheSetOneWithinLimits) {
  struct Case {
    const char* low;
    const char* high;
    std::uint16_t address;  // the alarm being set
    Texts sent;             // empty: rejected
  };
  const Case cases[] = {
      {"-26", "80", 0x0030, {"W 0030 60", "W 0031 fe", "R 0030 02", "Z"}},
      {"20", "150", 0x0032, {"W 0032 60", "W 0033 09", "R 0032 02", "Z"}},
      // Only the alarm being set must lie within -26 to 150.
      {"-26", "200", 0x0030, {"W 0030 60", "W 0031 fe", "R 0030 02", "Z"}},
      {"80", "80", 0x0030, {}},
      {"80", "80", 0x0032, {}},
      {"20", "151", 0x0032, {}},
      {"-27", "80", 0x0030, {}},
      {"20", "-----", 0x0030, {}},
      {"20", "0100", 0x0032, {}},
  };
  for (const Case& c : cases) {
    Forget();
    BoxOf(0x0030).text = c.low;
    BoxOf(0x0032).text = c.high;
    BoxOf(0x0030).background = BoxOf(0x0032).background = Background::Normal;
    SetTemperatureAlarm(session, c.address);
    EXPECT_EQ(Sent(), c.sent) << c.low << " " << c.high;
    const std::uint16_t other = c.address == 0x0030 ? 0x0032 : 0x0030;
    EXPECT_EQ(BoxOf(c.address).background, c.sent.empty() ? Background::Yellow : Background::Normal);
    EXPECT_EQ(BoxOf(other).background, Background::Normal);
  }
  EXPECT_EQ(sensor.Get16(0x0030), 0xFE60);
}

TEST(SpinStep, SixStepsByOneThenTens) {
  int counter = 0;
  std::string text = "243";
  Texts shown;
  for (int press = 0; press < 7; ++press) {
    text = SpinStepText(counter, text, SpinDirection::Up, press > 0);
    shown.push_back(text);
  }
  EXPECT_EQ(shown, (Texts{"244", "245", "246", "247", "248", "249", "250"}));
  EXPECT_EQ(SpinStepText(counter, text, SpinDirection::Up, true), "260");
  // A pause of 200 ms or more starts again by 1.
  EXPECT_EQ(SpinStepText(counter, "260", SpinDirection::Down, false), "259");
  EXPECT_EQ(counter, 0);
}

TEST(SpinStep, FastStepsOfNegativeValuesAndBoxesWithoutANumber) {
  struct Case {
    const char* text;
    SpinDirection direction;
    int counter;  // before the step
    bool recent;
    int value;
  };
  const Case cases[] = {
      {"-243", SpinDirection::Down, 6, true, -250},
      {"-243", SpinDirection::Up, 6, true, -230},
      {"-5", SpinDirection::Up, 5, true, 0},
      {"-----", SpinDirection::Up, 0, false, 1},
      {"", SpinDirection::Down, 0, false, -1},
      {"abc", SpinDirection::Up, 9, true, 10},
      // "%i": a leading 0 is octal, 0x hexadecimal.
      {"010", SpinDirection::Up, 0, false, 9},
      {"0x10", SpinDirection::Down, 0, false, 15},
  };
  for (const Case& c : cases) {
    int counter = c.counter;
    EXPECT_EQ(SpinStep(counter, c.text, c.direction, c.recent), c.value) << c.text;
  }
}

}  // namespace
