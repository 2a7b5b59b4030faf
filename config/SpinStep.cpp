#include "config/SpinStep.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "config/ValueFormats.h"

namespace {
constexpr int kSlowSteps = 5;

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}
}  // namespace

int SpinStep(int& clickCount, const std::string& text, SpinDirection direction, bool recent) {
  const std::int64_t value = ClampToInt(ScanInteger(text).value_or(0));
  const int sign = direction == SpinDirection::Up ? 1 : -1;
  if (!recent) {
    clickCount = 0;
    return ClampToInt(value + sign);
  }
  if (clickCount < INT_MAX) ++clickCount;
  if (clickCount <= kSlowSteps) return ClampToInt(value + sign);
  // Integer division truncates toward zero, for negative values too.
  return ClampToInt((value + 10 * sign) / 10 * 10);
}

std::string SpinStepText(int& clickCount, const std::string& text, SpinDirection direction, bool recent) {
  return std::to_string(SpinStep(clickCount, text, direction, recent));
}
