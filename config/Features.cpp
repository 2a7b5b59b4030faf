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

std::uint16_t ReadFeatures(Session& session) {
  ConfigState& state = session.Config();
  // A failed read returns 0, which then reads as a model without display,
  // output type CAN and a water contamination alarm channel.
  const auto word =
      static_cast<std::uint16_t>(session.Convert().ShowHex16(session.Boxes().Box(kFeaturesAddress), kFeaturesAddress));
  state.FeaturesWord = word;
  state.AnalogueScale = AnalogueScaleOf(word);
  {
    ShowingFeatures showing(state);
    const FeatureControls controls = DecodeFeatures(word);
    for (FeatureView* view : session.FeatureViews()) view->ShowFeatureControls(controls);
  }
  ApplyFeatureVisibility(session);
  return word;
}

void ApplyFeatureVisibility(Session& session) {
  const FeatureVisibility visibility = VisibilityOf(session.Config().FeaturesWord);
  for (FeatureView* view : session.FeatureViews()) view->ApplyVisibility(visibility);
}

bool WriteFeatures(Session& session, const FeatureControls& controls) {
  ConfigState& state = session.Config();
  const ComposedFeatures composed = ComposeFeatures(controls);
  state.AnalogueScale = composed.analogueScale;

  ValueBox& box = session.Boxes().Box(kFeaturesAddress);
  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(composed.word));
  box.SetText(text);
  const bool written = session.Convert().SetHex16(box, kFeaturesAddress);

  // The levels are read again below with the scale of the new output type;
  // until then their old texts would be in the wrong unit.
  for (FeatureView* view : session.FeatureViews()) view->HideAnalogueLevelBoxes();
  session.Time().Sleep(50);
  ReadFeatures(session);
  for (std::uint16_t address : kAnalogueLevels) {
    ShowRegister(session.Convert(), session.Boxes().Box(address), address);
  }
  ApplyFeatureVisibility(session);
  session.Exchange().SendCommand("Z");
  return written;
}

bool FeaturesWriteAllowed(const ConfigState& state, bool windowActive) {
  return windowActive && !state.ShowingFeatures;
}
