#pragma once
// The sensor's 256-byte configuration memory: 2-byte values low byte first,
// 4-byte values least significant byte first, texts two characters per
// 16-bit word with the earlier character in the high byte.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Addresses of the registers the sensor itself uses.
namespace reg {
constexpr std::uint16_t kCoarseZero = 0x0000;
constexpr std::uint16_t kFineZero = 0x0002;
constexpr std::uint16_t kCoarseFull = 0x0004;
constexpr std::uint16_t kFineFull = 0x0006;
constexpr std::uint16_t kZeroLevel = 0x000C;
constexpr std::uint16_t kErrorLevel = 0x000E;
constexpr std::uint16_t kFullScaleLevel = 0x0010;
constexpr std::uint16_t kFeatures = 0x001E;
constexpr std::uint16_t kOilReference = 0x0022;
constexpr std::uint16_t kFilterTime = 0x0024;
constexpr std::uint16_t kNoOilThreshold = 0x0026;
constexpr std::uint16_t kWaterThreshold = 0x0028;
constexpr std::uint16_t kInhibitLevel = 0x002A;
constexpr std::uint16_t kInternalOffset = 0x002C;
constexpr std::uint16_t kExternalOffset = 0x002E;
constexpr std::uint16_t kLowTemperatureAlarm = 0x0030;
constexpr std::uint16_t kHighTemperatureAlarm = 0x0032;
constexpr std::uint16_t kRedLed = 0x0034;
constexpr std::uint16_t kGreenLed = 0x0036;
constexpr std::uint16_t kBlueLed = 0x0038;
constexpr std::uint16_t kCoarseOffset = 0x003A;
constexpr std::uint16_t kFineOffset = 0x003C;
constexpr std::uint16_t kCoarseScaling = 0x003E;
constexpr std::uint16_t kFineScaling = 0x0040;
constexpr std::uint16_t kModbusSlaveAddress = 0x00D0;
constexpr std::uint16_t kModbusParity = 0x00D2;
constexpr std::uint16_t kModbusBaudRate = 0x00D4;
constexpr std::uint16_t kModbusName = 0x00D8;
constexpr std::uint16_t kModbusLocation = 0x00E8;
}  // namespace reg

// Feature word bits the sensor's behaviour depends on.
namespace feature {
constexpr std::uint16_t kThirdChannelTemperature = 0x0004;
constexpr std::uint16_t kCoarseDisabled = 0x0008;
constexpr std::uint16_t kFineDisabled = 0x0010;
constexpr std::uint16_t kThirdChannelDisabled = 0x0020;
constexpr std::uint16_t kFourTo20mA = 0x0040;
constexpr std::uint16_t kDisplay = 0x0080;
constexpr std::uint16_t kNoTemperatureCorrection = 0x0100;
}  // namespace feature

class RegisterMemory {
 public:
  static constexpr std::size_t kSize = 256;

  // The memory as the sensor leaves the factory (default set 1, "Small").
  RegisterMemory();

  // `count` bytes from `address`, or nothing when they do not all exist.
  std::optional<std::vector<std::uint8_t>> Read(std::uint32_t address, std::uint32_t count) const;
  bool WriteByte(std::uint32_t address, std::uint8_t value);

  std::uint16_t Get16(std::uint16_t address) const;
  std::int16_t GetSigned16(std::uint16_t address) const { return static_cast<std::int16_t>(Get16(address)); }
  void Set16(std::uint16_t address, std::uint16_t value);
  void Set32(std::uint16_t address, std::uint32_t value);
  // Up to `characters` characters, zero-padded, two per word, earlier one high.
  void SetText(std::uint16_t address, const std::string& text, std::size_t characters);

  // Default sets 1 to 3 (Small, Medium, Large): the probe-size dependent
  // measurement, threshold and output settings. The variant (features word)
  // and the J1939 and MODBUS identity are the sensor's own and stay.
  // False for any other set number.
  bool LoadDefaultSet(int set);

 private:
  std::array<std::uint8_t, kSize> bytes_{};
};
