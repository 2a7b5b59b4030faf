#pragma once
// Every sensor configuration register the configurator reads or writes, in
// one constant table: address, width, converters, scale or mask, entry
// limits, meaning, the configure window's control and page, and the place in
// the configuration file. Page reads, the export list and the converters'
// arguments all come from here.

#include <cstdint>
#include <span>
#include <vector>

#include "config/Converters.h"

enum class ConfigPage { None, SensorType, Debris, Oil, Analog, Temperature, CAN, PGNID, MODBUS };

enum class ShowKind {
  None,           // only the configuration file reads it
  Signed16,
  Unsigned16,
  Unsigned32,
  Hex16,
  ScaledInteger,
  ScaledReal,
  Register16,     // ReadRegister16 without a converter (parity code)
  Text,           // 16 characters over four 4-byte registers
};

enum class SetKind {
  None,           // only the configuration file writes it
  Integer16,
  Hex16,
  MaskedHex16,
  ScaledReal16,
  ScaledInteger16,
  Register16,     // WriteRegister16 of a chosen code (parity)
  Register32,     // WriteRegister32 of a chosen value (baud rate)
  Text,
};

struct RegisterInfo {
  std::uint16_t address;
  int bytes;                  // 2, 4, or 16 for a text field
  ShowKind show;
  SetKind set;
  float scale;                // scaled converters; ignored when analogueScale
  bool analogueScale;         // the scale is ConfigState::AnalogueScale
  std::uint16_t mask;         // SetMaskedHex16; also the field's width when composing
  bool limited;               // whether the window checks the entry below
  float minimum;
  float maximum;
  const char* meaning;
  const char* control;        // the configure window's control, "" for none
  ConfigPage page;
  bool hidden;                // the control is never shown to the user
  int pageRead;               // position in the page's read on selection, 0 for none
  int exportPosition;         // 1 to 38, 0 when not exported
};

// The whole table, in address order.
std::span<const RegisterInfo> RegisterTable();

// The register at `address`, or null when the table has none there.
const RegisterInfo* RegisterAt(std::uint16_t address);

// The 38 exported addresses in configuration-file order (features word first).
std::vector<std::uint16_t> ExportList();

// The registers a page reads when the user selects it, in reading order.
std::vector<std::uint16_t> PageRegisters(ConfigPage page);

// The scale a scaled converter uses for this register.
float ScaleOf(const RegisterInfo& info, const ConfigState& state);

// Shows the register into the box with the table's show converter and scale;
// returns the converter's raw value (0 after a failure, or when the register
// has no box converter: parity and text fields).
std::int64_t ShowRegister(Converters& converters, ValueBox& box, std::uint16_t address);

// Writes the box into the register with the table's set converter, scale and
// mask; false when the write failed or the register takes no box (parity,
// baud rate, text fields).
bool SetRegister(Converters& converters, ValueBox& box, std::uint16_t address);
