// `identify`: five "I" attempts; prints the firmware as the About window does.
#include <cstdio>
#include <iostream>

#include "app/Versions.h"
#include "cli/Cli.h"
#include "link/PortSearch.h"

int RunIdentify(CliSession& session, const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::cerr << "oil-debris-cli: identify takes no arguments\n";
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitOk) return status;
  if (!session.Exchange().IdentifySensor(5)) {
    std::cerr << NoSensorText() << "\n";
    return kExitFailed;
  }
  std::printf("%s\n", FirmwareVersionText(session.Link().m_fwpart, session.Link().m_fwversion).c_str());
  return kExitOk;
}
