#include "sim/RegisterMemory.h"

namespace {

struct DefaultSet {
  std::int16_t coarseFull;
  std::int16_t fineFull;
  std::int16_t coarseScaling;
  std::int16_t fineScaling;
};

// Larger probes see the same debris as a smaller share of their range.
constexpr DefaultSet kDefaultSets[3] = {
    {3500, 2600, 1500, 800},
    {4000, 3000, 2000, 1200},
    {5000, 3800, 3000, 2000},
};

// Analogue output counts for a 4-20 mA output at 43.1 counts per mA.
constexpr std::uint16_t kCountsFor4mA = 172;
constexpr std::uint16_t kCountsFor20mA = 862;
constexpr std::uint16_t kCountsFor2mA = 86;
constexpr std::uint16_t kCountsFor3p5mA = 150;

}  // namespace

RegisterMemory::RegisterMemory() {
  Set16(reg::kFeatures, feature::kFourTo20mA | feature::kDisplay);
  LoadDefaultSet(1);

  // J1939 NAME and identifier fields.
  Set16(0x00B0, 0x0155);  // manufacturer code
  Set16(0x00B4, 0x0001);  // identity, high part
  Set16(0x00B6, 0x2345);  // identity, low part
  Set16(0x00B8, 0x0080);  // source address
  Set16(0x00BA, 0x008A);  // function
  Set16(0x00BC, 0x0000);  // vehicle system
  Set16(0x00BE, 0x0000);  // industry group
  Set16(0x00C0, 0x0000);  // function instance
  Set16(0x00C2, 0x0000);  // ECU instance
  Set16(0x00C4, 0x0000);  // vehicle system instance
  Set16(0x00C6, 0x0006);  // priority
  Set16(0x00C8, 0x0040);  // PDU specific
  Set16(0x00CA, 0x00FF);  // PDU format
  Set16(0x00CC, 0x0000);  // data page

  Set16(reg::kModbusSlaveAddress, 1);
  Set16(reg::kModbusParity, 1);  // EVEN
  Set32(reg::kModbusBaudRate, 9600);
  SetText(reg::kModbusName, "DEBRIS SENSOR", 16);
  SetText(reg::kModbusLocation, "GEARBOX 1", 16);
}

bool RegisterMemory::LoadDefaultSet(int set) {
  if (set < 1 || set > 3) return false;
  const DefaultSet& d = kDefaultSets[set - 1];
  Set16(reg::kCoarseZero, 25);
  Set16(reg::kFineZero, 18);
  Set16(reg::kCoarseFull, static_cast<std::uint16_t>(d.coarseFull));
  Set16(reg::kFineFull, static_cast<std::uint16_t>(d.fineFull));
  Set16(reg::kZeroLevel, kCountsFor4mA);
  Set16(reg::kErrorLevel, kCountsFor2mA);
  Set16(reg::kFullScaleLevel, kCountsFor20mA);
  Set16(reg::kOilReference, 3000);
  Set16(reg::kFilterTime, 20);  // 2.0 s
  Set16(reg::kNoOilThreshold, 1100);
  Set16(reg::kWaterThreshold, 900);
  Set16(reg::kInhibitLevel, kCountsFor3p5mA);
  Set16(reg::kInternalOffset, 0);
  Set16(reg::kExternalOffset, 0);
  Set16(reg::kLowTemperatureAlarm, static_cast<std::uint16_t>(-20 * 16));
  Set16(reg::kHighTemperatureAlarm, 100 * 16);
  Set16(reg::kRedLed, 100);
  Set16(reg::kGreenLed, 100);
  Set16(reg::kBlueLed, 100);
  Set16(reg::kCoarseOffset, 2000);
  Set16(reg::kFineOffset, 1800);
  Set16(reg::kCoarseScaling, static_cast<std::uint16_t>(d.coarseScaling));
  Set16(reg::kFineScaling, static_cast<std::uint16_t>(d.fineScaling));
  return true;
}

std::optional<std::vector<std::uint8_t>> RegisterMemory::Read(std::uint32_t address, std::uint32_t count) const {
  if (count == 0 || address >= kSize || count > kSize - address) return std::nullopt;
  return std::vector<std::uint8_t>(bytes_.begin() + address, bytes_.begin() + address + count);
}

bool RegisterMemory::WriteByte(std::uint32_t address, std::uint8_t value) {
  if (address >= kSize) return false;
  bytes_[address] = value;
  return true;
}

std::uint16_t RegisterMemory::Get16(std::uint16_t address) const {
  return static_cast<std::uint16_t>(bytes_[address % kSize] | (bytes_[(address + 1) % kSize] << 8));
}

void RegisterMemory::Set16(std::uint16_t address, std::uint16_t value) {
  WriteByte(address, static_cast<std::uint8_t>(value & 0xFF));
  WriteByte(address + 1u, static_cast<std::uint8_t>(value >> 8));
}

void RegisterMemory::Set32(std::uint16_t address, std::uint32_t value) {
  for (unsigned i = 0; i < 4; ++i) WriteByte(address + i, static_cast<std::uint8_t>(value >> (8 * i)));
}

void RegisterMemory::SetText(std::uint16_t address, const std::string& text, std::size_t characters) {
  for (std::size_t i = 0; i < characters; ++i) {
    const std::uint8_t c = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
    // Within each 16-bit word the earlier character is the high byte.
    WriteByte(static_cast<std::uint32_t>(address + (i ^ 1u)), c);
  }
}
