#pragma once
// Whoever shows what the features read and write decide: the configure
// window (the Sensor Type page's controls and every page and control the
// visibility rules reach) and the main window (its Reporting and Brightness
// menu entries). The command-line tool has none.

#include "config/FeatureFlags.h"

class FeatureView {
 public:
  virtual ~FeatureView() = default;

  // A word read from the sensor is put into the radio groups and tick
  // boxes. ConfigState::ShowingFeatures is set meanwhile: these are not the
  // user's changes and must not start a features write.
  virtual void ShowFeatureControls(const FeatureControls&) {}
  // The visibility rules of a word.
  virtual void ApplyVisibility(const FeatureVisibility&) {}
  // The features write hides the four analogue level boxes until it has
  // read them again in the unit of the new output type.
  virtual void HideAnalogueLevelBoxes() {}
};
