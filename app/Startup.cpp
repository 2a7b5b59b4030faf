#include "app/Startup.h"

#include "config/Features.h"

StartupOutcome StartSensor(Session& session, const PortSearchHooks& hooks) {
  CommandExchange& exchange = session.Exchange();
  switch (SearchPorts(exchange, hooks).outcome) {
    case SearchOutcome::NoPort: return StartupOutcome::NoPort;
    case SearchOutcome::SelectionClosed: return StartupOutcome::SelectionClosed;
    case SearchOutcome::Chosen: break;
  }
  if (!exchange.IdentifySensor(5)) return StartupOutcome::SensorSilent;
  exchange.UnlockConfig();
  session.Time().Sleep(50);
  ReadFeatures(session);
  session.Link().m_failcount = 0;
  session.User().StartStatusPoll();
  return StartupOutcome::SensorFound;
}
