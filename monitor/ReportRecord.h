#pragma once
// The sensor's extended live data, the reply to "a": LF, CR, STX, "a", ","
// and then eighteen hexadecimal fields separated by commas, each read into
// an unsigned 32-bit value. The configure window's live update and the
// reporting window read it with the one parser here.

#include <cstdint>
#include <optional>
#include <string_view>

class ReplyBuffer;

constexpr int kReportFields = 18;

struct ReportRecord {
  std::uint32_t Coarse = 0;            // coarse debris, per cent of full scale
  std::uint32_t Fine = 0;              // fine debris, per cent of full scale
  std::uint32_t Dielectric = 0;        // oil status in raw counts
  std::uint32_t RawInt = 0;            // raw internal (electronics) temperature
  std::uint32_t RawExt = 0;            // raw external (probe) temperature
  std::uint32_t IntC = 0;              // low 16 bits: internal temperature, 1/16 degree C
  std::uint32_t ExtC = 0;              // low 16 bits: external temperature, 1/16 degree C
  std::uint32_t DebrisRefQ = 0;        // coarse channel reference count
  std::uint32_t DebrisQ = 0;           // coarse channel count
  std::uint32_t DebrisRefCount = 0;    // fine channel reference count
  std::uint32_t DebrisCount = 0;       // fine channel count
  std::uint32_t OilRefCount = 0;       // oil channel reference count
  std::uint32_t OilCount = 0;          // oil channel count
  std::uint32_t CalibratedCoarse = 0;  // low 16 bits, signed
  std::uint32_t CoarseCorrection = 0;  // low 16 bits, signed
  std::uint32_t CalibratedFine = 0;    // low 16 bits, signed
  std::uint32_t FineCorrection = 0;    // low 16 bits, signed
  std::uint32_t Status = 0;            // status flags

  // Derived once per record, in single precision.
  float IntDegrees = 0;  // IntC in degrees C
  float ExtDegrees = 0;  // ExtC in degrees C
  float OilValue = 0;    // Dielectric with 1024 counts as 1000
};

// The record of an extended reply, or no value when the reply does not
// begin with the header or fewer than eighteen fields can be read.
std::optional<ReportRecord> ParseReportReply(std::string_view reply);
std::optional<ReportRecord> ParseReportReply(const ReplyBuffer& reply);

// The oil status of a raw count as the sensor's displays show it: 1024
// counts are 1000, computed in single precision (raw x 1000 x 0.0009765625).
// Each caller truncates or floors it as its display does.
float OilValue(std::int64_t rawCounts);

// A temperature field in degrees C: its low 16 bits are a signed number of
// sixteenths, scaled in single precision.
float Degrees(std::uint32_t field);

// The low 16 bits of a field as a signed number.
int Signed16(std::uint32_t field);

// Truncation toward zero that cannot overflow (a corrupt field must not make
// the conversion undefined); NaN gives 0.
int TruncateToInt(float value);
