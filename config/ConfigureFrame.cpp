#include "config/ConfigureFrame.h"

#include "config/FeatureFlags.h"
#include "config/Features.h"

bool OpenConfiguring(Converters& converters, SensorTypePage& page) {
  CommandExchange& exchange = converters.Exchange();
  exchange.User().StopStatusPoll();
  exchange.Time().Sleep(50);
  exchange.UnlockConfig();
  exchange.Time().Sleep(50);
  ReadFeatures(converters, page);
  return exchange.SendAcknowledgedCommand("cs");
}

bool CloseConfiguring(CommandExchange& exchange) {
  const bool acknowledged = exchange.SendAcknowledgedCommand("ce");
  exchange.LockConfig();
  exchange.User().StartStatusPoll();
  return acknowledged;
}

void ReadConfigPage(Converters& converters, ConfigPage page,
                    const std::function<ValueBox&(std::uint16_t address)>& boxOf) {
  converters.Exchange().Time().Sleep(50);
  switch (page) {
    case ConfigPage::Debris:
    case ConfigPage::Oil:
    case ConfigPage::Analog:
    case ConfigPage::Temperature:
      for (std::uint16_t address : PageRegisters(page)) ShowRegister(converters, boxOf(address), address);
      break;
    case ConfigPage::None:
    case ConfigPage::SensorType:
    case ConfigPage::CAN:
    case ConfigPage::PGNID:
    case ConfigPage::MODBUS:
      break;
  }
}

bool PageHasLiveUpdate(ConfigPage page) { return page == ConfigPage::Debris || page == ConfigPage::Oil; }

AlarmLabelEntries TemperatureAlarmLabels(int channelItem) {
  if (channelItem == kTemperatureContinuous) return {92, 93};
  return {90, 91};
}
