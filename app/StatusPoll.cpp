#include "app/StatusPoll.h"

#include <cstdio>

#include "app/Unit9.h"
#include "link/CommandExchange.h"
#include "monitor/ReportRecord.h"

namespace {
constexpr int kStatusReplyBytes = 26;
constexpr int kStatusReplyPolls = 100;
constexpr int kFontValue = 28;
constexpr int kFontDisabled = 16;

GaugeDisplay DebrisChannel(std::int32_t value, bool disabled) {
  GaugeDisplay gauge;
  gauge.disabled = disabled;
  if (disabled) {
    gauge.disabledText = TextOf(43);
  } else {
    gauge.value = value;
    gauge.colour = value >= 100 ? StateColour::Red : StateColour::Yellow;
  }
  return gauge;
}

ValueBoxDisplay DisabledBox() {
  ValueBoxDisplay box;
  box.text = TextOf(43);
  box.fontPoints = kFontDisabled;
  box.alignment = BoxAlignment::Left;
  box.background = StateColour::Window;
  box.enabled = false;
  return box;
}

ValueBoxDisplay ValueBox(std::string text, bool alarm) {
  ValueBoxDisplay box;
  box.text = std::move(text);
  box.fontPoints = kFontValue;
  box.alignment = BoxAlignment::Centre;
  box.background = alarm ? StateColour::Red : StateColour::Green;
  box.enabled = true;
  return box;
}
}  // namespace

bool OilStatusShown(std::uint16_t features) {
  return (features & kFeatureThirdDisabled) == 0 &&
         ((features & kFeatureThirdIsTemperature) == 0 || (features & kFeatureModbus) != 0);
}

bool TemperatureShown(std::uint16_t features) {
  return (features & kFeatureThirdDisabled) == 0 &&
         ((features & kFeatureThirdIsTemperature) != 0 || (features & kFeatureModbus) != 0);
}

int OilStatusValue(std::int32_t oil) { return TruncateToInt(OilValue(oil)); }

int TemperatureDegrees(std::int32_t temperature) {
  return static_cast<int>(Degrees(static_cast<std::uint32_t>(temperature)));
}

int GaugePercent(int value) { return value < 0 ? 0 : (value > 100 ? 100 : value); }

StatusDisplay DisplayStatus(const StatusReading& reading, std::uint16_t features) {
  StatusDisplay display;
  display.fine = DebrisChannel(reading.fine, (features & kFeatureFineDisabled) != 0);
  display.coarse = DebrisChannel(reading.coarse, (features & kFeatureCoarseDisabled) != 0);

  display.oil = OilStatusShown(features)
                    ? ValueBox(std::to_string(OilStatusValue(reading.oil)), (reading.status & 0x06) != 0)
                    : DisabledBox();

  if (TemperatureShown(features)) {
    display.temperature =
        ValueBox(std::to_string(TemperatureDegrees(reading.temperature)) + "\u00B0C", (reading.status & 0x01) != 0);
  } else {
    display.temperature = DisabledBox();
  }

  if (reading.status == 0) {
    display.errors = TextOf(44);
  } else {
    char code[16];
    std::snprintf(code, sizeof code, ":%02X", static_cast<unsigned>(reading.status));
    display.errors = TextOf(41) + code;
  }
  return display;
}

StatusPollResult PollStatus(CommandExchange& exchange, std::uint16_t features) {
  LinkState& link = exchange.State();
  StatusPollResult result;

  ReplyBuffer reply(128);
  exchange.SendCommand("A");
  if (!exchange.WaitReply(reply, kStatusReplyBytes, kStatusReplyPolls)) {
    result.outcome = PollOutcome::Failed;
    result.errorsLabel = TextOf(41);
    ++link.m_failcount;
    if (link.m_failcount > kStatusFailLimit) {
      link.m_failcount = kStatusFailLimit;
      result.timerInterval = kStatusIntervalStopped;
      result.stopTimer = true;
      result.commsLabel = TextOf(46);
      result.failureMessage = ErrorMessage(125, JoinTexts3(125, " ", 147, "\n", 148));
    }
    return result;
  }

  const std::optional<StatusReading> reading = ParseStatusReply(reply);
  if (!reading) return result;  // not a status reply: nothing changes

  const StatusReading& r = *reading;
  link.m_debuglog.Write("%d,%d,%d,%d,%x\n", r.coarse, r.fine, r.oil, r.temperature, static_cast<unsigned>(r.status));

  result.outcome = PollOutcome::Shown;
  result.reading = reading;
  result.display = DisplayStatus(r, features);
  result.errorsLabel = result.display->errors;
  result.timerInterval = kStatusIntervalPolling;
  link.m_failcount = 0;
  result.commsLabel = TextOf(45);
  return result;
}
