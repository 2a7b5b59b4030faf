#pragma once
// The calibration actions of the configure window's Debris and Water
// Contamination pages and of its Scaling menu: each sends one acknowledged
// command and reads back the registers it changes into their boxes. Each
// stops the live update for its exchange and gives it back only when the
// window is open on the Debris or Water Contamination page. The main window
// runs Zero/Tare too, after restoring factory defaults.

#include <cstdint>
#include <vector>

#include "config/Session.h"

enum class Calibration {
  ZeroTare,           // "cn": the offsets 003A and 003C (Button89, Button86Click)
  FullScaleCoarse,    // "cc": 0004 (Button87)
  FullScaleFine,      // "cf": 0006 (Button88)
  CleanOilReference,  // "cd": 0022 (Button90)
  CoarseScaling,      // "co": 003E (Scaling > Coarse, Ctrl+C)
  FineScaling,        // "cp": 0040 (Scaling > Fine, Ctrl+F)
};

// The acknowledged command of an action and the registers it reads back.
const char* CalibrationCommand(Calibration action);
std::vector<std::uint16_t> CalibrationRegisters(Calibration action);

// Runs the action; returns whether the sensor acknowledged its command. The
// registers are read back either way, so the boxes show what it holds.
bool Calibrate(Session& session, Calibration action);
