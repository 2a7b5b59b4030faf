#include "config/J1939Pages.h"

#include <array>

#include "config/RegisterMap.h"

namespace {

constexpr std::uint16_t kEcuInstance = 0x00C2;
constexpr std::uint16_t kFunctionInstance = 0x00C0;

// The NAME fields in reading order and where each is kept.
struct NameField {
  std::uint16_t address;
  std::uint32_t J1939NameFields::*field;
};
constexpr std::array<NameField, 9> kNameFields = {{
    {0x00B0, &J1939NameFields::manufacturerCode},
    {0x00B4, &J1939NameFields::identityHigh},
    {0x00B6, &J1939NameFields::identityLow},
    {0x00BA, &J1939NameFields::function},
    {0x00BC, &J1939NameFields::vehicleSystem},
    {0x00BE, &J1939NameFields::industryGroup},
    {0x00C4, &J1939NameFields::vehicleSystemInstance},
    {kEcuInstance, &J1939NameFields::ecuInstance},
    {kFunctionInstance, &J1939NameFields::functionInstance},
}};

// Shows the field in its box and keeps the value within the field's width;
// a failed read counts as 0.
std::uint32_t ReadField(Session& session, std::uint16_t address) {
  const RegisterInfo* info = RegisterAt(address);
  const auto raw = static_cast<std::uint32_t>(session.Convert().ShowHex16(session.Boxes().Box(address), address));
  return raw & info->mask;
}

// The multi-register reads pause the status poll once around all their
// reads; the flag they set is never cleared.
void BeginBulkRead(Session& session) {
  session.Config().BulkReadActive = true;
  session.User().StopStatusPoll();
  session.Time().Sleep(50);
}

}  // namespace

NameReading ReadName(Session& session) {
  BeginBulkRead(session);
  NameReading reading;
  for (const NameField& f : kNameFields) reading.fields.*f.field = ReadField(session, f.address);
  reading.name = ComposeName(reading.fields);
  reading.text = FormatName(reading.name);
  session.User().StartStatusPoll();
  return reading;
}

PgnReading ReadPgn(Session& session) {
  PgnReading reading;
  session.Time().Sleep(20);
  reading.dataPage = ReadField(session, 0x00CC);
  session.Time().Sleep(20);
  reading.pduFormat = ReadField(session, 0x00CA);
  session.Time().Sleep(20);
  reading.pduSpecific = ReadField(session, 0x00C8);
  reading.pgn = ComposePgn(reading.dataPage, reading.pduFormat, reading.pduSpecific);
  reading.text = FormatPgn(reading.pgn);
  return reading;
}

CanIdReading ReadCanId(Session& session) {
  BeginBulkRead(session);
  CanIdReading reading;
  reading.pgn = ReadPgn(session);
  session.Time().Sleep(20);
  reading.priority = ReadField(session, 0x00C6);
  session.Time().Sleep(20);
  reading.address = ReadField(session, 0x00B8);
  reading.id = ComposeCanId(reading.priority, reading.pgn.pgn, reading.address);
  reading.text = FormatCanId(reading.id);
  session.User().StartStatusPoll();
  return reading;
}

bool IsJ1939Field(std::uint16_t address) {
  const RegisterInfo* info = RegisterAt(address);
  return info != nullptr && (info->page == ConfigPage::CAN || info->page == ConfigPage::PGNID);
}

J1939SetResult SetJ1939Field(Session& session, std::uint16_t address) {
  J1939SetResult result;
  if (!IsJ1939Field(address)) return result;
  const RegisterInfo* info = RegisterAt(address);
  const bool written = session.Convert().SetMaskedHex16(session.Boxes().Box(address), address, info->mask);
  result.outcome = written ? SetOutcome::Written : SetOutcome::Failed;
  session.Time().Sleep(20);
  if (info->page == ConfigPage::CAN) {
    result.name = ReadName(session);
  } else {
    result.canId = ReadCanId(session);
  }
  // The reload makes the sensor take up a new instance.
  if (address == kEcuInstance || address == kFunctionInstance) {
    session.Time().Sleep(50);
    session.Exchange().SendCommand("Z");
  }
  return result;
}
