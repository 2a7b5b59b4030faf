#include "app/StatusReading.h"

#include "link/Reply.h"

std::optional<StatusReading> ParseStatusReply(std::string_view reply) {
  if (!HasReplyHeader(reply, 'A')) return std::nullopt;
  std::uint32_t f[5] = {};
  if (ScanHexFields(ReplyFields(reply), 5, f) != 5) return std::nullopt;
  // Each field is read into a signed 32-bit integer.
  const auto s = [](std::uint32_t field) { return static_cast<std::int32_t>(field); };
  return StatusReading{s(f[0]), s(f[1]), s(f[2]), s(f[3]), s(f[4])};
}

std::optional<StatusReading> ParseStatusReply(const ReplyBuffer& reply) { return ParseStatusReply(ReplyText(reply)); }
