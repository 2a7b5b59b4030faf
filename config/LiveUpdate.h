#pragma once
// The configure window's live update: every 500 ms on the Debris and Water
// Contamination pages it asks the sensor for its extended live data ("a")
// and shows the coarse and fine debris gauges and the oil value. This is the
// window-free part: one exchange and what the window is to show.

#include <array>
#include <cstdint>
#include <optional>

#include "link/CommandExchange.h"

// What one good reply puts on the window. No value at all means that the
// window keeps what it shows.
struct LiveReading {
  // The eighteen fields of the reply, as read with "%x".
  std::array<std::uint32_t, 18> fields{};

  // Gauges: position (the gauge itself shows 0 to 100) and bar colour.
  int coarse = 0;
  bool coarseRed = false;
  int fine = 0;
  bool fineRed = false;

  // Oil value box: the oil status as shown (1024 raw counts show as 1000)
  // and whether either oil alarm flag is set (red background, else green).
  int oilValue = 0;
  bool oilAlarm = false;
};

// Reads a reply to "a" (a zero-terminated text): LF, CR, STX, "a", ",", then
// eighteen hexadecimal fields separated by commas. No value when the reply
// does not begin so or fewer than eighteen fields convert.
std::optional<LiveReading> ParseLiveReply(const char* reply);

// One live-update exchange: "a", at least 93 bytes within 100 polls, the
// reply checked and read, and the line "%d,%d,%d,%x" of fields 1, 2, 3 and 18
// appended to the debug log when it is open. Skipped (no value, nothing
// sent) while another exchange is in progress.
std::optional<LiveReading> RunLiveUpdate(CommandExchange& exchange);
