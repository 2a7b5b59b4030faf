#include "config/FeatureFlags.h"

#include "app/Unit9.h"
#include "config/ConfigState.h"

namespace {

bool Has(std::uint16_t word, std::uint16_t bits) { return (word & bits) != 0; }
bool HasAll(std::uint16_t word, std::uint16_t bits) { return (word & bits) == bits; }

// Entry 167 "Analogue level to be output ", the unit, then the level's text.
std::string LevelHint(bool milliamps, int levelEntry) {
  return TextOf(167) + (milliamps ? "(In mA) " : "(In V) ") + TextOf(levelEntry);
}

}  // namespace

float AnalogueScaleOf(std::uint16_t word) {
  return Has(word, feature::kMilliampOutput) ? kMilliampScale : kVoltScale;
}

FeatureControls DecodeFeatures(std::uint16_t word) {
  using namespace feature;
  FeatureControls c;
  c.application = Has(word, kDisplay) ? kWithDisplay : kWithoutDisplay;
  // With both analogue bits the 4-20 mA output wins.
  if (Has(word, kMilliampOutput)) {
    c.analogType = kMilliamp;
  } else if (Has(word, kVoltOutput)) {
    c.analogType = kVolt;
  } else if (Has(word, kModbusOutput)) {
    c.analogType = kModbus;
  } else {
    c.analogType = kCan;
  }
  const bool continuous = Has(word, kContinuous);
  if (Has(word, kTemperatureChannel)) {
    c.channel = continuous ? kTemperatureContinuous : kTemperatureAlarm;
  } else {
    c.channel = continuous ? kWaterContinuous : kWaterAlarm;
  }
  c.inhibit = Has(word, kInhibit);
  c.coarseDisabled = Has(word, kCoarseDisabled);
  c.fineDisabled = Has(word, kFineDisabled);
  c.thirdDisabled = Has(word, kThirdDisabled);
  c.noTemperatureCorrection = Has(word, kNoTemperatureCorrection);
  c.noVolumeCorrection = Has(word, kNoVolumeCorrection);
  return c;
}

ComposedFeatures ComposeFeatures(const FeatureControls& c) {
  using namespace feature;
  std::uint16_t word = 0;
  if (c.inhibit) word |= kInhibit;
  if (c.coarseDisabled) word |= kCoarseDisabled;
  if (c.fineDisabled) word |= kFineDisabled;
  if (c.thirdDisabled) word |= kThirdDisabled;
  if (c.channel == kTemperatureAlarm || c.channel == kTemperatureContinuous) word |= kTemperatureChannel;
  if (c.channel == kWaterContinuous || c.channel == kTemperatureContinuous) word |= kContinuous;
  if (c.analogType == kMilliamp) word |= kMilliampOutput;
  if (c.analogType == kVolt) word |= kVoltOutput;
  if (c.analogType == kModbus) word |= kModbusOutput;
  if (c.application == kWithDisplay) word |= kDisplay;
  if (c.noTemperatureCorrection) word |= kNoTemperatureCorrection;
  if (c.noVolumeCorrection) word |= kNoVolumeCorrection;
  return {word, c.analogType == kMilliamp ? kMilliampScale : kVoltScale};
}

FeatureVisibility VisibilityOf(std::uint16_t word) {
  using namespace feature;
  FeatureVisibility v;
  const bool analogue = Has(word, kMilliampOutput | kVoltOutput);
  const bool modbus = Has(word, kModbusOutput);
  const bool temperature = Has(word, kTemperatureChannel);

  v.reportingMenuShown = false;

  // Analogue output controls. Without an analogue output the whole Analog
  // Output page is hidden (below), so its controls are hidden with it.
  v.analogueLabelsShown = analogue;
  v.analogueBoxesShown = analogue;
  v.analogueSetButtonsShown = analogue;
  const bool milliamps = Has(word, kMilliampOutput);
  v.errorLevelHint = LevelHint(milliamps, 168);
  v.zeroLevelHint = LevelHint(milliamps, 169);
  v.fullScaleLevelHint = LevelHint(milliamps, 170);
  v.inhibitLevelHint = LevelHint(milliamps, 171);
  v.channelCheckBoxesShown = true;
  v.channelGroupShown = analogue || !modbus;

  // Water contamination and temperature alarm controls.
  if (modbus) {
    v.waterControlsShown = true;
    v.temperatureControlsShown = true;
  } else {
    v.waterControlsShown = !temperature;
    v.temperatureControlsShown = temperature;
  }

  // Inhibit: the Inhibit Level box is usable and settable only with the bit.
  v.inhibitBoxEnabled = Has(word, kInhibit);
  v.inhibitSetShown = Has(word, kInhibit);

  v.brightnessMenuShown = Has(word, kDisplay);

  // Output pages.
  if (analogue) {
    v.canPageShown = false;
    v.pgnPageShown = false;
    v.analogPageShown = !HasAll(word, kCoarseDisabled | kFineDisabled | kThirdDisabled);
  } else {
    v.canPageShown = true;
    v.pgnPageShown = true;
    v.analogPageShown = false;
  }

  // Debris page and its gauges.
  v.debrisPageShown = !HasAll(word, kCoarseDisabled | kFineDisabled);
  v.coarseGaugeShown = !Has(word, kCoarseDisabled);
  v.fineGaugeShown = !Has(word, kFineDisabled);

  // Water Contamination and Temperature pages.
  if (Has(word, kThirdDisabled)) {
    v.oilPageShown = false;
    v.temperaturePageShown = false;
  } else if (modbus) {
    v.oilPageShown = true;
    v.temperaturePageShown = true;
  } else {
    v.oilPageShown = !temperature;
    v.temperaturePageShown = temperature;
  }
  return v;
}

StatusChannels StatusChannelsOf(std::uint16_t word) {
  using namespace feature;
  StatusChannels s;
  s.coarseDisabled = Has(word, kCoarseDisabled);
  s.fineDisabled = Has(word, kFineDisabled);
  const bool third = !Has(word, kThirdDisabled);
  s.oilShown = third && (!Has(word, kTemperatureChannel) || Has(word, kModbusOutput));
  s.temperatureShown = third && (Has(word, kTemperatureChannel) || Has(word, kModbusOutput));
  return s;
}
