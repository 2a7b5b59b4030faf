#pragma once
// The features read and write of the Sensor Type page, as whole procedures.
// The window binds its controls through SensorTypePage and calls these; the
// main window calls ReadFeatures too (start-up, import, factory defaults).

#include <cstdint>

#include "config/Converters.h"
#include "config/FeatureFlags.h"
#include "config/SensorTypePage.h"

constexpr std::uint16_t kFeaturesAddress = 0x001E;

// Reads 001E with ShowHex16 into the features box (a failed read gives 0),
// keeps the word and its analogue scale in ConfigState, shows it in the
// page's controls and applies the visibility rules. Returns the word.
std::uint16_t ReadFeatures(Converters& converters, SensorTypePage& page);

// Composes the word from the controls (the analogue scale follows them),
// puts it into the features box as "%04x" and writes it with SetHex16; hides
// the analogue level boxes; pauses 50 ms; ReadFeatures; reads the levels
// 000E, 002A, 000C, 0010; applies the visibility rules; sends "Z".
// Returns whether the word was written.
bool WriteFeatures(Converters& converters, SensorTypePage& page, const FeatureControls& controls);

// Whether a change of a Sensor Type control is the user's and may start the
// features write: only while the configure window is the active window, and
// never while a read puts the word into the controls.
bool FeaturesWriteAllowed(const ConfigState& state, bool windowActive);
