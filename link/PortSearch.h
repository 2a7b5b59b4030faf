#pragma once
// The search for the sensor's port: open COM1 to COM99, ask each "I" once,
// keep the highest that answers (or let the user pick among several silent
// ones), and close the others. The main window and the command-line tool
// share it; what follows the choice is theirs.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/CommandExchange.h"

enum class SearchOutcome {
  Chosen,           // m_comnum is the sensor's port; every other port is closed
  NoPort,           // no port could be opened
  SelectionClosed,  // several silent ports and none was chosen
};

struct PortSearchResult {
  SearchOutcome outcome = SearchOutcome::NoPort;
  // The port chosen (Chosen), and whether it answered "I" during the search.
  int port = 0;
  bool answered = false;
};

struct PortSearchHooks {
  // A new channel for one port (reader not running).
  std::function<std::unique_ptr<Channel>()> makeChannel;
  // Called when several ports opened and none answered, with the open ports
  // in increasing order: the port to use, or no value for none (the window
  // shows the port dialog; the command-line tool lists them and asks for
  // --port).
  std::function<std::optional<int>(const std::vector<int>& openPorts)> choosePort;
  // Told of every port whose open failed, with its channel, so that the
  // caller can say why when no port opens at all.
  std::function<void(int port, const Channel& channel)> openFailed;
};

// "Cannot communicate with sensor." and the rest of the no-answer message.
std::string NoSensorText();
// That text in a box titled "Error".
Message NoSensorMessage();

// The search writes "Open Port", "Pingcomport", "m_comnum" and "deleting
// comport" lines into the debug log when it is open.
PortSearchResult SearchPorts(CommandExchange& exchange, const PortSearchHooks& hooks);
