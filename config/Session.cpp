#include "config/Session.h"

void Session::UseChannel(int port, std::unique_ptr<Channel> channel) {
  if (port < 1 || port >= static_cast<int>(link_.m_comms.size())) return;
  link_.m_comms[static_cast<std::size_t>(port)] = std::move(channel);
  link_.m_comnum = port;
}
