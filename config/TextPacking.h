#pragma once
// Texts in the sensor's configuration memory: four characters per 4-byte
// register, two per 16-bit word with the earlier character in the high byte.
// The sensor name (00D8 to 00E7) and location (00E8 to 00F7) are 16 such
// characters each, zero-padded; a text of 16 has no terminator.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "link/CommandExchange.h"

constexpr std::uint16_t kSensorNameAddress = 0x00D8;
constexpr std::uint16_t kSensorLocationAddress = 0x00E8;
constexpr std::size_t kTextFieldLength = 16;

// The four characters in reading order of a register whose bytes from the
// address upward are b0 (least significant) to b3: b1, b0, b3, b2.
std::array<std::uint8_t, 4> UnpackText4(std::uint32_t value);
// The inverse: the register value whose bytes from the address upward are
// c1, c0, c3, c2.
std::uint32_t PackText4(const std::array<std::uint8_t, 4>& characters);

// Reads the four registers of a text field and returns its single-byte text
// up to the first zero byte. No text when a register cannot be read: the
// groups that were read are only a part of it.
std::optional<std::string> ReadTextField(CommandExchange& exchange, std::uint16_t firstAddress);

// Writes a single-byte text (cut to 16, padded with zeros) into the four
// registers of a text field. A failed register does not stop the others;
// returns whether all four were written.
bool WriteTextField(CommandExchange& exchange, std::uint16_t firstAddress, const std::string& singleByte);
