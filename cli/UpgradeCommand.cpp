// `upgrade FILE.hex`: the firmware upgrade the Help menu runs, with the
// progress on stderr. The file is read and checked before the port is
// touched, so a refused file costs the sensor nothing.
#include <iostream>

#include "app/Unit9.h"
#include "cli/Cli.h"
#include "firmware/HexImageFile.h"
#include "firmware/SensorUpgrade.h"

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
  switch (SensorUpgrade(session.Exchange(), file).RunOpened()) {
    case UpgradeOutcome::Programmed:
      return kExitOk;
    case UpgradeOutcome::Cancelled:
    case UpgradeOutcome::FileRefused:
      return kExitUsage;
    default:
      return kExitFailed;
  }
}
