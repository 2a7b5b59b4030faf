#pragma once
// The features read and write of the Sensor Type page as whole procedures on
// the session. The features box (Edit19) and the analogue level boxes are
// the session's register boxes; what the word decides for the controls and
// the visibility rules goes to the session's feature views. The main window
// runs the features read too (start-up, import, factory defaults), and so
// does the command-line tool.

#include <cstdint>

#include "config/FeatureFlags.h"
#include "config/Session.h"

constexpr std::uint16_t kFeaturesAddress = 0x001E;

// Reads 001E with ShowHex16 into the features box (a failed read gives 0),
// keeps the word and its analogue scale in the session, shows it in the
// views' controls and applies the visibility rules. Returns the word.
std::uint16_t ReadFeatures(Session& session);

// The visibility rules of the features word last read, applied by every view.
void ApplyFeatureVisibility(Session& session);

// Composes the word from the controls (the analogue scale follows them),
// puts it into the features box as "%04x" and writes it with SetHex16; hides
// the analogue level boxes; pauses 50 ms; ReadFeatures; reads the levels
// 000E, 002A, 000C, 0010; applies the visibility rules; sends "Z".
// Returns whether the word was written.
bool WriteFeatures(Session& session, const FeatureControls& controls);

// Whether a change of a Sensor Type control is the user's and may start the
// features write: only while the configure window is the active window, and
// never while a read puts the word into the controls.
bool FeaturesWriteAllowed(const ConfigState& state, bool windowActive);
