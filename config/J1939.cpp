#include "config/J1939.h"

#include <cstdio>

using namespace j1939;

std::uint64_t ComposeName(const J1939NameFields& f) {
  const std::uint64_t identity =
      (static_cast<std::uint64_t>(f.identityHigh & kIdentityHighMask) << 16) | (f.identityLow & kIdentityLowMask);
  std::uint64_t name = identity;
  name |= static_cast<std::uint64_t>(f.manufacturerCode & kManufacturerCodeMask) << 21;
  name |= static_cast<std::uint64_t>(f.ecuInstance & kEcuInstanceMask) << 32;
  name |= static_cast<std::uint64_t>(f.functionInstance & kFunctionInstanceMask) << 35;
  name |= static_cast<std::uint64_t>(f.function & kFunctionMask) << 40;
  name |= static_cast<std::uint64_t>(f.vehicleSystem & kVehicleSystemMask) << 49;
  name |= static_cast<std::uint64_t>(f.vehicleSystemInstance & kVehicleSystemInstanceMask) << 56;
  name |= static_cast<std::uint64_t>(f.industryGroup & kIndustryGroupMask) << 60;
  name |= std::uint64_t{1} << 63;
  return name;
}

std::string FormatName(std::uint64_t name) {
  const auto byte = [name](int i) { return static_cast<unsigned>((name >> (8 * i)) & 0xFF); };
  char text[32];
  std::snprintf(text, sizeof text, "%02x %02x %02x %02x %02x %02x %02x %02x", byte(7), byte(6), byte(5), byte(4),
                byte(3), byte(2), byte(1), byte(0));
  return text;
}

std::uint32_t ComposePgn(std::uint32_t dataPage, std::uint32_t pduFormat, std::uint32_t pduSpecific) {
  return (dataPage & kDataPageMask) << 16 | (pduFormat & kPduFormatMask) << 8 | (pduSpecific & kPduSpecificMask);
}

std::string FormatPgn(std::uint32_t pgn) {
  char text[32];
  std::snprintf(text, sizeof text, "%05lx (%lu)", static_cast<unsigned long>(pgn), static_cast<unsigned long>(pgn));
  return text;
}

std::uint32_t ComposeCanId(std::uint32_t priority, std::uint32_t pgn, std::uint32_t address) {
  // The PGN takes the 18 bits below the priority.
  return (priority & kPriorityMask) << 26 | (pgn & 0x3FFFF) << 8 | (address & kAddressMask);
}

std::string FormatCanId(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(id));
  return text;
}
