#pragma once
// The converters that bind one register to one box of the configure window.
//
// A show converter reads the register and puts it into the box: unless
// BulkReadActive, it stops the status poll and pauses 50 ms first and starts
// the poll again afterwards; it tries the read up to 9 times, 20 ms apart;
// on success the font turns black and the formatted value goes in, on
// failure the font turns red and the box shows "-----" (a spin box 0). It
// returns the raw value read (2-byte reads 0 to 65535, 4-byte reads the
// saturated signed value), or 0 after a failure.
//
// A set converter always stops the status poll and pauses 50 ms, scans the
// box, writes the register, turns the font black (written) or red (not) and
// starts the poll again. A text that does not start with a number writes
// nothing and turns the font red. Returns whether the register was written.
// No set converter reads the value back.

#include <cstdint>
#include <optional>
#include <string>

#include "config/ConfigState.h"
#include "config/ValueBox.h"
#include "link/CommandExchange.h"

inline constexpr const char* kFailedRead = "-----";

class Converters {
 public:
  Converters(CommandExchange& exchange, ConfigState& state) : exchange_(exchange), state_(state) {}

  CommandExchange& Exchange() { return exchange_; }
  ConfigState& State() { return state_; }

  std::int64_t ShowSigned16(ValueBox& box, std::uint16_t address);
  std::int64_t ShowUnsigned16(ValueBox& box, std::uint16_t address);
  std::int64_t ShowUnsigned32(ValueBox& box, std::uint16_t address);
  // Shows value × factor minutes as hours:minutes; returns the product.
  std::int64_t ShowRunTime(ValueBox& box, std::uint16_t address, std::uint32_t factor);
  std::int64_t ShowHex16(ValueBox& box, std::uint16_t address);
  std::int64_t ShowSpin16(SpinBox& box, std::uint16_t address);
  std::int64_t ShowScaledInteger(ValueBox& box, std::uint16_t address, float scale);
  std::int64_t ShowScaledReal(ValueBox& box, std::uint16_t address, float scale);

  bool SetInteger16(ValueBox& box, std::uint16_t address);
  bool SetInteger32(ValueBox& box, std::uint16_t address);
  bool SetSpin16(SpinBox& box, std::uint16_t address);
  bool SetHex16(ValueBox& box, std::uint16_t address);
  bool SetMaskedHex16(ValueBox& box, std::uint16_t address, std::uint16_t mask);
  bool SetScaledReal16(ValueBox& box, std::uint16_t address, float scale);
  bool SetScaledInteger16(ValueBox& box, std::uint16_t address, float scale);

 private:
  enum class Width { Two, Four };
  // The show frame around one read: the status poll paused (unless a bulk
  // read did), up to nine attempts; no value when every attempt failed.
  std::optional<std::int64_t> ReadForShow(std::uint16_t address, Width width);
  // A text box's show: black and the formatted value, or red and "-----".
  template <typename Format>
  std::int64_t Show(ValueBox& box, std::uint16_t address, Width width, Format format);
  // The set frame around one write; `scan` reads the box (no value: nothing
  // written); the font turns black or red through `box`.
  template <typename Box, typename Scan>
  bool Set(Box& box, std::uint16_t address, Width width, Scan scan);

  CommandExchange& exchange_;
  ConfigState& state_;
};
