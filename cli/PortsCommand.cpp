// `ports`: the COM table, one port a line, as the program numbers them.
#include <iostream>

#include "cli/Cli.h"
#include "link/DebugLog.h"

int RunPorts(CliSession&, const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::cerr << "oil-debris-cli: ports takes no arguments\n";
    return kExitUsage;
  }
  const PortMap map = PortMap::Build(DebugLog::DataFolder());
  if (map.Entries().empty()) std::cerr << "no serial ports\n";
  for (const auto& [n, device] : map.Entries()) std::cout << map.Describe(n) << "\n";
  return kExitOk;
}
