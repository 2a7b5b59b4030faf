#include "config/Converters.h"

#include <optional>

#include "config/RegisterAccess.h"
#include "config/ValueFormats.h"

namespace {
constexpr int kReadAttempts = 9;
constexpr int kRetryPauseMs = 20;
constexpr int kPollPauseMs = 50;
}  // namespace

std::optional<std::int64_t> Converters::ReadForShow(std::uint16_t address, Width width) {
  UserInterface& user = exchange_.User();
  // The status poll's "A" must not fall between a register command and its
  // reply; bulk reads have paused it already around all their reads.
  const bool pausePoll = !state_.BulkReadActive;
  if (pausePoll) {
    user.StopStatusPoll();
    exchange_.Time().Sleep(kPollPauseMs);
  }
  std::optional<std::int64_t> raw;
  for (int attempt = 0; attempt < kReadAttempts && !raw; ++attempt) {
    if (width == Width::Two) {
      if (const auto value = ReadRegister16(exchange_, address)) raw = *value;
    } else {
      if (const auto value = ReadRegister32(exchange_, address)) raw = *value;
    }
    if (!raw) exchange_.Time().Sleep(kRetryPauseMs);
  }
  if (pausePoll) user.StartStatusPoll();
  return raw;
}

template <typename Format>
std::int64_t Converters::Show(ValueBox& box, std::uint16_t address, Width width, Format format) {
  const std::optional<std::int64_t> raw = ReadForShow(address, width);
  if (!raw) {
    box.SetFontColour(FontColour::Red);
    box.SetText(kFailedRead);
    return 0;
  }
  box.SetFontColour(FontColour::Black);
  return format(*raw);
}

template <typename Box, typename Scan>
bool Converters::Set(Box& box, std::uint16_t address, Width width, Scan scan) {
  UserInterface& user = exchange_.User();
  user.StopStatusPoll();
  exchange_.Time().Sleep(kPollPauseMs);
  // A text that holds no number must not reach the sensor as some value.
  const std::optional<std::uint32_t> value = scan();
  bool written = false;
  if (value) {
    written = width == Width::Two ? WriteRegister16(exchange_, address, static_cast<std::uint16_t>(*value & 0xFFFF))
                                  : WriteRegister32(exchange_, address, *value);
  }
  box.SetFontColour(written ? FontColour::Black : FontColour::Red);
  user.StartStatusPoll();
  return written;
}

namespace {
std::uint16_t Raw16(std::int64_t raw) { return static_cast<std::uint16_t>(raw); }
}  // namespace

std::int64_t Converters::ShowSigned16(ValueBox& box, std::uint16_t address) {
  return Show(box, address, Width::Two, [&box](std::int64_t raw) {
    box.SetText(FormatSigned16(Raw16(raw)));
    return raw;
  });
}

std::int64_t Converters::ShowUnsigned16(ValueBox& box, std::uint16_t address) {
  return Show(box, address, Width::Two, [&box](std::int64_t raw) {
    box.SetText(FormatUnsigned16(Raw16(raw)));
    return raw;
  });
}

std::int64_t Converters::ShowUnsigned32(ValueBox& box, std::uint16_t address) {
  return Show(box, address, Width::Four, [&box](std::int64_t raw) {
    box.SetText(FormatUnsigned32(static_cast<std::int32_t>(raw)));
    return raw;
  });
}

std::int64_t Converters::ShowRunTime(ValueBox& box, std::uint16_t address, std::uint32_t factor) {
  return Show(box, address, Width::Four, [&box, factor](std::int64_t raw) {
    // Unsigned 32-bit arithmetic, as the sensor's counters are kept.
    const std::uint32_t minutes = static_cast<std::uint32_t>(raw) * factor;
    box.SetText(FormatRunTime(minutes));
    return static_cast<std::int64_t>(minutes);
  });
}

std::int64_t Converters::ShowHex16(ValueBox& box, std::uint16_t address) {
  return Show(box, address, Width::Two, [&box](std::int64_t raw) {
    box.SetText(FormatHex16(Raw16(raw)));
    return raw;
  });
}

std::int64_t Converters::ShowSpin16(SpinBox& box, std::uint16_t address) {
  const std::optional<std::int64_t> raw = ReadForShow(address, Width::Two);
  // A spin box shows 0 after a failure, told apart from a stored 0 by its font.
  box.SetFontColour(raw ? FontColour::Black : FontColour::Red);
  box.SetValue(raw ? static_cast<int>(*raw) : 0);
  return raw.value_or(0);
}

std::int64_t Converters::ShowScaledInteger(ValueBox& box, std::uint16_t address, float scale) {
  return Show(box, address, Width::Two, [&box, scale](std::int64_t raw) {
    box.SetText(FormatScaledInteger(Raw16(raw), scale));
    return raw;
  });
}

std::int64_t Converters::ShowScaledReal(ValueBox& box, std::uint16_t address, float scale) {
  return Show(box, address, Width::Two, [&box, scale](std::int64_t raw) {
    box.SetText(FormatScaledReal(Raw16(raw), scale));
    return raw;
  });
}

bool Converters::SetInteger16(ValueBox& box, std::uint16_t address) {
  return Set(box, address, Width::Two, [&box]() -> std::optional<std::uint32_t> {
    const auto number = ScanInteger(box.Text());
    if (!number) return std::nullopt;
    return static_cast<std::uint32_t>(*number & 0xFFFF);
  });
}

bool Converters::SetInteger32(ValueBox& box, std::uint16_t address) {
  return Set(box, address, Width::Four, [&box]() -> std::optional<std::uint32_t> {
    const auto number = ScanInteger(box.Text());
    if (!number) return std::nullopt;
    return static_cast<std::uint32_t>(*number & 0xFFFFFFFF);
  });
}

bool Converters::SetSpin16(SpinBox& box, std::uint16_t address) {
  return Set(box, address, Width::Two, [&box]() -> std::optional<std::uint32_t> {
    return static_cast<std::uint32_t>(box.Value()) & 0xFFFF;
  });
}

bool Converters::SetHex16(ValueBox& box, std::uint16_t address) {
  return SetMaskedHex16(box, address, 0xFFFF);
}

bool Converters::SetMaskedHex16(ValueBox& box, std::uint16_t address, std::uint16_t mask) {
  return Set(box, address, Width::Two, [&box, mask]() -> std::optional<std::uint32_t> {
    const auto number = ScanHex(box.Text());
    if (!number) return std::nullopt;
    return static_cast<std::uint32_t>(*number & mask);
  });
}

bool Converters::SetScaledReal16(ValueBox& box, std::uint16_t address, float scale) {
  return Set(box, address, Width::Two, [&box, scale]() -> std::optional<std::uint32_t> {
    const auto number = ScanReal(box.Text());
    if (!number) return std::nullopt;
    return ScaleReal16(*number, scale);
  });
}

bool Converters::SetScaledInteger16(ValueBox& box, std::uint16_t address, float scale) {
  return Set(box, address, Width::Two, [&box, scale]() -> std::optional<std::uint32_t> {
    const auto number = ScanInteger(box.Text());
    if (!number) return std::nullopt;
    return ScaleInteger16(*number, scale);
  });
}
