#pragma once
// The MODBUS page: slave address (00D0), baud rate (00D4, shown through
// EditBaudRate and copied into the drop-down box), parity (00D2, code =
// entry of the drop-down list) and the sensor's name (00D8) and location
// (00E8), 16 single-byte characters each. The slave address and the baud
// rate read go through the converters (status poll paused, nine attempts,
// colour); the parity, the baud rate write, the name and the location use
// the register primitives directly: their own two sends, no colour, no
// status-poll pause.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/Session.h"
#include "config/SetOutcome.h"
#include "config/TextPacking.h"

constexpr std::uint16_t kSlaveAddress = 0x00D0;
constexpr std::uint16_t kParity = 0x00D2;
constexpr std::uint16_t kBaudRate = 0x00D4;

// The drop-down lists' entries; a parity code is its entry's index.
inline constexpr std::array<const char*, 5> kBaudRateEntries = {"4800", "9600", "19200", "38400", "57600"};
inline constexpr std::array<const char*, 4> kParityEntries = {"ODD", "EVEN", "NONE 2SB", "NONE 1SB"};
// The baud rate written while no entry of the list has been chosen.
constexpr std::uint32_t kDefaultBaudRate = 19200;

// What the page read puts into the baud rate drop-down box: the text the
// read left in EditBaudRate ("-----" after a failed read), in the box's
// normal colour.
struct ModbusReading {
  std::string baudRateText;
};

// The page read, in this order: slave address (ShowUnsigned16), baud rate
// (ShowUnsigned32), parity, name, location. The parity box gets its entry's
// name, the code as a number when it is above 3, "-----" when the read
// failed; a name or location with a group that cannot be read shows
// "-----", so that a part of a text is never taken for the whole.
ModbusReading ReadModbusPage(Session& session);

// The parts of the page read (the page's hidden read buttons run them one
// by one). ReadBaudRate returns the text for the drop-down box.
void ReadSlaveAddress(Session& session);
std::string ReadBaudRate(Session& session);
void ReadParity(Session& session);
void ReadModbusText(Session& session, std::uint16_t firstAddress);

// The parity box's text for a code read (no value: the read failed).
std::string ParityText(std::optional<std::uint16_t> code);

// Slave address "Set": SetInteger16 ("%i"), then "Z".
SetOutcome SetSlaveAddress(Session& session);

// Baud rate "Set": 19200, or, once an entry has been chosen from the list,
// the drop-down box's text read with "%lu" (19200 if that reads nothing);
// WriteRegister32, then "Z". No colour.
SetOutcome SetBaudRate(Session& session, const std::optional<std::string>& chosenText);

// Parity "Set": WriteRegister16 of the code of the entry the parity box's
// text names (an entry picked from the list, or its name typed; case and
// surrounding spaces do not matter); no "Z", no colour. A text that names
// no entry turns the box yellow and writes nothing.
SetOutcome SetParity(Session& session);
// The code of an entry name, when the text names one.
std::optional<std::uint16_t> ParityCode(const std::string& text);

// Name (00D8) or location (00E8) "Set": the box's text as single-byte
// characters, cut to 16 and padded with zeros; refused (yellow, nothing
// written) when IsPlainText rejects it; otherwise the four groups written
// (a failed group does not stop the others), "Z", normal background.
SetOutcome SetModbusText(Session& session, std::uint16_t firstAddress);
