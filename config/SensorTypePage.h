#pragma once
// The Sensor Type page and the controls around it as the features read and
// write see them. The configure window implements it; tests record calls.

#include <cstdint>

#include "config/FeatureFlags.h"
#include "config/ValueBox.h"

class SensorTypePage {
 public:
  virtual ~SensorTypePage() = default;

  // Edit19, the hidden box of the features word.
  virtual ValueBox& FeaturesBox() = 0;
  // The analogue level box of register 000C, 000E, 0010 or 002A.
  virtual ValueBox& AnalogueLevelBox(std::uint16_t address) = 0;
  // Hides Edit20, Edit37, Edit38 and Edit39.
  virtual void HideAnalogueLevelBoxes() = 0;
  // Puts a word read from the sensor into the radio groups and tick boxes.
  // ConfigState::ShowingFeatures is set meanwhile: these are not the user's
  // changes and must not start a features write.
  virtual void ShowFeatureControls(const FeatureControls& controls) = 0;
  // Applies every visibility decision to the configure and main windows.
  virtual void ApplyVisibility(const FeatureVisibility& visibility) = 0;
};
