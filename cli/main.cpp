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
  // What `COMMAND --help` prints below the synopsis; null for the commands
  // that print their own help (their names and limits).
  const char* help = "";
};

const Command kCommands[] = {
    {"ports", RunPorts, "ports                      the COM table: number, device and, for a USB adapter, its product and serial",
     "  One line a port: COMnn, the device, and a USB adapter's product and serial.\n"},
    {"identify", RunIdentify, "identify                   the sensor's firmware part and version",
     "  Five identify attempts; prints FW-PART.VERSION.\n"},
    {"status", RunStatus, "status [--watch]           the live status as the main window shows it",
     "  --watch  poll every 500 ms until interrupted; when the device is unplugged, or at the sixth\n"
     "           failure in a row, wait for the device to come back and take the sensor up again\n"},
    {"read", RunRead, "read ADDR [--bytes 2|4]    a register's value in hexadecimal and decimal",
     "  ADDR is hexadecimal (with or without 0x); --bytes 4 reads four bytes.\n"},
    {"write", RunWrite, "write ADDR VALUE [--bytes 2|4]  unlock, write a register, lock again",
     "  ADDR is hexadecimal; VALUE follows C's %i (0x hexadecimal, leading-0 octal).\n"},
    {"features", RunFeatures, "features                   the features word and what it means", ""},
    {"monitor", RunMonitor, "monitor [--seconds N] [--log FILE] [--raw FILE]  the reporting poll, once a second",
     "  Without identifying first; until Ctrl-C or N seconds.\n"
     "  --log FILE  the user log (appended)   --raw FILE  the raw data log (emptied first)\n"},
    {"upgrade", RunUpgrade, "upgrade FILE.hex           replace the sensor's firmware through its bootloader",
     "  The file is read and checked whole before anything is sent.\n"},
    {"export", RunExport, "export FILE                save the 38 configuration registers into FILE (.dsc)",
     "  Exit 1 when a register could not be read; the file keeps the lines that were.\n"},
    {"import", RunImport, "import FILE [--backup FILE2]  write FILE into the sensor (FILE2: export first)",
     "  FILE is checked whole first; --backup FILE2 exports the sensor's configuration to FILE2 first,\n"
     "  and nothing is written when that backup is incomplete.\n"},
    {"defaults", RunDefaults,
     "defaults small|medium|large [--zero-tare] [--backup FILE2]  restore a factory default set",
     "  No questions asked; --zero-tare runs Zero/Tare afterwards; --backup FILE2 exports first.\n"},
    {"diff", RunDiff, "diff FILE                  the registers whose value differs from FILE (read only)",
     "  Exit 0 when every register equals the file, 1 when one differs or cannot be read.\n"},
    {"settings", RunSettings, "settings                   every setting of the configure window's pages, NAME VALUE",
     nullptr},
    {"set", RunSet, "set NAME VALUE             one setting, as its page's Set button writes it (set --help)", nullptr},
    {"calibrate", RunCalibrate, "calibrate ACTION           a calibration action of the pages (calibrate --help)",
     nullptr},
    {"j1939", RunJ1939, "j1939                      the J1939 NAME and identifier fields, NAME, PGN and CAN-ID",
     nullptr},
};

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

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
      const std::vector<std::string> args(words.begin() + 1, words.end());
      // Help is printed, never taken for a file or a value.
      if (c.help != nullptr && AsksForHelp(args)) {
        // The synopsis is the usage, two or more spaces, then what it does.
        const std::string synopsis = c.synopsis;
        const std::size_t gap = synopsis.find("  ");
        const std::size_t what = synopsis.find_first_not_of(' ', gap);
        std::cout << "usage: oil-debris-cli [--port PORT] " << synopsis.substr(0, gap) << "\n";
        if (gap != std::string::npos && what != std::string::npos) std::cout << "  " << synopsis.substr(what) << "\n";
        std::cout << c.help;
        return kExitOk;
      }
      CliSession session(port);
      const int status = c.run(session, args);
      // Whatever the command made of it, a device that went away is said so.
      if (const auto lost = session.LostDevice()) {
        std::cerr << "oil-debris-cli: the serial device " << *lost << " was disconnected\n";
        return kExitFailed;
      }
      return status;
    }
  }
  std::cerr << "oil-debris-cli: unknown command '" << words.front() << "'\n";
  return Usage(std::cerr, kExitUsage);
}
