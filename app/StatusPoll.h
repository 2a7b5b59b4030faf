#pragma once
// One status poll of the main window (Button1Click): send "A", wait for the
// 26-byte reply, and decide what the gauges, boxes and labels show, how the
// poll timer goes on and whether the user is told that the sensor is lost.
// The window only applies the result.

#include <cstdint>
#include <optional>
#include <string>

#include "app/StatusReading.h"
#include "link/UserInterface.h"

class CommandExchange;

// Feature flag bits that shape the status display.
constexpr std::uint16_t kFeatureThirdIsTemperature = 0x0004;
constexpr std::uint16_t kFeatureCoarseDisabled = 0x0008;
constexpr std::uint16_t kFeatureFineDisabled = 0x0010;
constexpr std::uint16_t kFeatureThirdDisabled = 0x0020;
constexpr std::uint16_t kFeatureModbus = 0x0800;

// Consecutive failed polls after which the poll stops.
constexpr int kStatusFailLimit = 5;
constexpr int kStatusIntervalFirst = 200;
constexpr int kStatusIntervalPolling = 500;
constexpr int kStatusIntervalStopped = 1000;

enum class StateColour { Window, Red, Yellow, Green };
enum class BoxAlignment { Left, Centre };

// A debris channel: either its gauge with a value and bar colour, or the
// "DISABLED" box over it.
struct GaugeDisplay {
  bool disabled = false;
  int value = 0;  // as received; the gauge shows 0 to 100
  StateColour colour = StateColour::Yellow;
  std::string disabledText;  // entry 43 when disabled
};

// The oil status or temperature box.
struct ValueBoxDisplay {
  std::string text;
  int fontPoints = 28;
  BoxAlignment alignment = BoxAlignment::Centre;
  StateColour background = StateColour::Green;
  bool enabled = true;
};

struct StatusDisplay {
  GaugeDisplay coarse;
  GaugeDisplay fine;
  ValueBoxDisplay oil;          // Edit3
  ValueBoxDisplay temperature;  // Edit1
  std::string errors;           // lbErrors
};

enum class PollOutcome {
  Shown,    // a good reply: the display is filled
  Ignored,  // a reply that is not a status reply: nothing changes
  Failed,   // no reply in time: counted
};

struct StatusPollResult {
  PollOutcome outcome = PollOutcome::Ignored;
  std::optional<StatusReading> reading;
  std::optional<StatusDisplay> display;   // Shown
  std::optional<std::string> errorsLabel; // lbErrors, Shown and Failed
  std::optional<std::string> commsLabel;  // lbComms, Shown and the stopping failure
  std::optional<int> timerInterval;       // new Timer1 interval
  bool stopTimer = false;                 // the sixth consecutive failure
  std::optional<Message> failureMessage;  // shown after the timer has stopped
};

// Which of the third channel's two boxes carry a value.
bool OilStatusShown(std::uint16_t features);
bool TemperatureShown(std::uint16_t features);

// The oil status as displayed: 1024 counts show as 1000.
int OilStatusValue(std::int32_t oil);
// Whole degrees C of the temperature field, truncated toward zero.
int TemperatureDegrees(std::int32_t temperature);
// What a gauge shows for a value: 0 to 100.
int GaugePercent(int value);

// The display for a good reply.
StatusDisplay DisplayStatus(const StatusReading& reading, std::uint16_t features);

// One poll: sends "A", waits 100 polls for 26 bytes, logs the reading in the
// debug log and counts failures in the link state's m_failcount.
StatusPollResult PollStatus(CommandExchange& exchange, std::uint16_t features);
