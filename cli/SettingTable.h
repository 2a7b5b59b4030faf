#pragma once
// The settings of the configure window's pages as the command-line tool
// names them: the register each one shows, its page's "Set" action, what it
// accepts, and when this sensor's configure window offers it (its page, box
// and "Set" button shown and enabled by the features word's visibility
// rules).

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "config/FeatureFlags.h"
#include "config/RegisterMap.h"
#include "config/Session.h"
#include "config/SetOutcome.h"

enum class SettingKind {
  Debris,            // SetDebrisValue
  OilReference,      // SetOilReference
  Threshold,         // SetOilThreshold
  FilterTime,        // SetFilterTime
  AnalogueLevel,     // SetAnalogueLevel
  TemperatureAlarm,  // SetTemperatureAlarm
  J1939Field,        // SetJ1939Field
  SlaveAddress,      // SetSlaveAddress
  BaudRate,          // SetBaudRate
  Parity,            // SetParity
  Text,              // SetModbusText
};

struct Setting {
  const char* name;
  ConfigPage page;
  std::uint16_t address;
  SettingKind kind;
  const char* accepts;  // for --help: what VALUE may be
  bool (*offered)(const FeatureVisibility&);
};

// Every setting, page by page in the pages' order, top to bottom.
std::span<const Setting> Settings();
const Setting* SettingNamed(const std::string& name);

// What the page's Set action is given, or why the value is refused before
// anything is sent (the limits that need no sensor value).
struct PreparedValue {
  std::string boxText;  // the text typed into the box
  std::string refusal;  // empty when accepted
  std::string note;     // said on stderr, e.g. that a text was cut
};
PreparedValue PrepareValue(const Setting& setting, const std::string& value);

// The setting's value as its box shows it, trimmed and in the form `set`
// accepts; no value when its read failed.
std::optional<std::string> ShownValue(Session& session, const Setting& setting);

// Runs the page's Set action with the prepared text in the box.
SetOutcome RunSetAction(Session& session, const Setting& setting, const std::string& boxText);

// Whether the action reads the register back, so that its box shows what
// the sensor now holds.
bool ReadsBack(SettingKind kind);
