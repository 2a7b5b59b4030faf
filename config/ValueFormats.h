#pragma once
// How register values become texts in the configure window's boxes and how
// typed texts become values: the formats and scans of the show and set
// converters, with no sensor traffic. Scans follow C's scanf rules ("%i"
// takes 0x hexadecimal and leading-0 octal, "%x" hexadecimal with or without
// 0x, "%f" a real); leading white space is skipped and a scan stops at the
// first character that does not fit. A text that does not start with a
// number scans as no value.

#include <cstdint>
#include <optional>
#include <string>

// A 2-byte register value taken as two's-complement 16-bit.
std::int16_t AsSigned16(std::uint16_t raw);

std::string FormatSigned16(std::uint16_t raw);                  // "%d" of the signed value
std::string FormatUnsigned16(std::uint16_t raw);                // "%i", 0 to 65535
std::string FormatUnsigned32(std::int32_t value);               // "%li"
std::string FormatHex16(std::uint16_t raw);                     // "%04x"
// "%li:%02li" of hours and minutes of a minute count.
std::string FormatRunTime(std::uint32_t minutes);
// "%i" of the signed value / scale in single precision, truncated toward
// zero and taken as signed 16-bit.
std::string FormatScaledInteger(std::uint16_t raw, float scale);
// "%5.2f" of the signed value / scale in single precision.
std::string FormatScaledReal(std::uint16_t raw, float scale);

std::optional<std::int64_t> ScanInteger(const std::string& text);   // "%i"
std::optional<std::uint64_t> ScanHex(const std::string& text);      // "%x"
// "%f"; "inf" and "nan" give no value, so they can never reach a register.
std::optional<float> ScanReal(const std::string& text);

// The 16-bit value each scaled set converter writes.
// number × scale in single precision, truncated toward zero, low 16 bits.
std::uint16_t ScaleReal16(float number, float scale);
// The number's low 16 bits as signed 16-bit, × scale in single precision,
// rounded away from zero, low 16 bits.
std::uint16_t ScaleInteger16(std::int64_t number, float scale);
