#include "cli/SettingTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "config/J1939Pages.h"
#include "config/MeasuringPages.h"
#include "config/ModbusSettings.h"
#include "config/Validators.h"
#include "config/ValueFormats.h"

namespace {

using K = SettingKind;
using P = ConfigPage;
using V = FeatureVisibility;

bool Debris(const V& v) { return v.debrisPageShown; }
bool Water(const V& v) { return v.oilPageShown && v.waterControlsShown; }
bool Level(const V& v) { return v.analogPageShown && v.analogueBoxesShown && v.analogueSetButtonsShown; }
bool Inhibit(const V& v) {
  return v.analogPageShown && v.analogueBoxesShown && v.inhibitBoxEnabled && v.inhibitSetShown;
}
bool Alarm(const V& v) { return v.temperaturePageShown && v.temperatureControlsShown; }
bool Can(const V& v) { return v.canPageShown; }
bool Pgn(const V& v) { return v.pgnPageShown; }
bool Always(const V&) { return true; }

constexpr const char* kInteger = "a whole number (\"%i\": 0x hexadecimal, leading 0 octal), low 16 bits written";
constexpr const char* kLevel = "the level in mA (4-20 mA output) or V (0-10 V output)";
constexpr const char* kHex = "hexadecimal; bits beyond the field's width are dropped";
// The sensor name and location: ISO 8859-1 text, so the characters above 127
// count as one byte each.
constexpr const char* kTextLimits =
    "up to 16 characters (longer is cut), none of ! % [ # ` ^ ] ~ ¬ & ; | ¦ * : , £ { ' < $ } @ > / ? = + \"";

constexpr std::array<Setting, 22> kSettings = {{
    {"coarse-100", P::Debris, 0x0004, K::Debris, kInteger, Debris},
    {"fine-100", P::Debris, 0x0006, K::Debris, kInteger, Debris},
    {"coarse-offset", P::Debris, 0x003A, K::Debris, kInteger, Debris},
    {"fine-offset", P::Debris, 0x003C, K::Debris, kInteger, Debris},
    {"oil-reference", P::Oil, 0x0022, K::OilReference, kInteger, Water},
    {"no-oil-threshold", P::Oil, 0x0026, K::Threshold, "a whole number from 1001 to 1150", Water},
    {"water-threshold", P::Oil, 0x0028, K::Threshold, "a whole number from 850 to 999", Water},
    {"filter-time", P::Oil, 0x0024, K::FilterTime, "seconds from 0.1 to 10, written in tenths (truncated)", Water},
    {"error-level", P::Analog, 0x000E, K::AnalogueLevel, kLevel, Level},
    {"zero-level", P::Analog, 0x000C, K::AnalogueLevel, kLevel, Level},
    {"full-scale-level", P::Analog, 0x0010, K::AnalogueLevel, kLevel, Level},
    {"inhibit-level", P::Analog, 0x002A, K::AnalogueLevel, kLevel, Inhibit},
    {"high-temperature", P::Temperature, 0x0032, K::TemperatureAlarm,
     "whole degrees C from -26 to 150, above the low alarm", Alarm},
    {"low-temperature", P::Temperature, 0x0030, K::TemperatureAlarm,
     "whole degrees C from -26 to 150, below the high alarm", Alarm},
    {"function-instance", P::CAN, 0x00C0, K::J1939Field, kHex, Can},
    {"ecu-instance", P::CAN, 0x00C2, K::J1939Field, kHex, Can},
    {"source-address", P::PGNID, 0x00B8, K::J1939Field, kHex, Pgn},
    {"slave-address", P::MODBUS, 0x00D0, K::SlaveAddress, kInteger, Always},
    {"baud-rate", P::MODBUS, 0x00D4, K::BaudRate, "4800, 9600, 19200, 38400 or 57600", Always},
    {"parity", P::MODBUS, 0x00D2, K::Parity, "ODD, EVEN, NONE-2SB or NONE-1SB", Always},
    {"sensor-name", P::MODBUS, 0x00D8, K::Text, kTextLimits, Always},
    {"sensor-location", P::MODBUS, 0x00E8, K::Text, kTextLimits, Always},
}};

std::string Trimmed(const std::string& text) {
  const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  const auto first = std::find_if(text.begin(), text.end(), notSpace);
  const auto last = std::find_if(text.rbegin(), text.rend(), notSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

// The parity entries as the command line writes them: a dash for the space.
std::string CommandLineParity(std::string entry) {
  std::replace(entry.begin(), entry.end(), ' ', '-');
  return entry;
}

PreparedValue Refused(std::string why) {
  PreparedValue prepared;
  prepared.refusal = std::move(why);
  return prepared;
}

}  // namespace

std::span<const Setting> Settings() { return kSettings; }

const Setting* SettingNamed(const std::string& name) {
  for (const Setting& s : kSettings) {
    if (name == s.name) return &s;
  }
  return nullptr;
}

PreparedValue PrepareValue(const Setting& setting, const std::string& value) {
  PreparedValue prepared;
  prepared.boxText = value;
  const RegisterInfo& info = *RegisterAt(setting.address);
  switch (setting.kind) {
    case K::Debris:
    case K::OilReference:
    case K::SlaveAddress:
      if (!ScanInteger(value)) return Refused("is no number");
      break;
    case K::Threshold:
    case K::TemperatureAlarm:
      if (!ValidatedWholeNumber(value, info.minimum, info.maximum)) {
        return Refused(std::string("takes ") + setting.accepts);
      }
      break;
    case K::FilterTime: {
      const std::optional<float> seconds = ParsePositiveReal(value);
      if (!seconds || *seconds < info.minimum || *seconds > info.maximum) {
        return Refused(std::string("takes ") + setting.accepts);
      }
      break;
    }
    case K::AnalogueLevel:
      if (!ScanReal(value)) return Refused("is no number");
      break;
    case K::J1939Field:
      if (!ScanHex(value)) return Refused("is no hexadecimal number");
      break;
    case K::BaudRate:
      if (std::find(kBaudRateEntries.begin(), kBaudRateEntries.end(), value) == kBaudRateEntries.end()) {
        return Refused(std::string("takes ") + setting.accepts);
      }
      break;
    case K::Parity: {
      std::string entry = value;
      std::replace(entry.begin(), entry.end(), '-', ' ');
      const std::optional<std::uint16_t> code = ParityCode(entry);
      if (!code || value.find(' ') != std::string::npos) return Refused(std::string("takes ") + setting.accepts);
      prepared.boxText = kParityEntries[*code];
      break;
    }
    case K::Text: {
      const std::string singleByte = ToSingleByte(value);
      if (!IsPlainText(ToSingleByte(value, kTextFieldLength))) {
        return Refused(std::string("takes ") + setting.accepts);
      }
      if (singleByte.size() > kTextFieldLength) prepared.note = "cut to its first 16 characters";
      break;
    }
  }
  return prepared;
}

std::optional<std::string> ShownValue(Session& session, const Setting& setting) {
  ValueBox& box = session.Boxes().Box(setting.address);
  const std::string text = Trimmed(box.Text());
  // The converters' reads mark a failure in red; the parity and text reads
  // show their dashes only.
  const auto* plain = dynamic_cast<const PlainValueBox*>(&box);
  if (plain != nullptr && plain->font == FontColour::Red) return std::nullopt;
  if (text == kFailedRead) return std::nullopt;
  if (setting.kind == K::Parity && ParityCode(text)) return CommandLineParity(text);
  return text;
}

bool ReadsBack(SettingKind kind) {
  return kind == K::Debris || kind == K::FilterTime || kind == K::TemperatureAlarm || kind == K::J1939Field;
}

SetOutcome RunSetAction(Session& session, const Setting& setting, const std::string& boxText) {
  const std::uint16_t address = setting.address;
  if (setting.kind != K::BaudRate) session.Boxes().Box(address).SetText(boxText);
  switch (setting.kind) {
    case K::Debris: return SetDebrisValue(session, address);
    case K::OilReference: return SetOilReference(session);
    case K::Threshold: return SetOilThreshold(session, address);
    case K::FilterTime: return SetFilterTime(session);
    case K::AnalogueLevel: return SetAnalogueLevel(session, address);
    case K::TemperatureAlarm: return SetTemperatureAlarm(session, address);
    case K::J1939Field: return SetJ1939Field(session, address).outcome;
    case K::SlaveAddress: return SetSlaveAddress(session);
    case K::BaudRate: return SetBaudRate(session, boxText);
    case K::Parity: return SetParity(session);
    case K::Text: return SetModbusText(session, address);
  }
  return SetOutcome::Failed;
}
