// The features word: its meaning in the Sensor Type page's controls, the
// visibility rules, the status display's channels, and the features read
// and write against a fake sensor.
#include <map>

#include "app/Unit9.h"
#include "config/Features.h"
#include "tests/support/SessionFixture.h"

namespace {

TEST(FeatureWord, DecodesAndDrivesTheVisibilityRules) {
  struct Case {
    std::uint16_t word;
    int analogType;
    int channel;
    float scale;
    // Pages: debris, oil, analog, temperature, CAN, PGN.
    bool debris, oil, analog, temperature, can, pgn;
    bool channelGroup, waterControls, temperatureControls, brightness;
  };
  const Case cases[] = {
      {0x0040, kMilliamp, kWaterAlarm, 43.1f, true, true, true, false, false, false, true, true, false, false},
      {0x0042, kMilliamp, kWaterAlarm, 43.1f, true, true, true, false, false, false, true, true, false, false},
      {0x0002, kVolt, kWaterAlarm, 91.2f, true, true, true, false, false, false, true, true, false, false},
      {0x0800, kModbus, kWaterAlarm, 91.2f, true, true, false, true, true, true, false, true, true, false},
      {0x0058, kMilliamp, kWaterAlarm, 43.1f, false, true, true, false, false, false, true, true, false, false},
      {0x0078, kMilliamp, kWaterAlarm, 43.1f, false, false, false, false, false, false, true, true, false, false},
      {0x0004, kCan, kTemperatureAlarm, 91.2f, true, false, false, true, true, true, true, false, true, false},
      {0x0404, kCan, kTemperatureContinuous, 91.2f, true, false, false, true, true, true, true, false, true, false},
      {0x0400, kCan, kWaterContinuous, 91.2f, true, true, false, false, true, true, true, true, false, false},
      {0x0000, kCan, kWaterAlarm, 91.2f, true, true, false, false, true, true, true, true, false, false},
      {0x0080, kCan, kWaterAlarm, 91.2f, true, true, false, false, true, true, true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    const FeatureControls controls = DecodeFeatures(c.word);
    EXPECT_EQ(controls.analogType, c.analogType);
    EXPECT_EQ(controls.channel, c.channel);
    EXPECT_FLOAT_EQ(AnalogueScaleOf(c.word), c.scale);
    const FeatureVisibility v = VisibilityOf(c.word);
    EXPECT_EQ(v.debrisPageShown, c.debris);
    EXPECT_EQ(v.oilPageShown, c.oil);
    EXPECT_EQ(v.analogPageShown, c.analog);
    EXPECT_EQ(v.temperaturePageShown, c.temperature);
    EXPECT_EQ(v.canPageShown, c.can);
    EXPECT_EQ(v.pgnPageShown, c.pgn);
    EXPECT_EQ(v.channelGroupShown, c.channelGroup);
    EXPECT_EQ(v.waterControlsShown, c.waterControls);
    EXPECT_EQ(v.temperatureControlsShown, c.temperatureControls);
    EXPECT_EQ(v.brightnessMenuShown, c.brightness);
    EXPECT_FALSE(v.reportingMenuShown);
    EXPECT_TRUE(v.channelCheckBoxesShown);
    const bool analogue = (c.word & 0x0042) != 0;
    EXPECT_EQ(v.analogueBoxesShown, analogue);
    EXPECT_EQ(v.analogueLabelsShown, analogue);
    EXPECT_EQ(v.analogueSetButtonsShown, analogue);
  }
}

TEST(FeatureWord, DisabledChannelsAndInhibit) {
  const FeatureControls none = DecodeFeatures(0x0000);
  EXPECT_EQ(none, FeatureControls{});
  EXPECT_EQ(none.application, kWithoutDisplay);

  const FeatureControls all = DecodeFeatures(0x03B9);
  EXPECT_EQ(all.application, kWithDisplay);
  EXPECT_TRUE(all.inhibit && all.coarseDisabled && all.fineDisabled && all.thirdDisabled);
  EXPECT_TRUE(all.noTemperatureCorrection && all.noVolumeCorrection);

  const FeatureVisibility coarse = VisibilityOf(0x0048);
  EXPECT_FALSE(coarse.coarseGaugeShown);
  EXPECT_TRUE(coarse.fineGaugeShown);
  const FeatureVisibility fine = VisibilityOf(0x0050);
  EXPECT_TRUE(fine.coarseGaugeShown);
  EXPECT_FALSE(fine.fineGaugeShown);

  // The inhibit bit alone decides the Inhibit Level box and its Set button,
  // whatever the output type.
  for (std::uint16_t word : {0x0041, 0x0801, 0x0040, 0x0800}) {
    const FeatureVisibility v = VisibilityOf(word);
    EXPECT_EQ(v.inhibitBoxEnabled, (word & 1) != 0) << word;
    EXPECT_EQ(v.inhibitSetShown, (word & 1) != 0) << word;
  }
}

TEST(FeatureWord, AnalogueHintsNameTheUnit) {
  SetLanguage(0);
  const FeatureVisibility mA = VisibilityOf(0x0040);
  EXPECT_EQ(mA.errorLevelHint, "Analogue level to be output (In mA) when sensor has error.");
  EXPECT_EQ(mA.zeroLevelHint, "Analogue level to be output (In mA) when sensor measures no debris.");
  EXPECT_EQ(mA.fullScaleLevelHint, "Analogue level to be output (In mA) when sensor measures 100 percent debris.");
  EXPECT_EQ(mA.inhibitLevelHint, "Analogue level to be output (In mA) during calibration if inhibit is checked.");
  EXPECT_EQ(VisibilityOf(0x0002).errorLevelHint, "Analogue level to be output (In V) when sensor has error.");
}

TEST(FeatureWord, ComposesTheControlsBack) {
  for (std::uint16_t word : {0x0000, 0x0041, 0x0040, 0x0002, 0x0800, 0x0404, 0x03BD, 0x0400}) {
    const ComposedFeatures composed = ComposeFeatures(DecodeFeatures(static_cast<std::uint16_t>(word)));
    EXPECT_EQ(composed.word, word);
    EXPECT_FLOAT_EQ(composed.analogueScale, AnalogueScaleOf(static_cast<std::uint16_t>(word)));
  }
  // Bits 12 to 15 are not the page's: a write from it clears them.
  EXPECT_EQ(ComposeFeatures(DecodeFeatures(0xF041)).word, 0x0041);
  FeatureControls nothing;
  nothing.analogType = kNoAnalogType;
  EXPECT_EQ(ComposeFeatures(nothing).word, 0x0000);
  EXPECT_FLOAT_EQ(ComposeFeatures(nothing).analogueScale, 91.2f);
}

TEST(FeatureWord, StatusDisplayChannels) {
  const struct {
    std::uint16_t word;
    bool oil, temperature, coarseDisabled, fineDisabled;
  } cases[] = {
      {0x0000, true, false, false, false}, {0x0004, false, true, false, false},
      {0x0800, true, true, false, false},  {0x0804, true, true, false, false},
      {0x0020, false, false, false, false}, {0x0824, false, false, false, false},
      {0x0018, true, false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    const StatusChannels s = StatusChannelsOf(c.word);
    EXPECT_EQ(s.oilShown, c.oil);
    EXPECT_EQ(s.temperatureShown, c.temperature);
    EXPECT_EQ(s.coarseDisabled, c.coarseDisabled);
    EXPECT_EQ(s.fineDisabled, c.fineDisabled);
  }
}

class FeaturesProcedure : public SessionFixture {
 protected:
  FeaturesProcedure() { session.AddFeatureView(&page); }
  RecordingFeatureView page{state};
};

TEST_F(FeaturesProcedure, ReadShowsTheWordWithoutCountingAsAUserChange) {
  sensor.Set16(0x001E, 0x0041);
  EXPECT_EQ(ReadFeatures(session), 0x0041);
  EXPECT_EQ(BoxOf(0x001E).text, "0041");
  EXPECT_EQ(state.FeaturesWord, 0x0041);
  EXPECT_FLOAT_EQ(state.AnalogueScale, 43.1f);
  EXPECT_EQ(page.controls, DecodeFeatures(0x0041));
  EXPECT_TRUE(page.showingFlagged);
  EXPECT_FALSE(state.ShowingFeatures);
  EXPECT_FALSE(FeaturesWriteAllowed(ConfigState{.ShowingFeatures = true}, true));
  EXPECT_FALSE(FeaturesWriteAllowed(state, false));
  EXPECT_TRUE(FeaturesWriteAllowed(state, true));
  EXPECT_EQ(page.events, (std::vector<std::string>{"controls", "visibility"}));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"R 001e 02"}));
}

