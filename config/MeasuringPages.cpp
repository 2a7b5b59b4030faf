#include "config/MeasuringPages.h"

#include "config/RegisterMap.h"
#include "config/Validators.h"
#include "config/ValueFormats.h"

namespace {

constexpr std::uint16_t kOilReference = 0x0022;
constexpr std::uint16_t kFilterTime = 0x0024;

SetOutcome Outcome(bool written) { return written ? SetOutcome::Written : SetOutcome::Failed; }

ValueBox& BoxOf(Session& session, std::uint16_t address) { return session.Boxes().Box(address); }

void Reload(Session& session) { session.Exchange().SendCommand("Z"); }

SetOutcome Reject(ValueBox& box) {
  box.SetBackground(Background::Yellow);
  return SetOutcome::Rejected;
}

bool IsPage(std::uint16_t address, ConfigPage page, SetKind kind) {
  const RegisterInfo* info = RegisterAt(address);
  return info != nullptr && info->page == page && info->set == kind && !info->hidden;
}

}  // namespace

std::optional<std::int32_t> ValidatedWholeNumber(const std::string& text, float minimum, float maximum) {
  const std::optional<std::int32_t> number = ParseWholeNumber(text);
  if (!number) return std::nullopt;
  const auto value = static_cast<float>(*number);
  if (value < minimum || value > maximum) return std::nullopt;
  // What the set converter will write must be what was checked.
  const std::optional<std::int64_t> written = ScanInteger(text);
  if (!written || *written != *number) return std::nullopt;
  return number;
}

SetOutcome SetDebrisValue(Session& session, std::uint16_t address) {
  if (!IsPage(address, ConfigPage::Debris, SetKind::Integer16)) return SetOutcome::Failed;
  ValueBox& box = BoxOf(session, address);
  const bool written = SetRegister(session.Convert(), box, address);
  session.Time().Sleep(20);
  ShowRegister(session.Convert(), box, address);
  Reload(session);
  return Outcome(written);
}

SetOutcome SetOilReference(Session& session) {
  const bool written = SetRegister(session.Convert(), BoxOf(session, kOilReference), kOilReference);
  session.Time().Sleep(50);
  Reload(session);
  return Outcome(written);
}

SetOutcome SetOilThreshold(Session& session, std::uint16_t address) {
  if (!IsPage(address, ConfigPage::Oil, SetKind::ScaledInteger16)) return SetOutcome::Failed;
  const RegisterInfo& info = *RegisterAt(address);
  ValueBox& box = BoxOf(session, address);
  if (!ValidatedWholeNumber(box.Text(), info.minimum, info.maximum)) return Reject(box);
  const bool written = session.Convert().SetScaledInteger16(box, address, info.scale);
  session.Time().Sleep(50);
  Reload(session);
  box.SetBackground(Background::Normal);
  return Outcome(written);
}

SetOutcome SetFilterTime(Session& session) {
  const RegisterInfo& info = *RegisterAt(kFilterTime);
  ValueBox& box = BoxOf(session, kFilterTime);
  const std::optional<float> seconds = ParsePositiveReal(box.Text());
  if (!seconds || *seconds < info.minimum || *seconds > info.maximum) return Reject(box);
  const bool written = session.Convert().SetScaledReal16(box, kFilterTime, info.scale);
  session.Time().Sleep(50);
  Reload(session);
  ShowRegister(session.Convert(), box, kFilterTime);
  box.SetBackground(Background::Normal);
  return Outcome(written);
}

SetOutcome SetAnalogueLevel(Session& session, std::uint16_t address) {
  if (!IsPage(address, ConfigPage::Analog, SetKind::ScaledReal16)) return SetOutcome::Failed;
  const bool written = SetRegister(session.Convert(), BoxOf(session, address), address);
  session.Time().Sleep(50);
  Reload(session);
  return Outcome(written);
}

SetOutcome SetTemperatureAlarm(Session& session, std::uint16_t address) {
  if (address != kLowTemperatureAlarm && address != kHighTemperatureAlarm) return SetOutcome::Failed;
  const RegisterInfo& info = *RegisterAt(address);
  ValueBox& box = BoxOf(session, address);
  const std::optional<std::int32_t> low = ParseWholeNumber(BoxOf(session, kLowTemperatureAlarm).Text());
  const std::optional<std::int32_t> high = ParseWholeNumber(BoxOf(session, kHighTemperatureAlarm).Text());
  // Only the alarm being set must lie within the limits.
  if (!low || !high || *low >= *high || !ValidatedWholeNumber(box.Text(), info.minimum, info.maximum)) {
    return Reject(box);
  }
  const bool written = session.Convert().SetScaledInteger16(box, address, info.scale);
  session.Time().Sleep(20);
  ShowRegister(session.Convert(), box, address);
  session.Time().Sleep(50);
  Reload(session);
  box.SetBackground(Background::Normal);
  return Outcome(written);
}
