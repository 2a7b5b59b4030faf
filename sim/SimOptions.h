#pragma once
// The simulated sensor's command line: where it attaches, what it reports
// and which faults it shows.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct SimOptions {
  // Attachment: a symbolic link at `linkPath`, or COM port `comPort` under
  // `home`/TesselAppsData/OilDebris/ports/.
  std::string linkPath;
  int comPort = 0;
  std::string home;
  std::string logPath;
  std::string dumpFlashPath;

  // Firmware reported by "I": part number and version.
  std::uint32_t firmwarePart = 5819;
  std::uint32_t firmwareVersion = 111;
  std::uint64_t seed = 1;

  // Text protocol faults.
  bool silent = false;
  long silentAfter = -1;  // requests answered before falling silent; -1: never
  int delayMs = 0;
  bool shortReplies = false;
  bool garble = false;
  std::set<std::string> noAck;  // command words never answered
  bool lockedWrites = false;
  bool pace = false;

  // Bootloader.
  bool startInBootloader = false;
  int eraseMs = 1500;
  int writeMs = 2;
  std::set<int> bootSilent;  // bootloader command codes never answered

  bool help = false;

  // The link path the options ask for, built from --link or --com/--home.
  std::string LinkPathToCreate() const;
};

struct ParsedOptions {
  bool ok = false;
  SimOptions options;
  std::string error;
};

ParsedOptions ParseSimOptions(const std::vector<std::string>& arguments, const std::string& homeFromEnvironment);

// The text of --help.
std::string SimUsage();
