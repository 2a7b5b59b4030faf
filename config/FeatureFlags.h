#pragma once
// The sensor's features word (register 001E): which model, output type and
// third channel it has, which channels are disabled, inhibit and the two
// correction switches. Pure functions from the word to the Sensor Type
// page's controls, back again, and to every visibility decision it drives.

#include <cstdint>
#include <string>

namespace feature {
constexpr std::uint16_t kInhibit = 0x0001;
constexpr std::uint16_t kVoltOutput = 0x0002;
constexpr std::uint16_t kTemperatureChannel = 0x0004;
constexpr std::uint16_t kCoarseDisabled = 0x0008;
constexpr std::uint16_t kFineDisabled = 0x0010;
constexpr std::uint16_t kThirdDisabled = 0x0020;
constexpr std::uint16_t kMilliampOutput = 0x0040;
constexpr std::uint16_t kDisplay = 0x0080;
constexpr std::uint16_t kNoTemperatureCorrection = 0x0100;
constexpr std::uint16_t kNoVolumeCorrection = 0x0200;
constexpr std::uint16_t kContinuous = 0x0400;
constexpr std::uint16_t kModbusOutput = 0x0800;
}  // namespace feature

// Items of the Sensor Type page's radio groups.
enum ApplicationItem { kWithoutDisplay = 0, kWithDisplay = 1 };
enum AnalogTypeItem { kNoAnalogType = -1, kMilliamp = 0, kVolt = 1, kCan = 2, kModbus = 3 };
enum ChannelItem {
  kWaterAlarm = 0,
  kWaterContinuous = 1,
  kTemperatureAlarm = 2,
  kTemperatureContinuous = 3,
};

// The state of the Sensor Type page's controls.
struct FeatureControls {
  int application = kWithoutDisplay;  // rgApplication
  int analogType = kCan;              // rgAnalogType; kNoAnalogType for no selection
  int channel = kWaterAlarm;          // rgDiTempChannel
  bool inhibit = false;               // cbInhibit
  bool coarseDisabled = false;        // cbCoarseChannel
  bool fineDisabled = false;          // cbFineChannel
  bool thirdDisabled = false;         // cbThirdChannel
  bool noTemperatureCorrection = false;  // cbTempCorrection
  bool noVolumeCorrection = false;       // cbVolCorrection
  bool operator==(const FeatureControls&) const = default;
};

// 43.1 counts per mA with the 4-20 mA bit, 91.2 counts per V otherwise.
float AnalogueScaleOf(std::uint16_t word);

// The features read: the word shown in the controls.
FeatureControls DecodeFeatures(std::uint16_t word);

// The features write: the word the controls compose (bits 12 to 15 zero) and
// the analogue scale they choose (43.1 for item 0, 91.2 for any other item
// and for no selection).
struct ComposedFeatures {
  std::uint16_t word = 0;
  float analogueScale = 0;
};
ComposedFeatures ComposeFeatures(const FeatureControls& controls);

// Every decision of the visibility rules, from the word alone. The window
// applies all of it; nothing here depends on what was shown before.
struct FeatureVisibility {
  // Main window menus.
  bool reportingMenuShown = false;  // always hidden once a word is applied
  bool brightnessMenuShown = false;

  // Analog Output page controls.
  bool analogueLabelsShown = false;     // Error, Zero, Full Scale, Inhibit Level labels
  bool analogueBoxesShown = false;      // Edit37, Edit39, Edit20, Edit38
  bool analogueSetButtonsShown = false; // Button78, Button80, Button40
  bool inhibitSetShown = false;         // Button79
  bool inhibitBoxEnabled = false;       // Edit38
  // Hints of Edit37, Edit39, Edit20, Edit38: entry 167, the unit, 168..171.
  std::string errorLevelHint;
  std::string zeroLevelHint;
  std::string fullScaleLevelHint;
  std::string inhibitLevelHint;

  // Sensor Type page.
  bool channelCheckBoxesShown = true;   // cbInhibit, cbCoarseChannel, cbFineChannel, cbThirdChannel
  bool channelGroupShown = true;        // rgDiTempChannel

  // Water Contamination and Temperature controls (labels, boxes, Set buttons).
  bool waterControlsShown = false;
  bool temperatureControlsShown = false;

  // Pages.
  bool debrisPageShown = false;
  bool oilPageShown = false;
  bool analogPageShown = false;
  bool temperaturePageShown = false;
  bool canPageShown = false;
  bool pgnPageShown = false;

  // Debris page: the gauge, or its "DISABLED" box (Edit47 coarse, Edit46 fine).
  bool coarseGaugeShown = false;
  bool fineGaugeShown = false;
};
FeatureVisibility VisibilityOf(std::uint16_t word);

// The main window's status display.
struct StatusChannels {
  bool coarseDisabled = false;   // Edit2 "DISABLED" instead of GaugeCoarse
  bool fineDisabled = false;     // Edit4 "DISABLED" instead of GaugeFine
  bool oilShown = false;         // Edit3 shows the oil status
  bool temperatureShown = false; // Edit1 shows the temperature
};
StatusChannels StatusChannelsOf(std::uint16_t word);
