#include "link/PortSearch.h"

#include "app/Unit9.h"

std::string NoSensorText() { return TextOf(125) + " " + TextOf(126) + "\n\n" + TextOf(127); }

Message NoSensorMessage() { return ErrorMessage(125, NoSensorText()); }

PortSearchResult SearchPorts(CommandExchange& exchange, const PortSearchHooks& hooks) {
  LinkState& state = exchange.State();
  DebugLog& log = state.m_debuglog;
  PortSearchResult result;

  int opened = 0;
  int answered = 0;
  for (int n = 1; n <= 99; ++n) {
    std::unique_ptr<Channel> channel = hooks.makeChannel ? hooks.makeChannel() : nullptr;
    if (!channel) continue;
    if (!channel->OpenPort(n, kTextBaud)) {
      if (hooks.openFailed) hooks.openFailed(n, *channel);
      continue;  // the slot stays empty
    }
    log.Write("\nOpen Port %i", n);
    ++opened;
    auto& slot = state.m_comms[static_cast<std::size_t>(n)];
    slot = std::move(channel);
    state.m_comnum = n;  // so that the identify command goes to this port
    slot->StartReader();
    if (exchange.IdentifySensor(1)) {
      log.Write("\nPingcomport %i", n);
      answered = n;
    }
  }

  if (opened == 0) {
    state.m_comnum = kNoPort;
    result.outcome = SearchOutcome::NoPort;
    return result;
  }

  if (answered != 0) {
    state.m_comnum = answered;
    log.Write("\nm_comnum %i", answered);
  } else if (opened > 1) {
    std::vector<int> open;
    for (int n = 1; n <= 99; ++n) {
      if (state.m_comms[static_cast<std::size_t>(n)]) open.push_back(n);
    }
    const std::optional<int> chosen = hooks.choosePort ? hooks.choosePort(open) : std::nullopt;
    if (!chosen || *chosen < 1 || *chosen > 99 || !state.m_comms[static_cast<std::size_t>(*chosen)]) {
      result.outcome = SearchOutcome::SelectionClosed;
      return result;
    }
    state.m_comnum = *chosen;
  }
  // else: exactly one port opened and it did not answer; it stays m_comnum.

  for (int n = 1; n <= 99; ++n) {
    auto& slot = state.m_comms[static_cast<std::size_t>(n)];
    if (!slot || n == state.m_comnum) continue;
    log.Write("\ndeleting comport %i\n", n);
    slot->ClosePort();
    slot.reset();
  }
  result.outcome = SearchOutcome::Chosen;
  result.port = state.m_comnum;
  result.answered = answered != 0;
  return result;
}
