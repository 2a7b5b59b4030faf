#include "config/RegisterMap.h"

#include <algorithm>
#include <array>


namespace {

using S = ShowKind;
using T = SetKind;
using P = ConfigPage;

constexpr bool kHidden = true;
constexpr bool kShown = false;
constexpr bool kAnalogue = true;
constexpr bool kFixed = false;
constexpr bool kLimited = true;
constexpr bool kFree = false;

// address, bytes, show, set, scale, analogue scale, mask, limited, minimum,
// maximum, meaning, control, page, hidden, page read, export position.
constexpr std::array<RegisterInfo, 43> kRegisters = {{
    {0x0000, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Coarse zero", "Edit1", P::Debris, kHidden, 0, 2},
    {0x0002, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Fine zero", "Edit3", P::Debris, kHidden, 0, 4},
    {0x0004, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Coarse 100%: count that gives 100 % output on the coarse channel", "Edit2", P::Debris, kShown, 1, 3},
    {0x0006, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Fine 100%: count that gives 100 % output on the fine channel", "Edit4", P::Debris, kShown, 2, 5},
    {0x000C, 2, S::ScaledReal, T::ScaledReal16, 1, kAnalogue, 0xFFFF, kFree, 0, 0,
     "Zero Level: analogue output when the sensor measures no debris", "Edit39", P::Analog, kShown, 2, 10},
    {0x000E, 2, S::ScaledReal, T::ScaledReal16, 1, kAnalogue, 0xFFFF, kFree, 0, 0,
     "Error Level: analogue output when the sensor has an error", "Edit37", P::Analog, kShown, 1, 11},
    {0x0010, 2, S::ScaledReal, T::ScaledReal16, 1, kAnalogue, 0xFFFF, kFree, 0, 0,
     "Full Scale Level: analogue output when the sensor measures 100 percent debris", "Edit20", P::Analog, kShown,
     3, 13},
    {0x001E, 2, S::Hex16, T::Hex16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Features word", "Edit19", P::SensorType, kHidden, 0, 1},
    {0x0022, 2, S::Unsigned16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Oil reference: reference value that normalises the oil status measurement", "Edit5", P::Oil, kShown, 1, 17},
    {0x0024, 2, S::ScaledReal, T::ScaledReal16, 10, kFixed, 0xFFFF, kLimited, 0.1f, 10,
     "Filter time of the oil status measurement, tenths of a second", "Edit8", P::Oil, kShown, 4, 18},
    {0x0026, 2, S::ScaledInteger, T::ScaledInteger16, 1, kFixed, 0xFFFF, kLimited, 1001, 1150,
     "No oil threshold: upper oil status value that indicates the alarm", "Edit6", P::Oil, kShown, 2, 19},
    {0x0028, 2, S::ScaledInteger, T::ScaledInteger16, 1, kFixed, 0xFFFF, kLimited, 850, 999,
     "Water contamination threshold: lower oil status value that indicates the alarm", "Edit7", P::Oil, kShown, 3,
     20},
    {0x002A, 2, S::ScaledReal, T::ScaledReal16, 1, kAnalogue, 0xFFFF, kFree, 0, 0,
     "Inhibit Level: analogue output during calibration when inhibit is on", "Edit38", P::Analog, kShown, 4, 12},
    {0x002C, 2, S::Unsigned16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Internal thermistor offset", "Edit9", P::Temperature, kHidden, 1, 21},
    {0x002E, 2, S::Unsigned16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "External PT offset", "Edit10", P::Temperature, kHidden, 2, 22},
    {0x0030, 2, S::ScaledInteger, T::ScaledInteger16, 16, kFixed, 0xFFFF, kLimited, -26, 150,
     "Low temperature alarm, 1/16 degree C, below the high alarm", "Edit21", P::Temperature, kShown, 3, 23},
    {0x0032, 2, S::ScaledInteger, T::ScaledInteger16, 16, kFixed, 0xFFFF, kLimited, -26, 150,
     "High temperature alarm, 1/16 degree C, above the low alarm", "Edit22", P::Temperature, kShown, 4, 24},
    {0x0034, 2, S::None, T::None, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Red LED intensity", "", P::None, kHidden, 0, 14},
    {0x0036, 2, S::None, T::None, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Green LED intensity", "", P::None, kHidden, 0, 15},
    {0x0038, 2, S::None, T::None, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Blue LED intensity", "", P::None, kHidden, 0, 16},
    {0x003A, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Coarse offset: count that gives 0 % output on the coarse channel", "Edit41", P::Debris, kShown, 3, 6},
    {0x003C, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Fine offset: count that gives 0 % output on the fine channel", "Edit43", P::Debris, kShown, 4, 7},
    {0x003E, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Coarse scaling", "Edit42", P::Debris, kHidden, 0, 8},
    {0x0040, 2, S::Signed16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "Fine scaling", "Edit44", P::Debris, kHidden, 0, 9},
    {0x00B0, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x07FF, kFree, 0, 0,
     "J1939 NAME: Manufacturer Code", "Edit11", P::CAN, kShown, 1, 25},
    {0x00B4, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x001F, kFree, 0, 0,
     "J1939 NAME: Identity, high part", "Edit12", P::CAN, kShown, 2, 26},
    {0x00B6, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "J1939 NAME: Identity, low part", "Edit13", P::CAN, kShown, 3, 27},
    {0x00B8, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x00FF, kFree, 0, 0,
     "J1939 source address", "Edit14", P::PGNID, kShown, 5, 28},
    {0x00BA, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x00FF, kFree, 0, 0,
     "J1939 NAME: Function", "Edit15", P::CAN, kShown, 4, 29},
    {0x00BC, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x007F, kFree, 0, 0,
     "J1939 NAME: Vehicle System", "Edit16", P::CAN, kShown, 5, 30},
    {0x00BE, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x0007, kFree, 0, 0,
     "J1939 NAME: Industry Group", "Edit17", P::CAN, kShown, 6, 31},
    {0x00C0, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x001F, kFree, 0, 0,
     "J1939 NAME: Function Instance", "Edit36", P::CAN, kShown, 9, 34},
    {0x00C2, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x0007, kFree, 0, 0,
     "J1939 NAME: ECU Instance", "Edit35", P::CAN, kShown, 8, 33},
    {0x00C4, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x000F, kFree, 0, 0,
     "J1939 NAME: Vehicle System Instance", "Edit18", P::CAN, kShown, 7, 32},
    {0x00C6, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x0007, kFree, 0, 0,
     "J1939 identifier: Priority", "Edit29", P::PGNID, kShown, 4, 35},
    {0x00C8, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x00FF, kFree, 0, 0,
     "J1939 PGN: PDU Specific", "Edit32", P::PGNID, kShown, 3, 38},
    {0x00CA, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x00FF, kFree, 0, 0,
     "J1939 PGN: PDU Format", "Edit31", P::PGNID, kShown, 2, 37},
    {0x00CC, 2, S::Hex16, T::MaskedHex16, 1, kFixed, 0x0001, kFree, 0, 0,
     "J1939 PGN: Data Page", "Edit30", P::PGNID, kShown, 1, 36},
    {0x00D0, 2, S::Unsigned16, T::Integer16, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "MODBUS slave address", "EditSlaveAddress", P::MODBUS, kShown, 1, 0},
    {0x00D2, 2, S::Register16, T::Register16, 1, kFixed, 0xFFFF, kLimited, 0, 3,
     "MODBUS parity and stop bits: 0 ODD, 1 EVEN, 2 NONE 2SB, 3 NONE 1SB", "ComboBoxParity", P::MODBUS, kShown, 3, 0},
    {0x00D4, 4, S::Unsigned32, T::Register32, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "MODBUS baud rate, bits per second", "EditBaudRate", P::MODBUS, kShown, 2, 0},
    {0x00D8, 16, S::Text, T::Text, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "MODBUS sensor name, 00D8 to 00E7", "EditSensorName", P::MODBUS, kShown, 4, 0},
    {0x00E8, 16, S::Text, T::Text, 1, kFixed, 0xFFFF, kFree, 0, 0,
     "MODBUS sensor location, 00E8 to 00F7", "EditSensorLocation", P::MODBUS, kShown, 5, 0},
}};

}  // namespace

std::span<const RegisterInfo> RegisterTable() { return kRegisters; }

const RegisterInfo* RegisterAt(std::uint16_t address) {
  const auto found = std::find_if(kRegisters.begin(), kRegisters.end(),
                                  [address](const RegisterInfo& r) { return r.address == address; });
  return found == kRegisters.end() ? nullptr : &*found;
}

std::vector<std::uint16_t> ExportList() {
  std::vector<const RegisterInfo*> exported;
  for (const RegisterInfo& r : kRegisters) {
    if (r.exportPosition > 0) exported.push_back(&r);
  }
  std::sort(exported.begin(), exported.end(),
            [](const RegisterInfo* a, const RegisterInfo* b) { return a->exportPosition < b->exportPosition; });
  std::vector<std::uint16_t> addresses;
  for (const RegisterInfo* r : exported) addresses.push_back(r->address);
  return addresses;
}

std::vector<std::uint16_t> PageRegisters(ConfigPage page) {
  std::vector<const RegisterInfo*> read;
  for (const RegisterInfo& r : kRegisters) {
    if (r.page == page && r.pageRead > 0) read.push_back(&r);
  }
  std::sort(read.begin(), read.end(),
            [](const RegisterInfo* a, const RegisterInfo* b) { return a->pageRead < b->pageRead; });
  std::vector<std::uint16_t> addresses;
  for (const RegisterInfo* r : read) addresses.push_back(r->address);
  return addresses;
}

float ScaleOf(const RegisterInfo& info, const ConfigState& state) {
  return info.analogueScale ? state.AnalogueScale : info.scale;
}

std::int64_t ShowRegister(Converters& converters, ValueBox& box, std::uint16_t address) {
  const RegisterInfo* info = RegisterAt(address);
  if (info == nullptr) return 0;
  const float scale = ScaleOf(*info, converters.State());
  switch (info->show) {
    case ShowKind::Signed16: return converters.ShowSigned16(box, address);
    case ShowKind::Unsigned16: return converters.ShowUnsigned16(box, address);
    case ShowKind::Unsigned32: return converters.ShowUnsigned32(box, address);
    case ShowKind::Hex16: return converters.ShowHex16(box, address);
    case ShowKind::ScaledInteger: return converters.ShowScaledInteger(box, address, scale);
    case ShowKind::ScaledReal: return converters.ShowScaledReal(box, address, scale);
    case ShowKind::None:
    case ShowKind::Register16:
    case ShowKind::Text: return 0;
  }
  return 0;
}

bool SetRegister(Converters& converters, ValueBox& box, std::uint16_t address) {
  const RegisterInfo* info = RegisterAt(address);
  if (info == nullptr) return false;
  const float scale = ScaleOf(*info, converters.State());
  switch (info->set) {
    case SetKind::Integer16: return converters.SetInteger16(box, address);
    case SetKind::Hex16: return converters.SetHex16(box, address);
    case SetKind::MaskedHex16: return converters.SetMaskedHex16(box, address, info->mask);
    case SetKind::ScaledReal16: return converters.SetScaledReal16(box, address, scale);
    case SetKind::ScaledInteger16: return converters.SetScaledInteger16(box, address, scale);
    case SetKind::None:
    case SetKind::Register16:
    case SetKind::Register32:
    case SetKind::Text: return false;
  }
  return false;
}
