#pragma once
// The search for the sensor's port at start-up: open COM1 to COM99, ask each
// "I" once, keep the highest that answers (or let the user pick among several
// silent ones), close the others, identify the chosen one up to five times,
// then unlock, read the features and start the status poll.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "link/CommandExchange.h"

// The search shows no message itself: after SensorSilent ("Comms:Fail") and
// NoPort (then the program ends) the caller shows NoSensorMessage().
enum class SearchOutcome {
  SensorFound,      // identified; status poll started
  SensorSilent,     // a port was chosen but did not answer
  NoPort,           // no port could be opened; the program ends
  SelectionClosed,  // the port dialog was closed without "Set"; the program ends
};

struct PortSearchHooks {
  // A new channel for one port (reader not running).
  std::function<std::unique_ptr<Channel>()> makeChannel;
  // The port dialog over the open ports, in increasing order; no value when
  // it is closed without "Set".
  std::function<std::optional<int>(const std::vector<int>& openPorts)> choosePort;
  // The configure window's features read and feature refresh.
  std::function<void()> readFeatures;
};

// "Cannot communicate with sensor." and the rest of the no-answer message.
std::string NoSensorText();
// That text in a box titled "Error".
Message NoSensorMessage();

SearchOutcome SearchPorts(CommandExchange& exchange, const PortSearchHooks& hooks);
