#pragma once
// COM ports for the port search: a fake channel per port that exists (or
// not) and has a sensor behind it (or not), with a record of what happened
// on each port that outlives its channel (the search deletes the channels of
// the ports it does not keep).

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/Fakes.h"
#include "tests/support/RegisterSensor.h"

struct PortRecord {
  std::vector<Written> writes;
  int closes = 0;
  std::vector<std::string> Texts() const;
};

class FakePorts {
 public:
  explicit FakePorts(VirtualClock& clock) : clock_(clock) {}

  // The ports that exist and those with a sensor behind them; every
  // answering port's sensor is `sensor`.
  std::set<int> existing;
  std::set<int> answering;
  RegisterSensor sensor;
  std::map<int, PortRecord> records;

  // A new channel, for the search's makeChannel hook.
  std::unique_ptr<Channel> Make();
  std::vector<std::string> Texts(int port) const { return records.at(port).Texts(); }

 private:
  VirtualClock& clock_;
};
