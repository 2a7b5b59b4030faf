#pragma once
// The sensor application's answers to the text commands. Replies that carry
// content start LF CR STX, the command, a separator, then hexadecimal fields;
// every reply is padded with spaces and ended with CR LF so that it is exactly
// as long as the configurator waits for (longer only when its fields are).

#include <cstdint>
#include <string>
#include <vector>

#include "sim/LiveModel.h"
#include "sim/RegisterMemory.h"

struct TextAnswer {
  std::vector<std::uint8_t> reply;  // empty: the command is not answered
  std::size_t expected = 0;         // the byte count the configurator awaits
  bool liveData = false;            // an "A" or "a" reply
  bool enterBootloader = false;
  std::string note;  // what the sensor did, for the log
};

class TextCommands {
 public:
  TextCommands(std::uint32_t firmwarePart, std::uint32_t firmwareVersion, std::uint64_t seed, bool lockedWrites);

  TextAnswer Answer(const std::string& request);

  // After a reboot the application starts again from its stored settings.
  void Restart();

 private:
  TextAnswer Identify() const;
  TextAnswer Status();
  TextAnswer ExtendedStatus();
  TextAnswer ReadRegisters(const std::vector<std::string>& words) const;
  TextAnswer WriteRegister(const std::vector<std::string>& words);
  TextAnswer Acknowledge(const std::string& command);
  TextAnswer Calibrate(const std::string& command);
  TextAnswer Unlock(const std::vector<std::string>& words);
  TextAnswer LoadDefaults(const std::vector<std::string>& words);
  TextAnswer Brightness(const std::vector<std::string>& words);

  std::uint32_t firmwarePart_;
  std::uint32_t firmwareVersion_;
  bool lockedWrites_;
  bool unlocked_ = false;
  bool configuring_ = false;
  int brightness_ = 0x64;
  RegisterMemory memory_;
  // The settings the measurement runs with: taken up from `memory_` at start,
  // on "Z", on a default set and by the calibration actions.
  RegisterMemory inForce_;
  LiveModel model_;
};
