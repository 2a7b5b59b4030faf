#pragma once
// The sensor's bootloader: five framed commands at 57600 baud that read its
// version, erase the application, program Intel HEX records, verify the image
// check value and start the application.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "sim/BootFrame.h"
#include "sim/FlashMemory.h"

struct BootAnswer {
  std::vector<std::uint8_t> reply;  // a whole frame, or empty: no answer
  int busyMs = 0;                   // how long the work takes before the reply
  bool startApplication = false;
  std::string note;  // for the log: command, records, bytes, outcome
};

class Bootloader {
 public:
  Bootloader(int eraseMs, int writeMs, std::set<int> silentCommands);

  BootAnswer Handle(const ReceivedFrame& frame);
  const FlashMemory& Flash() const { return flash_; }

 private:
  BootAnswer Version(const std::vector<std::uint8_t>& payload);
  BootAnswer Erase(const std::vector<std::uint8_t>& payload);
  BootAnswer Write(const std::vector<std::uint8_t>& payload);
  BootAnswer Verify(const std::vector<std::uint8_t>& payload);

  int eraseMs_;
  int writeMs_;
  std::set<int> silentCommands_;
  FlashMemory flash_;
};
