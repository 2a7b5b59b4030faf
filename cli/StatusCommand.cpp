// `status [--watch]`: the main window's status poll from the terminal. One
// poll, or one every 500 ms until interrupted; each good reply prints the
// five fields and what the main window shows for them. A watch whose sensor
// was unplugged, or whose poll gave up, waits for the device to come back.
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "app/Startup.h"
#include "app/StatusPoll.h"
#include "cli/Cli.h"
#include "config/Features.h"
#include "config/RegisterAccess.h"
#include "link/Commsthread.h"

namespace {

const char* ColourName(StateColour colour) {
  switch (colour) {
    case StateColour::Red: return "red";
    case StateColour::Yellow: return "yellow";
    case StateColour::Green: return "green";
    case StateColour::Window: break;
  }
  return "plain";
}

std::string Gauge(const GaugeDisplay& gauge) {
  if (gauge.disabled) return gauge.disabledText;
  return std::to_string(GaugePercent(gauge.value)) + "% " + ColourName(gauge.colour);
}

std::string Box(const ValueBoxDisplay& box) {
  if (!box.enabled) return box.text;
  return box.text + " " + ColourName(box.background);
}

void PrintReading(const StatusReading& r, const StatusDisplay& d) {
  std::printf("fields %x,%x,%x,%x,%x\n", static_cast<unsigned>(r.coarse), static_cast<unsigned>(r.fine),
              static_cast<unsigned>(r.oil), static_cast<unsigned>(r.temperature), static_cast<unsigned>(r.status));
  std::printf("coarse %s, fine %s, oil %s, temperature %s, %s\n", Gauge(d.coarse).c_str(), Gauge(d.fine).c_str(),
              Box(d.oil).c_str(), Box(d.temperature).c_str(), d.errors.c_str());
  std::fflush(stdout);
}

// Waits up to `ms` for an interrupt; true when one came.
bool Interrupted(const sigset_t& stops, int ms) {
  const timespec wait{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  return sigtimedwait(&stops, nullptr, &wait) > 0;
}

// After an unplug, or once the poll has given up: looks once a second for
// the sensor's device to come back, as the configurator does, and takes the
// sensor up again (five identifications, unlock, features read). False when
// interrupted first.
bool AwaitReturn(CliSession& session, const sigset_t& stops) {
  SensorWatch watch(session.Ports(), session.Link().m_comnum);
  std::fprintf(stderr, "oil-debris-cli: waiting for the sensor's device to come back (Ctrl-C ends)\n");
  const ChannelFactory makeChannel = [](const PortMap& ports) -> std::unique_ptr<Channel> {
    return std::make_unique<TCommsThread>(ports);
  };
  for (;;) {
    if (Interrupted(stops, 1000)) return false;
    const std::optional<std::string> device = watch.Look(session.LostDevice().has_value());
    if (!device) continue;
    switch (ReconnectSensor(session.Core(), *device, makeChannel)) {
      case ReconnectOutcome::Reconnected:
        session.NoteDevice();
        std::fprintf(stderr, "oil-debris-cli: %s is back, the sensor answers\n", device->c_str());
        return true;
      case ReconnectOutcome::PortNotOpened:
        break;  // perhaps not yet ours to open: at the next look again
      case ReconnectOutcome::SensorSilent:
        std::fprintf(stderr, "oil-debris-cli: %s is back, but the sensor does not answer\n", device->c_str());
        watch.StartAgain();
        break;
    }
  }
}

}  // namespace

int RunStatus(CliSession& session, const std::vector<std::string>& args) {
  bool watch = false;
  for (const std::string& arg : args) {
    if (arg == "--watch") {
      watch = true;
    } else {
      std::fprintf(stderr, "oil-debris-cli: status takes only --watch, not '%s'\n", arg.c_str());
      return kExitUsage;
    }
  }
  // Interrupts are taken between polls, so that a poll is never cut short.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  if (watch) sigprocmask(SIG_BLOCK, &stops, nullptr);

  if (const int status = session.Connect(); status != kExitOk) return status;
  // The display depends on the channels the sensor has, as in the main window.
  std::uint16_t features = ReadRegister16(session.Exchange(), kFeaturesAddress).value_or(0);

  for (;;) {
    const StatusPollResult result = PollStatus(session.Exchange(), features);
    if (result.outcome != PollOutcome::Shown) {
      // A device that went away ends a single status (the caller says so);
      // a watch waits for it to come back.
      if (const std::optional<std::string> lost = session.LostDevice()) {
        if (!watch) return kExitFailed;
        std::fprintf(stderr, "oil-debris-cli: the serial device %s was disconnected\n", lost->c_str());
        if (!AwaitReturn(session, stops)) return kExitFailed;
        features = session.Core().Config().FeaturesWord;
        continue;
      }
    }
    switch (result.outcome) {
      case PollOutcome::Shown:
        PrintReading(*result.reading, *result.display);
        break;
      case PollOutcome::Ignored:
        std::fprintf(stderr, "oil-debris-cli: the reply was not a status reply\n");
        if (!watch) return kExitFailed;
        break;
      case PollOutcome::Failed:
        std::fprintf(stderr, "oil-debris-cli: the sensor did not answer the status command\n");
        if (!watch) return kExitFailed;
        // The window stops polling at the sixth consecutive failure, and so
        // do we; then, like the window, we wait for the device to come back.
        if (result.failureMessage) {
          std::fprintf(stderr, "%s\n", result.failureMessage->text.c_str());
          if (!AwaitReturn(session, stops)) return kExitFailed;
          features = session.Core().Config().FeaturesWord;
          continue;
        }
        break;
    }
    if (!watch || Interrupted(stops, kStatusIntervalPolling)) return kExitOk;
  }
}
