#include "app/StatusReading.h"

#include <cstring>

#include "link/CommandExchange.h"

namespace {
constexpr std::string_view kStatusHeader{"\n\r\x02" "A,", 5};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// One "%x" conversion starting at `pos`; advances `pos` past it.
bool ReadHex(std::string_view text, std::size_t& pos, std::uint32_t& value) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // "0x" is a prefix only when a digit follows; otherwise the "0" is the number.
  if (pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
      HexDigit(text[pos + 2]) >= 0) {
    pos += 2;
  }
  std::uint32_t v = 0;
  std::size_t digits = 0;
  while (pos < text.size() && HexDigit(text[pos]) >= 0) {
    v = (v << 4) | static_cast<std::uint32_t>(HexDigit(text[pos]));
    ++pos;
    ++digits;
  }
  if (digits == 0) return false;
  value = negative ? (0u - v) : v;
  return true;
}
}  // namespace

bool ReadHexFields(std::string_view text, int count, std::int32_t* fields) {
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != ',') return false;
      ++pos;
    }
    std::uint32_t value = 0;
    if (!ReadHex(text, pos, value)) return false;
    fields[i] = static_cast<std::int32_t>(value);
  }
  return true;
}

std::optional<StatusReading> ParseStatusReply(std::string_view reply) {
  if (reply.substr(0, kStatusHeader.size()) != kStatusHeader) return std::nullopt;
  std::int32_t f[5] = {};
  if (!ReadHexFields(reply.substr(kStatusHeader.size()), 5, f)) return std::nullopt;
  return StatusReading{f[0], f[1], f[2], f[3], f[4]};
}

std::optional<StatusReading> ParseStatusReply(const ReplyBuffer& reply) {
  // The buffer holds the received bytes and a zero byte: read it as text.
  const std::size_t length = strnlen(reply.Text(), reply.Capacity());
  return ParseStatusReply(std::string_view(reply.Text(), length));
}
