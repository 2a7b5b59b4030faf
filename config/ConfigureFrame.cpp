#include "config/ConfigureFrame.h"

#include "config/FeatureFlags.h"
#include "config/Features.h"

bool OpenConfiguring(Session& session) {
  CommandExchange& exchange = session.Exchange();
  session.User().StopStatusPoll();
  session.Time().Sleep(50);
  exchange.UnlockConfig();
  session.Time().Sleep(50);
  ReadFeatures(session);
  return exchange.SendAcknowledgedCommand("cs");
}

bool CloseConfiguring(Session& session) {
  CommandExchange& exchange = session.Exchange();
  const bool acknowledged = exchange.SendAcknowledgedCommand("ce");
  exchange.LockConfig();
  session.User().StartStatusPoll();
  return acknowledged;
}

ConfigPageReading ReadConfigPage(Session& session, ConfigPage page) {
  ConfigPageReading reading;
  session.Time().Sleep(50);
  switch (page) {
    case ConfigPage::Debris:
    case ConfigPage::Oil:
    case ConfigPage::Analog:
    case ConfigPage::Temperature:
      for (std::uint16_t address : PageRegisters(page)) {
        ShowRegister(session.Convert(), session.Boxes().Box(address), address);
      }
      break;
    case ConfigPage::CAN: reading.name = ReadName(session); break;
    case ConfigPage::PGNID: reading.canId = ReadCanId(session); break;
    case ConfigPage::MODBUS: reading.modbus = ReadModbusPage(session); break;
    case ConfigPage::None:
    case ConfigPage::SensorType: break;
  }
  return reading;
}

bool PageHasLiveUpdate(ConfigPage page) { return page == ConfigPage::Debris || page == ConfigPage::Oil; }

AlarmLabelEntries TemperatureAlarmLabels(int channelItem) {
  if (channelItem == kTemperatureContinuous) return {92, 93};
  return {90, 91};
}
