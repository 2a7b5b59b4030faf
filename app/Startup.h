#pragma once
// The main window's start-up with the sensor: the port search, then, on the
// chosen port, five identification attempts, the unlock, 50 ms, the
// features read and the status poll.

#include "config/Session.h"
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
