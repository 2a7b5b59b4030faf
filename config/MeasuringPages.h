#pragma once
// The "Set" actions of the Debris, Water Contamination, Analog Output and
// Temperature pages, on the session's register boxes: each takes the text
// typed into its box, checks it where the page has limits, writes it with
// the register's set converter and, where the page does, reads it back and
// sends the reload "Z". A rejected entry turns its box yellow and writes
// nothing; an accepted one gives the box its normal background.
//
// Entries checked as whole numbers are read as reals but written with
// "%i"; an entry that "%i" would read as another number (a leading 0 reads
// as octal: 01100 is 576) is rejected rather than written as that number.

#include <cstdint>
#include <optional>
#include <string>

#include "config/Session.h"
#include "config/SetOutcome.h"

// Debris "Set" (Button4, Button8, Button98, Button102: 0004, 0006, 003A,
// 003C): SetInteger16, 20 ms, the register read back, "Z".
SetOutcome SetDebrisValue(Session& session, std::uint16_t address);

// Oil reference "Set" (Button10, 0022): SetInteger16, 50 ms, "Z".
SetOutcome SetOilReference(Session& session);

// No oil threshold (Button12, 0026, 1001 to 1150) and water contamination
// threshold (Button14, 0028, 850 to 999) "Set": a whole number within the
// limits, SetScaledInteger16 (1), 50 ms, "Z".
SetOutcome SetOilThreshold(Session& session, std::uint16_t address);

// Filter time "Set" (Button16, 0024): a positive real from 0.1 to 10,
// SetScaledReal16 (10), 50 ms, "Z", the register read back.
SetOutcome SetFilterTime(Session& session);

// Analog Output "Set" (Button78, Button80, Button40, Button79: 000E, 000C,
// 0010, 002A): SetScaledReal16 with AnalogueScale, 50 ms, "Z". No limits.
SetOutcome SetAnalogueLevel(Session& session, std::uint16_t address);

// Low (Button43, 0030) and high (Button44, 0032) temperature alarm "Set":
// both boxes whole numbers, low below high, the one being set from -26 to
// 150; SetScaledInteger16 (16), 20 ms, read back, 50 ms, "Z". Only the box
// being set turns yellow on rejection.
SetOutcome SetTemperatureAlarm(Session& session, std::uint16_t address);

constexpr std::uint16_t kLowTemperatureAlarm = 0x0030;
constexpr std::uint16_t kHighTemperatureAlarm = 0x0032;

// The whole number a validated entry stands for, when it passes
// ParseWholeNumber, lies within the limits (both included) and reads as the
// same number with "%i"; no value otherwise.
std::optional<std::int32_t> ValidatedWholeNumber(const std::string& text, float minimum, float maximum);
