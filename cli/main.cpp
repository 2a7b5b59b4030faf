// oil-debris-cli [--port PORT] COMMAND [ARGS]
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace {
struct Command {
  const char* name;
  int (*run)(CliSession&, const std::vector<std::string>&);
  const char* synopsis;
};

const Command kCommands[] = {
    {"ports", RunPorts, "ports                      the COM table: number and device"},
    {"identify", RunIdentify, "identify                   the sensor's firmware part and version"},
    {"status", RunStatus, "status [--watch]           the live status as the main window shows it"},
    {"read", RunRead, "read ADDR [--bytes 2|4]    a register's value in hexadecimal and decimal"},
    {"write", RunWrite, "write ADDR VALUE [--bytes 2|4]  unlock, write a register, lock again"},
    {"features", RunFeatures, "features                   the features word and what it means"},
    {"upgrade", RunUpgrade, "upgrade FILE.hex           replace the sensor's firmware through its bootloader"},
    {"export", RunExport, "export FILE                save the 38 configuration registers into FILE (.dsc)"},
    {"import", RunImport, "import FILE [--backup FILE2]  write FILE into the sensor (FILE2: export first)"},
    {"defaults", RunDefaults,
     "defaults small|medium|large [--zero-tare] [--backup FILE2]  restore a factory default set"},
    {"diff", RunDiff, "diff FILE                  the registers whose value differs from FILE (read only)"},
};

int Usage(std::ostream& out, int status) {
  out << "usage: oil-debris-cli [--port PORT] COMMAND [ARGS]\n"
         "  PORT: COM4, com4, 4 or a device path; without it the sensor is searched\n"
         "        on COM1 to COM99 as the configurator does.\n"
         "commands:\n";
  for (const Command& c : kCommands) out << "  " << c.synopsis << "\n";
  out << "exit status: 0 success, 1 the sensor did not do what was asked,\n"
         "  2 usage error, input file refused, or port cannot be opened\n";
  return status;
}
}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> port;
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (words.empty() && (arg == "--help" || arg == "-h")) return Usage(std::cout, kExitOk);
    if (words.empty() && arg == "--port") {
      if (i + 1 >= argc) return Usage(std::cerr, kExitUsage);
      port = argv[++i];
    } else if (words.empty() && arg.rfind("--port=", 0) == 0) {
      port = arg.substr(7);
    } else {
      words.push_back(arg);
    }
  }
  if (words.empty()) return Usage(std::cerr, kExitUsage);
  for (const Command& c : kCommands) {
    if (words.front() == c.name) {
      CliSession session(port);
      return c.run(session, std::vector<std::string>(words.begin() + 1, words.end()));
    }
  }
  std::cerr << "oil-debris-cli: unknown command '" << words.front() << "'\n";
  return Usage(std::cerr, kExitUsage);
}
