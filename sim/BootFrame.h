#pragma once
// The bootloader's framing, as the sensor sees it: 0x01, the payload and its
// CRC-16/XMODEM check value (low byte first) with 0x01, 0x04 and 0x10 each
// preceded by 0x10, then 0x04. The sensor computes the check value bit by bit,
// on its own, rather than borrowing the configurator's table.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

std::uint16_t SensorCheckValue(const std::uint8_t* data, std::size_t n);

// A frame's payload, with whether its check value matched.
struct ReceivedFrame {
  std::vector<std::uint8_t> payload;
  bool checkOk = false;
};

class BootFrameReader {
 public:
  // The frame when `byte` completes one; bytes outside a frame are ignored,
  // and a start byte inside a frame starts it again.
  std::optional<ReceivedFrame> Feed(std::uint8_t byte);
  void Reset();

 private:
  static constexpr std::size_t kLongest = 2048;
  bool inFrame_ = false;
  bool escaped_ = false;
  std::vector<std::uint8_t> body_;
};

// The frame that carries `payload` on the wire.
std::vector<std::uint8_t> BuildBootFrame(const std::vector<std::uint8_t>& payload);