TEST_F(FeaturesProcedure, AFailedReadGivesTheWordZero) {
  sensor.Set16(0x001E, 0x0041);
  ReadFeatures(session);
  sensor.SilenceReadsOf(0x001E);
  EXPECT_EQ(ReadFeatures(session), 0);
  EXPECT_EQ(state.FeaturesWord, 0);
  EXPECT_FLOAT_EQ(state.AnalogueScale, 91.2f);
  EXPECT_EQ(BoxOf(0x001E).text, "-----");
  EXPECT_EQ(BoxOf(0x001E).font, FontColour::Red);
  EXPECT_EQ(page.controls, DecodeFeatures(0));
}

TEST_F(FeaturesProcedure, TickingDisableFineChannelWritesReadsBackAndReloads) {
  sensor.Set16(0x001E, 0x0041);
  sensor.Set16(0x000E, 172);
  sensor.Set16(0x000C, 172);
  sensor.Set16(0x0010, 862);
  sensor.Set16(0x002A, 431);
  ReadFeatures(session);
  Forget();
  page.events.clear();

  FeatureControls chosen = page.controls;
  chosen.fineDisabled = true;
  EXPECT_TRUE(WriteFeatures(session, chosen));

  EXPECT_EQ(Sent(), (std::vector<std::string>{"W 001e 51", "W 001f 00", "R 001e 02", "R 000e 02", "R 002a 02",
                                              "R 000c 02", "R 0010 02", "Z"}));
  EXPECT_EQ(sensor.Get16(0x001E), 0x0051);
  EXPECT_EQ(state.FeaturesWord, 0x0051);
  EXPECT_EQ(BoxOf(0x001E).text, "0051");
  EXPECT_EQ(page.events, (std::vector<std::string>{"hide levels", "controls", "visibility", "visibility"}));
  EXPECT_FALSE(page.visibility.fineGaugeShown);
  EXPECT_EQ(BoxOf(0x000E).text, " 3.99");
  EXPECT_EQ(BoxOf(0x0010).text, "20.00");
  EXPECT_EQ(BoxOf(0x002A).text, "10.00");
}

