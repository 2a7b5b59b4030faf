#pragma once
// A sensor behind a FakeChannel: its application answers "I" at 19200 baud
// and reboots into the bootloader on "Q"; the bootloader answers frames at
// 57600 baud, keeps what the write requests program and remembers the check
// value the verify request carried. Switches make each request go unanswered.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "tests/support/Fakes.h"

class FakeSensor {
 public:
  explicit FakeSensor(FakeChannel& channel);

  // Switches.
  bool inBootloader = false;
  bool answersIdentify = true;
  bool answersVersion = true;
  bool answersErase = true;
  // Write requests answered before the sensor falls silent (-1: all).
  int writesAnswered = -1;
  bool answersVerify = true;
  // Whether the run request starts the new application (else the sensor
  // stays in its bootloader, silent in the text protocol).
  bool runStartsApplication = true;
  // Version reported by the application once the new firmware runs.
  unsigned newVersion = 0x30;

  // What the sensor saw: the payload of every frame (frames with a wrong
  // check value or broken escaping are counted in badFrames instead).
  std::vector<std::vector<std::uint8_t>> payloads;
  int badFrames = 0;
  std::vector<int> recordsPerWrite;
  std::optional<std::uint16_t> verifiedCheck;
  bool ranNewApplication = false;

  // The check value of what the write requests programmed, over the
  // programmed range rounded to multiples of 4, unwritten bytes in the
  // erased pattern FF FF FF 00.
  std::uint16_t ProgrammedCheck() const;
  std::size_t ProgrammedBytes() const { return programmed_.size(); }

 private:
  std::vector<std::uint8_t> Answer(const Written& written);
  std::vector<std::uint8_t> AnswerFrame(const std::vector<std::uint8_t>& payload);
  void Program(const std::vector<std::uint8_t>& payload);

  std::map<std::uint32_t, std::uint8_t> programmed_;
  std::uint32_t segmentBase_ = 0;
  std::uint32_t linearBase_ = 0;
  int writesSeen_ = 0;
  bool runningNew_ = false;
};
