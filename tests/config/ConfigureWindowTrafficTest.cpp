// The configure window's frame without widgets: the traffic of opening and
// closing, the page reads and the Temperature page's alarm labels.

#include "config/ConfigureFrame.h"
#include "config/FeatureFlags.h"
#include "tests/support/SessionFixture.h"

namespace {

class ConfigureTraffic : public SessionFixture {
 protected:
  ConfigureTraffic() { session.AddFeatureView(&page); }

  void ReadPage(ConfigPage p) { ReadConfigPage(session, p); }

  RecordingFeatureView page{state};
};

TEST_F(ConfigureTraffic, OpeningUnlocksReadsTheFeaturesAndSendsCs) {
  sensor.Set16(0x001E, 0x0484);
  EXPECT_TRUE(OpenConfiguring(session));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"", "U 5E2B", "R 001e 02", "cs"}));
  // The unlock waits 50 ms after the status poll stopped.
  EXPECT_EQ(channel->writes[0].atMs, 50);
  EXPECT_EQ(user.events.front(), "status stop");
  EXPECT_TRUE(user.statusPollRunning);
  EXPECT_EQ(state.FeaturesWord, 0x0484);
  EXPECT_EQ(BoxOf(0x001E).text, "0484");
  EXPECT_EQ(page.controls.application, kWithDisplay);
  EXPECT_EQ(page.controls.channel, kTemperatureContinuous);
  EXPECT_EQ(page.events, (std::vector<std::string>{"controls", "visibility"}));
  EXPECT_TRUE(user.messages.empty());
}

TEST_F(ConfigureTraffic, AnUnansweredCsCostsFourSendsAndOneMessageAndOpeningGoesOn) {
  sensor.SetAcknowledges(false);
  const std::int64_t start = clock.NowMs();
  EXPECT_FALSE(OpenConfiguring(session));
  const std::vector<std::string> sent = Sent();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "cs"), 4);
  ASSERT_EQ(user.messages.size(), 1u);
  EXPECT_EQ(user.messages[0].entry, 176);
  EXPECT_GE(clock.NowMs() - start, 4200);
  EXPECT_TRUE(user.statusPollRunning);
}

TEST_F(ConfigureTraffic, AFailedFeaturesReadShowsTheWordAsZero) {
  sensor.SilenceReadsOf(0x001E);
  sensor.Set16(0x001E, 0x0880);
  OpenConfiguring(session);
  EXPECT_EQ(state.FeaturesWord, 0);
  EXPECT_EQ(BoxOf(0x001E).text, "-----");
  EXPECT_EQ(BoxOf(0x001E).font, FontColour::Red);
  EXPECT_EQ(page.controls, DecodeFeatures(0));
  EXPECT_EQ(Sent().back(), "cs");
}

