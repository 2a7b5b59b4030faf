#include "config/ValueFormats.h"

#include <cmath>
#include <cstdio>

namespace {

std::string Printed(const char* format, auto... values) {
  char text[48];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

// Real-to-integer conversions of out-of-range reals are undefined in C++;
// the sensor then gets the nearest 32-bit value's low bits instead.
std::int64_t Clamped(float value) {
  constexpr double kLow = -2147483648.0;
  constexpr double kHigh = 2147483647.0;
  const double v = static_cast<double>(value);
  if (std::isnan(v)) return 0;
  if (v <= kLow) return static_cast<std::int64_t>(kLow);
  if (v >= kHigh) return static_cast<std::int64_t>(kHigh);
  return static_cast<std::int64_t>(v);
}

std::uint16_t Low16(std::int64_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }

}  // namespace

std::int16_t AsSigned16(std::uint16_t raw) { return static_cast<std::int16_t>(raw); }

std::string FormatSigned16(std::uint16_t raw) { return Printed("%d", static_cast<int>(AsSigned16(raw))); }

std::string FormatUnsigned16(std::uint16_t raw) { return Printed("%i", static_cast<int>(raw)); }

std::string FormatUnsigned32(std::int32_t value) { return Printed("%li", static_cast<long>(value)); }

std::string FormatHex16(std::uint16_t raw) { return Printed("%04x", static_cast<unsigned>(raw)); }

std::string FormatRunTime(std::uint32_t minutes) {
  return Printed("%lu:%02lu", static_cast<unsigned long>(minutes / 60), static_cast<unsigned long>(minutes % 60));
}

std::string FormatScaledInteger(std::uint16_t raw, float scale) {
  const float quotient = static_cast<float>(AsSigned16(raw)) / scale;
  const auto value = static_cast<std::int16_t>(Low16(Clamped(std::trunc(quotient))));
  return Printed("%i", static_cast<int>(value));
}

std::string FormatScaledReal(std::uint16_t raw, float scale) {
  const float quotient = static_cast<float>(AsSigned16(raw)) / scale;
  return Printed("%5.2f", static_cast<double>(quotient));
}

std::optional<std::int64_t> ScanInteger(const std::string& text) {
  long long value = 0;
  if (std::sscanf(text.c_str(), "%lli", &value) != 1) return std::nullopt;
  return static_cast<std::int64_t>(value);
}

std::optional<std::uint64_t> ScanHex(const std::string& text) {
  unsigned long long value = 0;
  if (std::sscanf(text.c_str(), "%llx", &value) != 1) return std::nullopt;
  return static_cast<std::uint64_t>(value);
}

std::optional<float> ScanReal(const std::string& text) {
  float value = 0;
  if (std::sscanf(text.c_str(), "%f", &value) != 1 || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::uint16_t ScaleReal16(float number, float scale) {
  const float product = number * scale;
  return Low16(Clamped(std::trunc(product)));
}

std::uint16_t ScaleInteger16(std::int64_t number, float scale) {
  const float product = static_cast<float>(AsSigned16(Low16(number))) * scale;
  return Low16(Clamped(product >= 0 ? std::ceil(product) : std::floor(product)));
}
