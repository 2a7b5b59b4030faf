#include "sim/Bootloader.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

constexpr std::uint8_t kVersion = 1;
constexpr std::uint8_t kErase = 2;
constexpr std::uint8_t kWrite = 3;
constexpr std::uint8_t kVerify = 4;
constexpr std::uint8_t kRun = 5;

constexpr std::uint8_t kBootloaderMajor = 2;
constexpr std::uint8_t kBootloaderMinor = 10;
constexpr std::uint8_t kDone = 0x00;

// The verify request's fixed fields: start word 4 and length 0x11FFA, both
// 32-bit little-endian.
constexpr std::uint8_t kVerifyFields[8] = {0x04, 0x00, 0x00, 0x00, 0xFA, 0x1F, 0x01, 0x00};

std::string Text(const char* format, auto... values) {
  char line[128];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

}  // namespace

Bootloader::Bootloader(int eraseMs, int writeMs, std::set<int> silentCommands)
    : eraseMs_(eraseMs), writeMs_(writeMs), silentCommands_(std::move(silentCommands)) {}

BootAnswer Bootloader::Handle(const ReceivedFrame& frame) {
  if (!frame.checkOk) return BootAnswer{{}, 0, false, "wrong check value"};
  if (frame.payload.empty()) return BootAnswer{{}, 0, false, "empty frame"};
  const int command = frame.payload[0];
  if (silentCommands_.count(command) != 0) {
    return BootAnswer{{}, 0, false, Text("command %d not heard (--boot-silent)", command)};
  }
  switch (command) {
    case kVersion:
      return Version(frame.payload);
    case kErase:
      return Erase(frame.payload);
    case kWrite:
      return Write(frame.payload);
    case kVerify:
      return Verify(frame.payload);
    case kRun:
      if (frame.payload.size() == 1) return BootAnswer{{}, 0, true, "run: starting the application"};
      break;
    default:
      break;
  }
  return BootAnswer{{}, 0, false, Text("unknown request %d of %zu bytes", command, frame.payload.size())};
}

BootAnswer Bootloader::Version(const std::vector<std::uint8_t>& payload) {
  if (payload.size() != 1) return BootAnswer{{}, 0, false, "version: malformed"};
  return BootAnswer{BuildBootFrame({kVersion, kBootloaderMajor, kBootloaderMinor}), 0, false, "version"};
}

BootAnswer Bootloader::Erase(const std::vector<std::uint8_t>& payload) {
  if (payload.size() != 1) return BootAnswer{{}, 0, false, "erase: malformed"};
  flash_.Erase();
  return BootAnswer{BuildBootFrame({kErase, kDone}), eraseMs_, false, "erase"};
}

BootAnswer Bootloader::Write(const std::vector<std::uint8_t>& payload) {
  std::size_t records = 0;
  const RecordsVerdict verdict = flash_.Program(payload.data() + 1, payload.size() - 1, records);
  const std::string note = Text("write records=%zu %s", records, VerdictText(verdict));
  if (verdict != RecordsVerdict::kAccepted) return BootAnswer{{}, 0, false, note};
  return BootAnswer{BuildBootFrame({kWrite, kDone}), writeMs_, false, note};
}

BootAnswer Bootloader::Verify(const std::vector<std::uint8_t>& payload) {
  if (payload.size() != 11 || !std::equal(std::begin(kVerifyFields), std::end(kVerifyFields), payload.begin() + 1)) {
    return BootAnswer{{}, 0, false, "verify: malformed"};
  }
  const std::uint16_t sent = static_cast<std::uint16_t>(payload[9] | (payload[10] << 8));
  const std::uint16_t own = flash_.ImageCheckValue();
  const std::string note = Text("verify sent=%04x flash=%04x", sent, own);
  if (sent != own) return BootAnswer{{}, 0, false, note + " mismatch"};
  return BootAnswer{
      BuildBootFrame({kVerify, kDone, static_cast<std::uint8_t>(own & 0xFF), static_cast<std::uint8_t>(own >> 8)}), 0,
      false, note + " match"};
}
