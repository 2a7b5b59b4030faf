#pragma once
// What the sensor measures: debris on the coarse and fine channels, the oil's
// condition and two temperatures, drifting one step per live-data request so
// that a seed makes a run repeatable. Readings are worked out from the
// physical state and the settings in force (the features word, offsets, full
// scales, oil reference, thresholds), so that "A" and "a" agree with each
// other and with the configuration.

#include <cstdint>

#include "sim/RegisterMemory.h"

// The eighteen fields of the extended live data, in reply order.
struct LiveReading {
  std::uint32_t coarse = 0;
  std::uint32_t fine = 0;
  std::uint32_t dielectric = 0;
  std::uint32_t rawInternal = 0;
  std::uint32_t rawExternal = 0;
  std::uint32_t internalC = 0;  // low 16 bits: signed, 1/16 degree C
  std::uint32_t externalC = 0;
  std::uint32_t debrisRefQ = 0;
  std::uint32_t debrisQ = 0;
  std::uint32_t debrisRefCount = 0;
  std::uint32_t debrisCount = 0;
  std::uint32_t oilRefCount = 0;
  std::uint32_t oilCount = 0;
  std::uint32_t calibratedCoarse = 0;  // low 16 bits: signed
  std::uint32_t coarseCorrection = 0;
  std::uint32_t calibratedFine = 0;
  std::uint32_t fineCorrection = 0;
  std::uint32_t status = 0;
};

// Status bits.
namespace status {
constexpr std::uint32_t kTemperatureAlarm = 0x01;
constexpr std::uint32_t kWaterContamination = 0x02;
constexpr std::uint32_t kNoOil = 0x04;
}  // namespace status

class LiveModel {
 public:
  explicit LiveModel(std::uint64_t seed);

  // Moves the physical state on by one step.
  void Step();
  LiveReading Reading(const RegisterMemory& settings) const;

  // Raw counts as measured now, whatever channels are switched off; the
  // calibration actions take their values from these.
  std::int32_t CoarseCount() const;
  std::int32_t FineCount() const;
  std::int32_t OilCount() const;

 private:
  double Uniform();  // [0, 1)
  double Normal();   // mean 0, deviation about 1

  std::uint64_t state_;
  double coarseLoad_ = 0.25;  // share of the factory span, background
  double coarseBurst_ = 0.0;  // a passing cloud of particles
  double fineLoad_ = 0.20;
  double fineBurst_ = 0.0;
  double oilDeviation_ = 0.0;  // relative change of the oil count
  double waterEvent_ = 0.0;
  double internalC_ = 40.0;
  double externalC_ = 38.0;
  int noise_ = 0;  // small jitter of the reference counts
};
