#pragma once
// The J1939 NAME, parameter group number and CAN identifier the sensor
// uses on the bus, composed from the fields it stores one per register.
// Pure arithmetic: every field is reduced to its width before it is placed.
//
// NAME (64 bits, bit 0 least significant): identity number 0-20 (Identity
// H x 65536 + Identity L), manufacturer code 21-31, ECU instance 32-34,
// function instance 35-39, function 40-47, reserved bit 48 (0), vehicle
// system 49-55, vehicle system instance 56-59, industry group 60-62 and
// the arbitrary-address-capable bit 63, always 1.
// PGN = data page x 65536 + PDU format x 256 + PDU specific (the PDU
// specific field always takes part, whatever the PDU format).
// CAN identifier (29 bits) = priority x 2^26 + PGN x 256 + source address.

#include <cstdint>
#include <string>

// Field widths as masks.
namespace j1939 {
constexpr std::uint32_t kIdentityLowMask = 0xFFFF;
constexpr std::uint32_t kIdentityHighMask = 0x1F;
constexpr std::uint32_t kManufacturerCodeMask = 0x7FF;
constexpr std::uint32_t kEcuInstanceMask = 0x7;
constexpr std::uint32_t kFunctionInstanceMask = 0x1F;
constexpr std::uint32_t kFunctionMask = 0xFF;
constexpr std::uint32_t kVehicleSystemMask = 0x7F;
constexpr std::uint32_t kVehicleSystemInstanceMask = 0xF;
constexpr std::uint32_t kIndustryGroupMask = 0x7;
constexpr std::uint32_t kPriorityMask = 0x7;
constexpr std::uint32_t kDataPageMask = 0x1;
constexpr std::uint32_t kPduFormatMask = 0xFF;
constexpr std::uint32_t kPduSpecificMask = 0xFF;
constexpr std::uint32_t kAddressMask = 0xFF;
}  // namespace j1939

// The nine NAME fields.
struct J1939NameFields {
  std::uint32_t identityLow = 0;
  std::uint32_t identityHigh = 0;
  std::uint32_t manufacturerCode = 0;
  std::uint32_t ecuInstance = 0;
  std::uint32_t functionInstance = 0;
  std::uint32_t function = 0;
  std::uint32_t vehicleSystem = 0;
  std::uint32_t vehicleSystemInstance = 0;
  std::uint32_t industryGroup = 0;
};

std::uint64_t ComposeName(const J1939NameFields& fields);
// The eight bytes from the most significant down, "%02x" each, one space
// apart: "ff fe 81 ff ff ff 12 34".
std::string FormatName(std::uint64_t name);

std::uint32_t ComposePgn(std::uint32_t dataPage, std::uint32_t pduFormat, std::uint32_t pduSpecific);
// "%05lx (%lu)": "0fef5 (65269)".
std::string FormatPgn(std::uint32_t pgn);

std::uint32_t ComposeCanId(std::uint32_t priority, std::uint32_t pgn, std::uint32_t address);
// "%08lx": "18fef580".
std::string FormatCanId(std::uint32_t id);
