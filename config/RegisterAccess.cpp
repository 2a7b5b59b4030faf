#include "config/RegisterAccess.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace {

constexpr int kSends = 2;
constexpr int kPolls = 20;

// Sends `command` up to twice until a reply of at least `length` bytes comes.
bool Exchange(CommandExchange& exchange, const char* command, int length, ReplyBuffer& reply) {
  for (int attempt = 0; attempt < kSends; ++attempt) {
    reply.Clear();
    exchange.SendCommand(command);
    if (exchange.WaitReply(reply, length, kPolls)) return true;
  }
  return false;
}

// The reply's byte values sit at fixed positions as two hexadecimal digits
// each; the digits are read most significant byte first, as one number.
// Nothing else of the reply is examined, so a wrong but long enough reply
// gives a wrong value rather than a failure.
std::uint32_t Digits(const ReplyBuffer& reply, std::initializer_list<std::size_t> positions) {
  std::string digits;
  for (std::size_t p : positions) {
    digits.push_back(static_cast<char>(reply[p]));
    digits.push_back(static_cast<char>(reply[p + 1]));
  }
  return static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
}

std::optional<std::uint32_t> Read32(CommandExchange& exchange, std::uint16_t address) {
  char command[16];
  std::snprintf(command, sizeof command, "R %04x 04", static_cast<unsigned>(address));
  ReplyBuffer reply(64);
  if (!Exchange(exchange, command, 26, reply)) return std::nullopt;
  return Digits(reply, {19, 16, 13, 10});
}

}  // namespace

std::optional<std::uint16_t> ReadRegister16(CommandExchange& exchange, std::uint16_t address) {
  char command[16];
  std::snprintf(command, sizeof command, "R %04x 02", static_cast<unsigned>(address));
  ReplyBuffer reply(64);
  if (!Exchange(exchange, command, 20, reply)) return std::nullopt;
  return static_cast<std::uint16_t>(Digits(reply, {13, 10}));
}

std::optional<std::int32_t> ReadRegister32(CommandExchange& exchange, std::uint16_t address) {
  const std::optional<std::uint32_t> raw = Read32(exchange, address);
  if (!raw) return std::nullopt;
  // Numbers are read as signed 32-bit values that saturate.
  if (*raw > 0x7FFFFFFFu) return 0x7FFFFFFF;
  return static_cast<std::int32_t>(*raw);
}

std::optional<std::uint32_t> ReadRegister32Raw(CommandExchange& exchange, std::uint16_t address) {
  return Read32(exchange, address);
}

bool WriteRegisterByte(CommandExchange& exchange, std::uint16_t address, std::uint8_t byte) {
  char command[16];
  std::snprintf(command, sizeof command, "W %04x %02x", static_cast<unsigned>(address),
                static_cast<unsigned>(byte));
  ReplyBuffer reply(64);
  return Exchange(exchange, command, 2, reply);
}

bool WriteRegister16(CommandExchange& exchange, std::uint16_t address, std::uint16_t value) {
  if (!WriteRegisterByte(exchange, address, static_cast<std::uint8_t>(value & 0xFF))) return false;
  return WriteRegisterByte(exchange, static_cast<std::uint16_t>(address + 1),
                           static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

bool WriteRegister32(CommandExchange& exchange, std::uint16_t address, std::uint32_t value) {
  for (unsigned i = 0; i < 4; ++i) {
    const auto byte = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    if (!WriteRegisterByte(exchange, static_cast<std::uint16_t>(address + i), byte)) return false;
  }
  return true;
}
