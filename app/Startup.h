#pragma once
// The main window's start-up with the sensor: the port search, then, on the
// chosen port, five identification attempts, the unlock, 50 ms, the
// features read and the status poll.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "config/Session.h"
#include "link/PortMap.h"
#include "link/PortSearch.h"

// The search shows no message itself: after SensorSilent ("Comms:Fail") and
// NoPort (then the program ends) the caller shows NoSensorMessage().
enum class StartupOutcome {
  SensorFound,      // identified; status poll started
  SensorSilent,     // a port was chosen but did not answer
  NoPort,           // no port could be opened; the program ends
  SelectionClosed,  // the port dialog was closed without "Set"; the program ends
};

StartupOutcome StartSensor(Session& session, const PortSearchHooks& hooks);

// The start-up's final steps on the chosen port: five identification
// attempts, then the unlock, 50 ms, the features read and the status poll.
// False, and nothing after the identification, when the sensor is silent.
bool FinishStartup(Session& session);

// After an unplug, once the status poll has given up: looks once a second
// for the sensor's device to come back. The device must first be seen gone
// (its channel hung up, or the device missing at a look), so that a sensor
// that is only silent is not identified anew every second.
class SensorWatch {
 public:
  SensorWatch(const PortMap& ports, int port) : ports_(ports), identity_(ports.IdentityOf(port)) {}
  // One look: the device to reopen once it is back after being gone.
  std::optional<std::string> Look(bool channelGone);
  // After a reconnection that failed: wait for it to go and come back again.
  void StartAgain() { seenGone_ = false; }

 private:
  const PortMap& ports_;
  PortMap::Identity identity_;
  bool seenGone_ = false;
};

using ChannelFactory = std::function<std::unique_ptr<Channel>(const PortMap&)>;

// Reopens the sensor's port, now on `device`, at 19200 baud and runs the
// start-up's final steps, which also unlock a sensor that restarted locked.
enum class ReconnectOutcome {
  Reconnected,
  // Not opened yet (a device node that has just come back may not yet have
  // its permissions): try again at the next look.
  PortNotOpened,
  // Opened, but the sensor did not answer: wait for it to go and come back.
  SensorSilent,
};
ReconnectOutcome ReconnectSensor(Session& session, const std::string& device, const ChannelFactory& makeChannel);
