// `upgrade FILE.hex`: the firmware upgrade the Help menu runs, with the
// progress on stderr. The file is read and checked before the port is
// touched, so a refused file costs the sensor nothing.
//
// While the sensor is in its bootloader, SIGINT, SIGTERM and SIGHUP do not
// end the program where it stands: the first one gives up the request in
// progress, the port goes back to 19200 baud, the tool says what the sensor
// is left in and exits with 128 + the signal's number. A second one ends the
// program at once. Outside that phase they act as they always do.
#include <signal.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "app/Unit9.h"
#include "app/Versions.h"
#include "cli/Cli.h"
#include "firmware/HexImageFile.h"
#include "firmware/SensorUpgrade.h"

namespace {

// The first stop signal taken (the handler runs on the main thread only:
// the serial reader blocks signals, and the handlers do not nest).
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void OnStopSignal(int signal) {
  int none = 0;
  if (stopSignal.compare_exchange_strong(none, signal)) return;
  // The second: the default action, at once.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);
}

// The three signals caught for the bootloader phase and given back after it;
// one ignored before (nohup) stays ignored.
class StopSignals {
 public:
  ~StopSignals() { Release(); }
  void Catch() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    // One handler at a time: two signals that come together are taken in
    // turn, the first as the stop, the second as the end.
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kCount; ++i) {
      ::sigaction(kSignals[i], &action, &saved_[i]);
      if (saved_[i].sa_handler == SIG_IGN) ::sigaction(kSignals[i], &saved_[i], nullptr);
    }
    caught_ = true;
  }
  void Release() {
    if (!caught_) return;
    for (int i = 0; i < kCount; ++i) ::sigaction(kSignals[i], &saved_[i], nullptr);
    caught_ = false;
  }

 private:
  static constexpr int kCount = 3;
  static constexpr int kSignals[kCount] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction saved_[kCount] {};
  bool caught_ = false;
};

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}

// What an interrupted upgrade leaves the sensor in, by the step it reached.
std::string LeftIn(UpgradeStep step, bool rebooted) {
  switch (step) {
    case UpgradeStep::Version:
      return rebooted ? "the sensor stays in its bootloader with its application not yet erased; run upgrade again"
                      : "the sensor is left as it was (it did not answer before the upgrade); nothing was erased";
    case UpgradeStep::Erase:
      return "the sensor stays in its bootloader with its application possibly partly erased; run upgrade again";
    case UpgradeStep::Write:
      return "the sensor stays in its bootloader with a partly written application; run upgrade again";
    case UpgradeStep::Verify:
      return "the sensor stays in its bootloader with its application written but not started; run upgrade again";
  }
  return "";
}

}  // namespace

int RunUpgrade(CliSession& session, const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << "oil-debris-cli: upgrade takes one firmware file (FILE.hex)\n";
    return kExitUsage;
  }
  HexImageFile file;
  if (file.Open(args[0]) != HexOpenResult::Opened) {
    Message message = ErrorMessage(133, TextOf(133));
    // A reason about the whole file names the path itself; a line's needs it.
    const HexRefusal& refusal = file.Refusal();
    message.detail = refusal.line > 0 ? args[0] + ": " + refusal.Describe() : refusal.Describe();
    session.User().ShowMessage(message);
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitOk) return status;

  StopSignals signals;
  UpgradeHooks hooks;
  hooks.bootloaderEntered = [&signals] { signals.Catch(); };
  hooks.bootloaderLeft = [&signals] { signals.Release(); };
  hooks.stopRequested = [] { return stopSignal != 0; };
  SensorUpgrade upgrade(session.Exchange(), file, hooks);
  const UpgradeOutcome outcome = upgrade.RunOpened();
  signals.Release();

  int status = kExitFailed;
  switch (outcome) {
    case UpgradeOutcome::Programmed:
      std::printf("%s\n", FirmwareVersionText(session.Link().m_fwpart, session.Link().m_fwversion).c_str());
      status = kExitOk;
      break;
    case UpgradeOutcome::ProgrammedNotAnswering:
      std::cerr << "oil-debris-cli: the application was programmed but does not answer\n";
      break;
    case UpgradeOutcome::Interrupted:
      std::cerr << "oil-debris-cli: upgrade interrupted by " << SignalName(stopSignal) << ": "
                << LeftIn(upgrade.Reached(), upgrade.Rebooted()) << "\n";
      break;
    case UpgradeOutcome::Cancelled:
    case UpgradeOutcome::FileRefused:
      status = kExitUsage;
      break;
    default:
      break;
  }
  // A signal taken in the bootloader phase ends the program with its status,
  // even when it came too late to stop the procedure.
  if (stopSignal != 0) return 128 + stopSignal;
  return status;
}
