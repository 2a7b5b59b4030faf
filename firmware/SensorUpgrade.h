#pragma once
// The firmware upgrade behind Help > "Sensor Upgrade": open the firmware
// file, stop the status poll, send the running application into its
// bootloader, erase, program and verify through the bootloader, start the
// new application and resume. Every outcome ends in one message box, but an
// interruption the caller asked for (see UpgradeHooks), which it reports.
//
// The procedure holds the exchange guard from the moment the file is
// accepted until the port is back at 19200 baud, message boxes included, so
// a timer tick or a menu click arriving while pending events run finds the
// guard taken and sends nothing. Callers do not take the guard themselves:
// while another exchange holds it, the procedure does nothing (Busy).

#include <functional>

#include "firmware/HexImageFile.h"
#include "link/CommandExchange.h"

enum class UpgradeOutcome {
  Busy,            // another exchange was in progress: nothing was done
  Cancelled,       // the file choice was cancelled
  FileRefused,     // the file could not be read or is not acceptable
  VersionFailed,   // the bootloader did not answer its version request
  EraseFailed,
  ProgramFailed,
  VerifyFailed,
  // Stopped on request (hooks.stopRequested) in the bootloader phase, at
  // the step Reached() gives; no message was shown.
  Interrupted,
  // Programmed and started, but the new application did not answer the
  // identification that follows; the window treats it as Programmed.
  ProgrammedNotAnswering,
  Programmed,
};

// The bootloader request an interrupted upgrade stopped at (or before).
enum class UpgradeStep { Version, Erase, Write, Verify };

// What the caller does for the procedure beyond the user interface.
struct UpgradeHooks {
  // Fine and coarse gauges to 0, the oil-status box to "---".
  std::function<void()> clearStatusDisplay;
  // The bootloader phase: it begins just before the running application is
  // sent into its bootloader (or, for a sensor that did not answer, before
  // the switch to 57600 baud) and ends once the port is back at 19200 baud.
  // The command-line tool takes its interrupts in it.
  std::function<void()> bootloaderEntered;
  std::function<void()> bootloaderLeft;
  // Asked before each bootloader request and while its reply is awaited:
  // true gives the request up and ends the procedure with Interrupted.
  std::function<bool()> stopRequested;
};

class SensorUpgrade {
 public:
  SensorUpgrade(CommandExchange& exchange, HexImageFile& file, UpgradeHooks hooks = {})
      : exchange_(exchange), file_(file), hooks_(std::move(hooks)) {}

  // The whole procedure, the file chosen through the user interface.
  UpgradeOutcome Run();
  // The procedure for a file the caller has already opened (the
  // command-line tool opens its argument before it looks for the sensor).
  UpgradeOutcome RunOpened();

  // After Interrupted: the step reached, and whether this run rebooted the
  // sensor into its bootloader (it had answered the identification).
  UpgradeStep Reached() const { return reached_; }
  bool Rebooted() const { return rebooted_; }

 private:
  UpgradeOutcome Program();
  void Fail(int entry);
  bool StopRequested() const { return hooks_.stopRequested && hooks_.stopRequested(); }
  void EnterBootloader();
  void LeaveBootloader();

  CommandExchange& exchange_;
  HexImageFile& file_;
  UpgradeHooks hooks_;
  UpgradeStep reached_ = UpgradeStep::Version;
  bool rebooted_ = false;
  bool inBootloader_ = false;
};
