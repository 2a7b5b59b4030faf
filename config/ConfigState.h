#pragma once
// The configure window's state that the converters and the features
// procedures share. The session holds it for the whole run, across the
// window's openings; the main window's status display reads FeaturesWord.

#include <cstdint>

constexpr float kMilliampScale = 43.1f;  // counts per mA, 4-20 mA output
constexpr float kVoltScale = 91.2f;      // counts per V, every other output type

struct ConfigState {
  // Set by the multi-register reads of the CAN and PGN/ID pages, which pause
  // the status poll themselves; never cleared during the run. While set, a
  // single show converter leaves the status poll alone.
  bool BulkReadActive = false;
  // Counts per output unit of the analogue output levels.
  float AnalogueScale = kVoltScale;
  // The sensor's features word (register 001E) as last read; 0 after a
  // failed read.
  std::uint16_t FeaturesWord = 0;
  // True while a features read puts the word into the Sensor Type page's
  // controls: such changes are not the user's and must not start a write.
  bool ShowingFeatures = false;
  // The spin-click counter shared by the Debris page's spin buttons.
  int SpinClickCount = 0;
};
