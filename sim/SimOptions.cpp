#include "sim/SimOptions.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

bool ParseLong(const std::string& text, long minimum, long maximum, long& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < minimum || parsed > maximum) return false;
  value = parsed;
  return true;
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(text);
  while (std::getline(stream, part, ',')) parts.push_back(part);
  return parts;
}

// "PART.VERSION", both decimal and at most 32 bits.
bool ParseFirmware(const std::string& text, SimOptions& options) {
  const std::size_t dot = text.find('.');
  if (dot == std::string::npos) return false;
  long part = 0;
  long version = 0;
  if (!ParseLong(text.substr(0, dot), 0, 0xFFFFFFFFL, part) ||
      !ParseLong(text.substr(dot + 1), 0, 0xFFFFFFFFL, version)) {
    return false;
  }
  options.firmwarePart = static_cast<std::uint32_t>(part);
  options.firmwareVersion = static_cast<std::uint32_t>(version);
  return true;
}

}  // namespace

std::string SimOptions::LinkPathToCreate() const {
  if (!linkPath.empty()) return linkPath;
  return home + "/TesselAppsData/OilDebris/ports/com" + std::to_string(comPort);
}

ParsedOptions ParseSimOptions(const std::vector<std::string>& arguments, const std::string& homeFromEnvironment) {
  ParsedOptions result;
  SimOptions& o = result.options;
  o.home = homeFromEnvironment;
  auto fail = [&result](const std::string& message) {
    result.ok = false;
    result.error = message;
    return result;
  };

  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    const std::string value = hasValue ? arguments[i + 1] : std::string();
    long number = 0;

    if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--silent") {
      o.silent = true;
    } else if (name == "--short") {
      o.shortReplies = true;
    } else if (name == "--garble") {
      o.garble = true;
    } else if (name == "--locked-writes") {
      o.lockedWrites = true;
    } else if (name == "--pace") {
      o.pace = true;
    } else if (name == "--boot") {
      o.startInBootloader = true;
    } else if (!hasValue) {
      if (name.rfind("--", 0) == 0) return fail(name + " needs a value or is unknown");
      return fail("unexpected argument " + name);
    } else {
      ++i;
      if (name == "--link") {
        o.linkPath = value;
      } else if (name == "--com") {
        if (!ParseLong(value, 1, 99, number)) return fail("--com takes a port number from 1 to 99");
        o.comPort = static_cast<int>(number);
      } else if (name == "--home") {
        o.home = value;
      } else if (name == "--log") {
        o.logPath = value;
      } else if (name == "--dump-flash") {
        o.dumpFlashPath = value;
      } else if (name == "--fw") {
        if (!ParseFirmware(value, o)) return fail("--fw takes PART.VERSION in decimal, e.g. 5819.111");
      } else if (name == "--seed") {
        if (!ParseLong(value, 0, 0x7FFFFFFFL, number)) return fail("--seed takes a whole number");
        o.seed = static_cast<std::uint64_t>(number);
      } else if (name == "--silent-after") {
        if (!ParseLong(value, 0, 0x7FFFFFFFL, number)) return fail("--silent-after takes a request count");
        o.silentAfter = number;
      } else if (name == "--delay") {
        if (!ParseLong(value, 0, 600000, number)) return fail("--delay takes milliseconds");
        o.delayMs = static_cast<int>(number);
      } else if (name == "--no-ack") {
        for (const std::string& word : SplitCommas(value)) {
          if (word.empty()) return fail("--no-ack takes command words separated by commas");
          o.noAck.insert(word);
        }
      } else if (name == "--erase-ms") {
        if (!ParseLong(value, 0, 600000, number)) return fail("--erase-ms takes milliseconds");
        o.eraseMs = static_cast<int>(number);
      } else if (name == "--write-ms") {
        if (!ParseLong(value, 0, 600000, number)) return fail("--write-ms takes milliseconds");
        o.writeMs = static_cast<int>(number);
      } else if (name == "--boot-silent") {
        for (const std::string& code : SplitCommas(value)) {
          if (!ParseLong(code, 1, 5, number)) return fail("--boot-silent takes command codes 1 to 5");
          o.bootSilent.insert(static_cast<int>(number));
        }
      } else {
        return fail("unknown switch " + name);
      }
    }
  }

  if (o.help) {
    result.ok = true;
    return result;
  }
  if (o.linkPath.empty() && o.comPort == 0) return fail("give --link PATH or --com N");
  if (!o.linkPath.empty() && o.comPort != 0) return fail("give either --link or --com, not both");
  if (o.comPort != 0 && o.home.empty()) return fail("--com needs --home DIR or $HOME");
  result.ok = true;
  return result;
}

std::string SimUsage() {
  return "oil-debris-sensor-sim: a simulated oil-debris sensor on a pseudo-terminal.\n"
         "\n"
         "Usage: oil-debris-sensor-sim (--link PATH | --com N [--home DIR]) [switches]\n"
         "\n"
         "Attachment:\n"
         "  --link PATH        make PATH a symbolic link to the sensor's serial device\n"
         "  --com N            link it as DIR/TesselAppsData/OilDebris/ports/comN (1-99)\n"
         "  --home DIR         the DIR for --com (default: $HOME); folders are created\n"
         "  The link is removed when the simulator ends (SIGINT, SIGTERM, SIGHUP).\n"
         "  Once attached it prints \"ready <device>\" on stdout.\n"
         "\n"
         "Sensor:\n"
         "  --fw PART.VERSION  firmware identity for \"I\", decimal (default 5819.111)\n"
         "  --seed N           seed of the live readings' drift (default 1)\n"
         "  --log FILE         record every request and reply with a timestamp\n"
         "  --dump-flash FILE  write the bootloader's record counts and check value to\n"
         "                     FILE after each run command and at exit\n"
         "\n"
         "Text protocol faults (19200 baud):\n"
         "  --silent           never answer\n"
         "  --silent-after N   answer only the first N requests\n"
         "  --delay MS         answer MS milliseconds late\n"
         "  --short            send every reply one byte short of its expected count\n"
         "  --garble           wrong command letter in the \"A\" and \"a\" replies\n"
         "  --no-ack CMD[,CMD] never answer these commands (first word: I, A, a, R, W,\n"
         "                     cs, ce, cn, cc, cf, cd, co, cp)\n"
         "  --locked-writes    \"W\" is ignored until \"U 5E2B\" (and again after \"U 1\")\n"
         "  --pace             bytes take their time on the line: 10 bits per byte at the\n"
         "                     line rate, both ways (text and bootloader)\n"
         "\n"
         "Bootloader (57600 baud, entered with \"Q\"):\n"
         "  --boot             start in the bootloader\n"
         "  --erase-ms N       time an erase takes (default 1500)\n"
         "  --write-ms N       time one write request takes (default 2)\n"
         "  --boot-silent C[,C] treat these bootloader commands as never heard: no answer,\n"
         "                     no effect (1 version, 2 erase, 3 write, 4 verify, 5 run)\n"
         "\n"
         "  --help             this text\n";
}
