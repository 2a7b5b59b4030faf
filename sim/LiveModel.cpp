#include "sim/LiveModel.h"

#include <algorithm>
#include <cmath>

namespace {

// Physical counts of a clean probe and the span the factory set covers.
constexpr double kCoarseBase = 2000.0;
constexpr double kCoarseSpan = 1500.0;
constexpr double kFineBase = 1800.0;
constexpr double kFineSpan = 800.0;
constexpr double kOilBase = 3000.0;
constexpr double kRawInternalAt0C = 3300.0;
constexpr double kRawExternalAt0C = 1000.0;

std::uint32_t Low16(int value) { return static_cast<std::uint32_t>(value) & 0xFFFFu; }

std::int16_t Clamp16(double value) { return static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0)); }

// Per cent of the range from `offset` (0 %) to `full` (100 %), 0 to 100.
std::uint32_t Percent(std::int32_t count, std::int32_t offset, std::int32_t full) {
  if (full == offset) return count >= full ? 100u : 0u;
  const double share = 100.0 * (count - offset) / static_cast<double>(full - offset);
  return static_cast<std::uint32_t>(std::clamp(share, 0.0, 100.0));
}

}  // namespace

LiveModel::LiveModel(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
  for (int i = 0; i < 4; ++i) Uniform();
}

double LiveModel::Uniform() {
  // xorshift64*: the same sequence on every platform for a given seed.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  const std::uint64_t r = state_ * 0x2545F4914F6CDD1Dull;
  return static_cast<double>(r >> 11) / 9007199254740992.0;
}

double LiveModel::Normal() { return (Uniform() + Uniform() + Uniform() + Uniform() - 2.0) * 1.732; }

void LiveModel::Step() {
  // Background debris wanders around a mean; now and then a burst of
  // particles drives a channel to full scale and dies away.
  coarseLoad_ = std::clamp(coarseLoad_ + 0.02 * Normal() + 0.05 * (0.25 - coarseLoad_), 0.0, 0.9);
  fineLoad_ = std::clamp(fineLoad_ + 0.02 * Normal() + 0.05 * (0.20 - fineLoad_), 0.0, 0.9);
  coarseBurst_ = Uniform() < 0.03 ? 0.8 + 0.4 * Uniform() : coarseBurst_ * 0.6;
  fineBurst_ = Uniform() < 0.02 ? 0.8 + 0.4 * Uniform() : fineBurst_ * 0.6;

  // The oil stays close to its reference; a water ingress now and then pulls
  // it down past the water threshold for a few steps.
  oilDeviation_ = std::clamp(oilDeviation_ + 0.003 * Normal() - 0.1 * oilDeviation_, -0.05, 0.05);
  waterEvent_ = Uniform() < 0.015 ? 0.15 + 0.05 * Uniform() : waterEvent_ * 0.8;

  internalC_ = std::clamp(internalC_ + 0.2 * Normal() + 0.05 * (40.0 - internalC_), 30.0, 50.0);
  externalC_ = std::clamp(externalC_ + 0.2 * Normal() + 0.05 * (38.0 - externalC_), 28.0, 48.0);
  noise_ = static_cast<int>(std::lround(3.0 * Normal()));
}

std::int32_t LiveModel::CoarseCount() const {
  return static_cast<std::int32_t>(std::lround(kCoarseBase + (coarseLoad_ + coarseBurst_) * kCoarseSpan));
}

std::int32_t LiveModel::FineCount() const {
  return static_cast<std::int32_t>(std::lround(kFineBase + (fineLoad_ + fineBurst_) * kFineSpan));
}

std::int32_t LiveModel::OilCount() const {
  return static_cast<std::int32_t>(std::lround(kOilBase * (1.0 + oilDeviation_ - waterEvent_)));
}

LiveReading LiveModel::Reading(const RegisterMemory& settings) const {
  const std::uint16_t features = settings.Get16(reg::kFeatures);
  LiveReading r;

  const int internal16 = static_cast<int>(std::lround(internalC_ * 16.0)) + settings.GetSigned16(reg::kInternalOffset);
  const int external16 = static_cast<int>(std::lround(externalC_ * 16.0)) + settings.GetSigned16(reg::kExternalOffset);
  r.internalC = Low16(internal16);
  r.externalC = Low16(external16);
  // The thermistor's count falls as it warms; the probe's rises.
  r.rawInternal = static_cast<std::uint32_t>(std::lround(kRawInternalAt0C - internalC_ * 16.0 / 2.0));
  r.rawExternal = static_cast<std::uint32_t>(std::lround(kRawExternalAt0C + externalC_ * 16.0 / 4.0));

  const bool corrected = (features & feature::kNoTemperatureCorrection) == 0;
  const double warmth = (internal16 - 25 * 16) / 16.0;  // degrees above 25 C

  if ((features & feature::kCoarseDisabled) == 0) {
    const std::int32_t count = CoarseCount();
    const std::int16_t offset = settings.GetSigned16(reg::kCoarseOffset);
    const std::int16_t correction = corrected ? Clamp16(warmth * 0.8) : 0;
    r.coarse = Percent(count, offset, settings.GetSigned16(reg::kCoarseFull));
    r.debrisRefQ = static_cast<std::uint32_t>(kCoarseBase + noise_);
    r.debrisQ = static_cast<std::uint32_t>(count);
    r.calibratedCoarse = Low16(Clamp16(count - offset - correction));
    r.coarseCorrection = Low16(correction);
  }
  if ((features & feature::kFineDisabled) == 0) {
    const std::int32_t count = FineCount();
    const std::int16_t offset = settings.GetSigned16(reg::kFineOffset);
    const std::int16_t correction = corrected ? Clamp16(warmth * 0.5) : 0;
    r.fine = Percent(count, offset, settings.GetSigned16(reg::kFineFull));
    r.debrisRefCount = static_cast<std::uint32_t>(kFineBase - noise_);
    r.debrisCount = static_cast<std::uint32_t>(count);
    r.calibratedFine = Low16(Clamp16(count - offset - correction));
    r.fineCorrection = Low16(correction);
  }

  const bool thirdChannelOn = (features & feature::kThirdChannelDisabled) == 0;
  const bool measuresWater = thirdChannelOn && (features & feature::kThirdChannelTemperature) == 0;
  if (measuresWater) {
    const std::uint16_t reference = settings.Get16(reg::kOilReference);
    r.oilRefCount = static_cast<std::uint32_t>(kOilBase + noise_ / 2);
    r.oilCount = static_cast<std::uint32_t>(OilCount());
    // 1024 counts when the oil matches its clean reference.
    r.dielectric = reference == 0 ? 0 : static_cast<std::uint32_t>(std::lround(OilCount() * 1024.0 / reference));
    const double oil = r.dielectric * 1000.0 / 1024.0;
    if (oil > settings.GetSigned16(reg::kNoOilThreshold)) r.status |= status::kNoOil;
    if (oil < settings.GetSigned16(reg::kWaterThreshold)) r.status |= status::kWaterContamination;
  }
  if (thirdChannelOn && (external16 < settings.GetSigned16(reg::kLowTemperatureAlarm) ||
                         external16 > settings.GetSigned16(reg::kHighTemperatureAlarm))) {
    r.status |= status::kTemperatureAlarm;
  }
  return r;
}
