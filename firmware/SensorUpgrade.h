#pragma once
// The firmware upgrade behind Help > "Sensor Upgrade": open the firmware
// file, stop the status poll, send the running application into its
// bootloader, erase, program and verify through the bootloader, start the
// new application and resume. Every outcome ends in one message box.
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
  Programmed,
};

// What the main window does for the procedure beyond the user interface.
struct UpgradeHooks {
  // Fine and coarse gauges to 0, the oil-status box to "---".
  std::function<void()> clearStatusDisplay;
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

 private:
  UpgradeOutcome Program();
  void Fail(int entry);

  CommandExchange& exchange_;
  HexImageFile& file_;
  UpgradeHooks hooks_;
};