TEST_F(ConfigureTraffic, ClosingSendsCeLocksAndRestartsTheStatusPoll) {
  EXPECT_TRUE(CloseConfiguring(session));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"ce", "", "U 1"}));
  EXPECT_EQ(user.events.back(), "status start");

  Forget();
  sensor.SetAcknowledges(false);
  EXPECT_FALSE(CloseConfiguring(session));
  const std::vector<std::string> sent = Sent();
  EXPECT_EQ(sent.back(), "U 1");
  EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(ConfigureTraffic, EachPageReadsItsRegistersInOrderIntoTheirBoxes) {
  sensor.Set16(0x0004, 250);
  sensor.Set16(0x003A, 0xFFF6);
  sensor.Set16(0x0024, 25);
  sensor.Set16(0x0026, 1100);
  sensor.Set16(0x000E, 172);
  sensor.Set16(0x0030, static_cast<std::uint16_t>(-40));
  state.AnalogueScale = 43.1f;
  struct Case {
    ConfigPage page;
    std::vector<std::string> reads;
  };
  const Case cases[] = {
      {ConfigPage::SensorType, {}},
      {ConfigPage::Debris, {"R 0004 02", "R 0006 02", "R 003a 02", "R 003c 02"}},
      {ConfigPage::Oil, {"R 0022 02", "R 0026 02", "R 0028 02", "R 0024 02"}},
      {ConfigPage::Analog, {"R 000e 02", "R 000c 02", "R 0010 02", "R 002a 02"}},
      {ConfigPage::Temperature, {"R 002c 02", "R 002e 02", "R 0030 02", "R 0032 02"}},
      {ConfigPage::CAN,
       {"R 00b0 02", "R 00b4 02", "R 00b6 02", "R 00ba 02", "R 00bc 02", "R 00be 02", "R 00c4 02", "R 00c2 02",
        "R 00c0 02"}},
      {ConfigPage::PGNID, {"R 00cc 02", "R 00ca 02", "R 00c8 02", "R 00c6 02", "R 00b8 02"}},
      {ConfigPage::MODBUS,
       {"R 00d0 02", "R 00d4 04", "R 00d2 02", "R 00d8 04", "R 00dc 04", "R 00e0 04", "R 00e4 04", "R 00e8 04",
        "R 00ec 04", "R 00f0 04", "R 00f4 04"}},
  };
  for (const Case& c : cases) {
    Forget();
    const std::int64_t start = clock.NowMs();
    ReadPage(c.page);
    EXPECT_EQ(Sent(), c.reads) << static_cast<int>(c.page);
    EXPECT_GE(clock.NowMs() - start, 50) << static_cast<int>(c.page);
  }
  EXPECT_EQ(BoxOf(0x0004).text, "250");
  EXPECT_EQ(BoxOf(0x003A).text, "-10");
  EXPECT_EQ(BoxOf(0x0024).text, " 2.50");
  EXPECT_EQ(BoxOf(0x0026).text, "1100");
  EXPECT_EQ(BoxOf(0x000E).text, " 3.99");
  EXPECT_EQ(BoxOf(0x0030).text, "-2");
}

TEST_F(ConfigureTraffic, TheCanPgnAndModbusPagesReturnWhatTheirOtherBoxesShow) {
  sensor.Set16(0x00CA, 0x00FE);
  sensor.Set16(0x00C8, 0x00F5);
  sensor.Set16(0x00C6, 6);
  sensor.Set16(0x00B8, 0x80);
  sensor.Set32(0x00D4, 38400);
  const ConfigPageReading can = ReadConfigPage(session, ConfigPage::CAN);
  ASSERT_TRUE(can.name);
  EXPECT_EQ(can.name->text, "80 00 00 00 00 00 00 00");
  EXPECT_FALSE(can.canId || can.modbus);
  const ConfigPageReading pgn = ReadConfigPage(session, ConfigPage::PGNID);
  ASSERT_TRUE(pgn.canId);
  EXPECT_EQ(pgn.canId->pgn.text, "0fef5 (65269)");
  EXPECT_EQ(pgn.canId->text, "18fef580");
  const ConfigPageReading modbus = ReadConfigPage(session, ConfigPage::MODBUS);
  ASSERT_TRUE(modbus.modbus);
  EXPECT_EQ(modbus.modbus->baudRateText, "38400");
}

TEST_F(ConfigureTraffic, AFailedReadMarksItsBoxAndThePageReadGoesOn) {
  sensor.SilenceReadsOf(0x0006);
  sensor.Set16(0x003C, 7);
  ReadPage(ConfigPage::Debris);
  EXPECT_EQ(BoxOf(0x0006).text, "-----");
  EXPECT_EQ(BoxOf(0x0006).font, FontColour::Red);
  EXPECT_EQ(BoxOf(0x003C).text, "7");
  EXPECT_EQ(BoxOf(0x003C).font, FontColour::Black);
  EXPECT_EQ(Sent().back(), "R 003c 02");
}

TEST(ConfigureFrame, TemperatureAlarmLabelsFollowTheChannelItem) {
  struct Case {
    int item;
    int high;
    int low;
  };
  for (const Case c : {Case{kTemperatureContinuous, 92, 93}, Case{kTemperatureAlarm, 90, 91},
                       Case{kWaterContinuous, 90, 91}, Case{-1, 90, 91}}) {
    const AlarmLabelEntries entries = TemperatureAlarmLabels(c.item);
    EXPECT_EQ(entries.high, c.high) << c.item;
    EXPECT_EQ(entries.low, c.low) << c.item;
  }
}

}  // namespace
