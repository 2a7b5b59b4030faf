#include "config/ModbusSettings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "config/RegisterAccess.h"
#include "config/RegisterMap.h"
#include "config/TextPacking.h"
#include "config/Validators.h"

namespace {

ValueBox& BoxOf(Session& session, std::uint16_t address) { return session.Boxes().Box(address); }

void Reload(Session& session) { session.Exchange().SendCommand("Z"); }

SetOutcome Outcome(bool written) { return written ? SetOutcome::Written : SetOutcome::Failed; }

std::string Trimmed(const std::string& text) {
  const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
  const auto first = std::find_if(text.begin(), text.end(), notSpace);
  const auto last = std::find_if(text.rbegin(), text.rend(), notSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

bool SameLetters(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string ParityText(std::optional<std::uint16_t> code) {
  if (!code) return kFailedRead;
  if (*code < kParityEntries.size()) return kParityEntries[*code];
  // A code the list has no entry for is shown as it is stored.
  return std::to_string(*code);
}

std::optional<std::uint16_t> ParityCode(const std::string& text) {
  const std::string name = Trimmed(text);
  for (std::size_t i = 0; i < kParityEntries.size(); ++i) {
    if (SameLetters(name, kParityEntries[i])) return static_cast<std::uint16_t>(i);
  }
  return std::nullopt;
}

void ReadSlaveAddress(Session& session) {
  session.Convert().ShowUnsigned16(BoxOf(session, kSlaveAddress), kSlaveAddress);
}

std::string ReadBaudRate(Session& session) {
  ValueBox& box = BoxOf(session, kBaudRate);
  session.Convert().ShowUnsigned32(box, kBaudRate);
  return box.Text();
}

void ReadParity(Session& session) {
  BoxOf(session, kParity).SetText(ParityText(ReadRegister16(session.Exchange(), kParity)));
}

void ReadModbusText(Session& session, std::uint16_t firstAddress) {
  const std::optional<std::string> text = ReadTextField(session.Exchange(), firstAddress);
  BoxOf(session, firstAddress).SetText(text ? FromSingleByte(*text) : std::string(kFailedRead));
}

ModbusReading ReadModbusPage(Session& session) {
  ReadSlaveAddress(session);
  ModbusReading reading{ReadBaudRate(session)};
  ReadParity(session);
  ReadModbusText(session, kSensorNameAddress);
  ReadModbusText(session, kSensorLocationAddress);
  return reading;
}

SetOutcome SetSlaveAddress(Session& session) {
  const bool written = session.Convert().SetInteger16(BoxOf(session, kSlaveAddress), kSlaveAddress);
  Reload(session);
  return Outcome(written);
}

SetOutcome SetBaudRate(Session& session, const std::optional<std::string>& chosenText) {
  std::uint32_t value = kDefaultBaudRate;
  unsigned long scanned = 0;
  if (chosenText && std::sscanf(chosenText->c_str(), "%lu", &scanned) == 1) {
    value = static_cast<std::uint32_t>(scanned);
  }
  const bool written = WriteRegister32(session.Exchange(), kBaudRate, value);
  Reload(session);
  return Outcome(written);
}

SetOutcome SetParity(Session& session) {
  ValueBox& box = BoxOf(session, kParity);
  const std::optional<std::uint16_t> code = ParityCode(box.Text());
  if (!code) {
    box.SetBackground(Background::Yellow);
    return SetOutcome::Rejected;
  }
  box.SetBackground(Background::Normal);
  return Outcome(WriteRegister16(session.Exchange(), kParity, *code));
}

SetOutcome SetModbusText(Session& session, std::uint16_t firstAddress) {
  if (firstAddress != kSensorNameAddress && firstAddress != kSensorLocationAddress) return SetOutcome::Failed;
  ValueBox& box = BoxOf(session, firstAddress);
  const std::string text = ToSingleByte(box.Text(), kTextFieldLength);
  if (!IsPlainText(text)) {
    box.SetBackground(Background::Yellow);
    return SetOutcome::Rejected;
  }
  const bool written = WriteTextField(session.Exchange(), firstAddress, text);
  Reload(session);
  box.SetBackground(Background::Normal);
  return Outcome(written);
}
