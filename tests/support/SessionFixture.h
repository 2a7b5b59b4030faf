#pragma once
// A session over an in-memory channel on COM3, on a virtual clock, whose
// sensor answers from a register memory (RegisterSensor). The core tests use
// it with a scripted user (SessionFixture), the window tests with the Qt
// user interface.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/Session.h"
#include "config/ValueBox.h"
#include "tests/support/Fakes.h"
#include "tests/support/RegisterSensor.h"

// A text box that also tells whether its font colour was ever set.
struct FakeBox : PlainValueBox {
  bool fontSet = false;
  void SetFontColour(FontColour colour) override {
    PlainValueBox::SetFontColour(colour);
    fontSet = true;
  }
};

struct FakeSpinBox : SpinBox {
  int value = 0;
  FontColour font = FontColour::Black;
  int Value() const override { return value; }
  void SetValue(int v) override { value = v; }
  void SetFontColour(FontColour colour) override { font = colour; }
};

// A window as the features procedures drive it: what they put into the
// Sensor Type page's controls and the visibility rules they applied.
class RecordingFeatureView : public FeatureView {
 public:
  explicit RecordingFeatureView(const ConfigState& state) : state_(state) {}
  void HideAnalogueLevelBoxes() override { events.push_back("hide levels"); }
  void ShowFeatureControls(const FeatureControls& c) override {
    controls = c;
    showingFlagged = state_.ShowingFeatures;
    events.push_back("controls");
  }
  void ApplyVisibility(const FeatureVisibility& v) override {
    visibility = v;
    events.push_back("visibility");
  }

  FeatureControls controls;
  FeatureVisibility visibility;
  // Whether the controls were marked as not the user's change.
  bool showingFlagged = false;
  std::vector<std::string> events;

 private:
  const ConfigState& state_;
};

class FakeSession {
 public:
  static constexpr int kPort = 3;

  explicit FakeSession(UserInterface& user);

  // The text of every command sent since the last Forget().
  std::vector<std::string> Sent() const;
  void Forget();

  VirtualClock clock;
  Session session;
  RegisterSensor sensor;
  FakeChannel* channel = nullptr;

 private:
  std::size_t forgotten_ = 0;
};

class SessionFixture : public ::testing::Test {
 protected:
  // The plain box the session shows a register in (no window is attached).
  PlainValueBox& BoxOf(std::uint16_t address) { return dynamic_cast<PlainValueBox&>(session.Boxes().Box(address)); }

  std::vector<std::string> Sent() const { return fake.Sent(); }
  // Also forgets the user's events.
  void Forget() {
    fake.Forget();
    user.events.clear();
  }

  ScriptedUser user;
  FakeSession fake{user};
  VirtualClock& clock = fake.clock;
  Session& session = fake.session;
  RegisterSensor& sensor = fake.sensor;
  FakeChannel*& channel = fake.channel;
  LinkState& link = session.Link();
  CommandExchange& exchange = session.Exchange();
  ConfigState& state = session.Config();
  Converters& converters = session.Convert();
};
