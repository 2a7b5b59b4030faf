#include "app/Startup.h"

#include "config/Features.h"

StartupOutcome StartSensor(Session& session, const PortSearchHooks& hooks) {
  CommandExchange& exchange = session.Exchange();
  switch (SearchPorts(exchange, hooks).outcome) {
    case SearchOutcome::NoPort: return StartupOutcome::NoPort;
    case SearchOutcome::SelectionClosed: return StartupOutcome::SelectionClosed;
    case SearchOutcome::Chosen: break;
  }
  return FinishStartup(session) ? StartupOutcome::SensorFound : StartupOutcome::SensorSilent;
}

bool FinishStartup(Session& session) {
  CommandExchange& exchange = session.Exchange();
  if (!exchange.IdentifySensor(5)) return false;
  exchange.UnlockConfig();
  session.Time().Sleep(50);
  ReadFeatures(session);
  session.Link().m_failcount = 0;
  session.User().StartStatusPoll();
  return true;
}

std::optional<std::string> SensorWatch::Look(bool channelGone) {
  if (channelGone) seenGone_ = true;
  std::string where = ports_.WhereNow(identity_);
  if (where.empty()) {
    seenGone_ = true;
    return std::nullopt;
  }
  if (!seenGone_) return std::nullopt;
  return where;
}

ReconnectOutcome ReconnectSensor(Session& session, const std::string& device, const ChannelFactory& makeChannel) {
  LinkState& link = session.Link();
  const int port = link.m_comnum;
  if (!session.Ports().FromPortsFolder() && session.Ports().Device(port) != device) {
    PortMap ports = session.Ports();
    ports.SetDevice(port, device);
    session.SetPorts(std::move(ports));
  }
  session.UseChannel(port, nullptr);  // the old channel lets its descriptor go
  link.m_debuglog.Write("\nReconnect Port %i %s", port, device.c_str());
  std::unique_ptr<Channel> channel = makeChannel ? makeChannel(session.Ports()) : nullptr;
  if (channel == nullptr || !channel->OpenPort(port, kTextBaud)) return ReconnectOutcome::PortNotOpened;
  channel->StartReader();
  session.UseChannel(port, std::move(channel));
  return FinishStartup(session) ? ReconnectOutcome::Reconnected : ReconnectOutcome::SensorSilent;
}
