#pragma once
// One session with the sensor: the link (the channel table, m_comnum, the
// firmware numbers, the debug log, the failure count, the exchange guard),
// the command exchange over it, and the configure window's core state
// (FeaturesWord, AnalogueScale, BulkReadActive, the spin-click counter) with
// the converters that share it. The windows are handed the session; the
// command-line tool and the tests build it the same way.

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "config/ConfigState.h"
#include "config/Converters.h"
#include "config/FeatureView.h"
#include "config/ValueBox.h"
#include "link/CommandExchange.h"
#include "link/PortMap.h"

class Session {
 public:
  Session(Clock& clock, UserInterface& user) : clock_(clock), user_(user) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Clock& Time() { return clock_; }
  UserInterface& User() { return user_; }
  LinkState& Link() { return link_; }
  CommandExchange& Exchange() { return exchange_; }
  ConfigState& Config() { return config_; }
  Converters& Convert() { return converters_; }

  // The COM port table of this run.
  const PortMap& Ports() const { return ports_; }
  void SetPorts(PortMap ports) { ports_ = std::move(ports); }

  // Puts an open channel into the table at `port` and makes it the sensor's.
  void UseChannel(int port, std::unique_ptr<Channel> channel);
  // The sensor's channel, or null while no port is chosen.
  Channel* Sensor() const { return link_.Sensor(); }

  // Where the registers are shown: the configure window's boxes once it
  // exists, plain boxes until then and in the command-line tool.
  RegisterBoxes& Boxes() { return boxes_ != nullptr ? *boxes_ : plainBoxes_; }
  void SetBoxes(RegisterBoxes* boxes) { boxes_ = boxes; }

  // The windows that show what the features read and write decide.
  void AddFeatureView(FeatureView* view) { views_.push_back(view); }
  void RemoveFeatureView(FeatureView* view) { std::erase(views_, view); }
  const std::vector<FeatureView*>& FeatureViews() const { return views_; }

  // The configure window's live update, for the actions that must not share
  // the line with it: stop it, and start it again only where it belongs
  // (the window open on the Debris or Water Contamination page). Unset
  // while no configure window exists.
  std::function<void()> stopLiveUpdate;
  std::function<void()> resumeLiveUpdate;

 private:
  Clock& clock_;
  UserInterface& user_;
  LinkState link_;
  CommandExchange exchange_{link_, clock_, user_};
  ConfigState config_;
  Converters converters_{exchange_, config_};
  PortMap ports_;
  PlainRegisterBoxes plainBoxes_;
  RegisterBoxes* boxes_ = nullptr;
  std::vector<FeatureView*> views_;
};
