#pragma once
// The sensor's configuration memory, reached through three text commands:
// "R %04x 02" reads two bytes, "R %04x 04" reads four, "W %04x %02x" writes
// one. Multi-byte values are stored least significant byte first. Every
// primitive sends its command at most twice and reports failure as an empty
// value or false; none of them touches the status poll.

#include <cstdint>
#include <optional>

#include "link/CommandExchange.h"

// The 2-byte value at `address` (low byte) and `address` + 1 (high byte).
std::optional<std::uint16_t> ReadRegister16(CommandExchange& exchange, std::uint16_t address);

// The 4-byte value as a signed number that saturates: 80000000 and above
// read as 2147483647. For numbers shown to the user.
std::optional<std::int32_t> ReadRegister32(CommandExchange& exchange, std::uint16_t address);

// The same four bytes without saturation. Text registers use this, so that a
// character above 127 in the most significant byte is not lost.
std::optional<std::uint32_t> ReadRegister32Raw(CommandExchange& exchange, std::uint16_t address);

bool WriteRegisterByte(CommandExchange& exchange, std::uint16_t address, std::uint8_t byte);

// Low byte to `address`, then, only when that succeeded, the high byte to
// `address` + 1.
bool WriteRegister16(CommandExchange& exchange, std::uint16_t address, std::uint16_t value);

// Four bytes, least significant first, stopping at the first failure.
bool WriteRegister32(CommandExchange& exchange, std::uint16_t address, std::uint32_t value);
