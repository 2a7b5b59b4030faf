#include "config/Features.h"

#include <array>
#include <cstdio>

#include "config/RegisterMap.h"

namespace {

// The analogue levels the features write reads back, in this order: Error,
// Inhibit, Zero, Full Scale.
constexpr std::array<std::uint16_t, 4> kAnalogueLevels = {0x000E, 0x002A, 0x000C, 0x0010};

// Marks the controls' changes as not the user's while the word is shown.
class ShowingFeatures {
 public:
  explicit ShowingFeatures(ConfigState& state) : state_(state), before_(state.ShowingFeatures) {
    state_.ShowingFeatures = true;
  }
  ~ShowingFeatures() { state_.ShowingFeatures = before_; }
  ShowingFeatures(const ShowingFeatures&) = delete;
  ShowingFeatures& operator=(const ShowingFeatures&) = delete;

 private:
  ConfigState& state_;
  bool before_;
};

}  // namespace

std::uint16_t ReadFeatures(Converters& converters, SensorTypePage& page) {
  ConfigState& state = converters.State();
  // A failed read returns 0, which then reads as a model without display,
  // output type CAN and a water contamination alarm channel.
  const auto word = static_cast<std::uint16_t>(converters.ShowHex16(page.FeaturesBox(), kFeaturesAddress));
  state.FeaturesWord = word;
  state.AnalogueScale = AnalogueScaleOf(word);
  {
    ShowingFeatures showing(state);
    page.ShowFeatureControls(DecodeFeatures(word));
  }
  page.ApplyVisibility(ApplyFeatureVisibility(word));
  return word;
}

bool WriteFeatures(Converters& converters, SensorTypePage& page, const FeatureControls& controls) {
  ConfigState& state = converters.State();
  CommandExchange& exchange = converters.Exchange();
  const ComposedFeatures composed = ComposeFeatures(controls);
  state.AnalogueScale = composed.analogueScale;

  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(composed.word));
  page.FeaturesBox().SetText(text);
  const bool written = converters.SetHex16(page.FeaturesBox(), kFeaturesAddress);

  // The levels are read again below with the scale of the new output type;
  // until then their old texts would be in the wrong unit.
  page.HideAnalogueLevelBoxes();
  exchange.Time().Sleep(50);
  ReadFeatures(converters, page);
  for (std::uint16_t address : kAnalogueLevels) ShowRegister(converters, page.AnalogueLevelBox(address), address);
  page.ApplyVisibility(ApplyFeatureVisibility(state.FeaturesWord));
  exchange.SendCommand("Z");
  return written;
}

bool FeaturesWriteAllowed(const ConfigState& state, bool windowActive) {
  return windowActive && !state.ShowingFeatures;
}
