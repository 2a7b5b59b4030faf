#pragma once
// The configure window's live update: every 500 ms on the Debris and Water
// Contamination pages it asks the sensor for its extended live data ("a")
// and shows the coarse and fine debris gauges and the oil value. This is the
// window-free part: one exchange and what the window is to show.

#include <optional>

#include "link/CommandExchange.h"
#include "monitor/ReportRecord.h"

// What one good reply puts on the window.
struct LiveDisplay {
  // Gauges: position (0 to 100, a field above 100 fills the gauge) and bar
  // colour, red from 100 on.
  int coarse = 0;
  bool coarseRed = false;
  int fine = 0;
  bool fineRed = false;

  // Oil value box: the oil value truncated toward zero, and whether either
  // oil alarm flag of the status word is set (red background, else green).
  int oilValue = 0;
  bool oilAlarm = false;
};

LiveDisplay LiveDisplayOf(const ReportRecord& record);

// One live-update exchange: "a", at least 93 bytes within 100 polls, the
// reply checked and read, and the line "%d,%d,%d,%x" of fields 1, 2, 3 and 18
// appended to the debug log when it is open. No value when the reply is
// missing or malformed (the window keeps what it shows), and when another
// exchange is in progress (then nothing is sent).
std::optional<ReportRecord> RunLiveUpdate(CommandExchange& exchange);
