#pragma once
// A sensor for the configure window's tests: it answers register reads and
// writes from a memory, acknowledges the two-letter commands ("cs", "ce")
// with nine bytes unless told not to, and answers "a" with a given reply.

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/support/Fakes.h"

struct ConfigSensor {
  std::map<std::uint16_t, std::uint8_t> memory;
  std::vector<std::uint8_t> liveReply;
  bool acknowledges = true;

  void Set16(std::uint16_t address, std::uint16_t value) {
    memory[address] = static_cast<std::uint8_t>(value & 0xFF);
    memory[static_cast<std::uint16_t>(address + 1)] = static_cast<std::uint8_t>(value >> 8);
  }

  std::vector<std::uint8_t> Answer(const Written& w) {
    const std::string text = w.Text();
    unsigned address = 0;
    unsigned value = 0;
    if (std::sscanf(text.c_str(), "R %x %x", &address, &value) == 2) {
      char body[64];
      int n = std::snprintf(body, sizeof body, "R,%04x", address);
      for (unsigned i = 0; i < value; ++i) {
        n += std::snprintf(body + n, sizeof body - static_cast<std::size_t>(n), ",%02x",
                           memory[static_cast<std::uint16_t>(address + i)]);
      }
      return TextReply(body, 26);
    }
    if (std::sscanf(text.c_str(), "W %x %x", &address, &value) == 2) {
      memory[static_cast<std::uint16_t>(address)] = static_cast<std::uint8_t>(value);
      return TextReply("W", 4);
    }
    if (text == "a") return liveReply;
    if (text.size() == 2 && text[0] == 'c' && acknowledges) return TextReply(text, 9);
    return {};
  }
};