TEST_F(FeaturesProcedure, ChangingTheOutputTypeReadsTheLevelsInTheNewUnit) {
  sensor.Set16(0x001E, 0x0040);
  sensor.Set16(0x000E, 364);
  ReadFeatures(session);
  FeatureControls chosen = page.controls;
  chosen.analogType = kVolt;
  WriteFeatures(session, chosen);
  EXPECT_EQ(sensor.Get16(0x001E), 0x0002);
  EXPECT_FLOAT_EQ(state.AnalogueScale, 91.2f);
  EXPECT_EQ(BoxOf(0x000E).text, " 3.99");
}

TEST_F(FeaturesProcedure, AFailedWriteTurnsTheBoxRedAndShowsWhatTheSensorHolds) {
  sensor.Set16(0x001E, 0x0041);
  ReadFeatures(session);
  sensor.SilenceWritesTo(0x001E);
  FeatureControls chosen = page.controls;
  chosen.coarseDisabled = true;
  EXPECT_FALSE(WriteFeatures(session, chosen));
  EXPECT_EQ(state.FeaturesWord, 0x0041);
  EXPECT_EQ(page.controls, DecodeFeatures(0x0041));
  EXPECT_EQ(BoxOf(0x001E).text, "0041");
  EXPECT_EQ(Sent().back(), "Z");
}

}  // namespace
