#pragma once
// The configure window as a frame, without widgets: what opening and closing
// exchange with the sensor, and what selecting a page reads. The registers
// go into the session's register boxes.

#include <cstdint>
#include <optional>

#include "config/J1939Pages.h"
#include "config/ModbusSettings.h"
#include "config/RegisterMap.h"
#include "config/Session.h"

// Opening: the status poll stopped, 50 ms, the unlock, 50 ms, the features
// read (controls and visibility rules), then "cs", which starts the status
// poll again. Returns whether "cs" was acknowledged; opening goes on either
// way.
bool OpenConfiguring(Session& session);

// Closing: "ce", the lock, the status poll started again. Returns whether
// "ce" was acknowledged.
bool CloseConfiguring(Session& session);

// The page change: a 50 ms pause on every page, then, on the Debris, Water
// Contamination, Analog and Temperature pages, the page's registers in
// reading order, each with its show converter into its box; on the CAN page
// ReadName, on the PGN/ID page ReadCanId, on the MODBUS page its page read.
// A failed read leaves "-----" in its box and the page read goes on. What
// goes to boxes that hold no register is returned.
struct ConfigPageReading {
  std::optional<NameReading> name;      // CAN: the NAME for Edit28
  std::optional<CanIdReading> canId;    // PGN/ID: the PGN and identifier for Edit33, Edit34
  std::optional<ModbusReading> modbus;  // MODBUS: the baud rate drop-down box's text
};
ConfigPageReading ReadConfigPage(Session& session, ConfigPage page);

// Whether the page follows the sensor live every 500 ms.
bool PageHasLiveUpdate(ConfigPage page);

// The string entries of the Temperature page's two alarm labels, set on
// every selection of the page from the channel radio group's item: the
// continuous temperature channel reads "High Temperature(C)" and "Low
// Temperature(C)", every other item the alarm texts.
struct AlarmLabelEntries {
  int high;
  int low;
};
AlarmLabelEntries TemperatureAlarmLabels(int channelItem);
